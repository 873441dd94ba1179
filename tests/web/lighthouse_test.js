// The page by the web's own measure: Lighthouse (from npm, pinned in package-lock.json) audits
// the served site in Debian's headless Chromium, and Performance, Accessibility and Best
// Practices must each score at least 90. Lighthouse's own settings are its defaults: a
// mid-range phone on a slow 4G network, simulated. The full report is kept as
// lighthouse.json in the work folder.
//
//   node lighthouse_test.js --site DIR --puppeteer DIR --lighthouse DIR --work DIR
"use strict";

const fs = require("fs");
const path = require("path");
const { pathToFileURL } = require("url");
const h = require("./site_harness.js");

const opts = h.options(["site", "puppeteer", "lighthouse", "work"]);
const puppeteer = require(opts.puppeteer);
const c = h.checker();
const categories = ["performance", "accessibility", "best-practices"];

async function main() {
  // Lighthouse is an ES module.
  const lighthouse = (await import(pathToFileURL(path.join(opts.lighthouse, "core", "index.js")).href)).default;
  fs.mkdirSync(opts.work, { recursive: true });
  const { server, url } = await h.serve(opts.site);
  const chromium = await h.launch(puppeteer, ["--remote-debugging-port=0"]);
  try {
    const port = Number(new URL(chromium.browser.wsEndpoint()).port);
    const result = await lighthouse(url, { port, output: "json", logLevel: "error", onlyCategories: categories });
    fs.writeFileSync(path.join(opts.work, "lighthouse.json"), result.report);
    const lhr = result.lhr;
    if (lhr.runtimeError) c.check(false, "Lighthouse ran: " + lhr.runtimeError.message);
    for (const id of categories) {
      const category = lhr.categories[id];
      const score = category && category.score !== null ? Math.round(category.score * 100) : null;
      console.log(`figure: Lighthouse ${category ? category.title : id}: ${score}`);
      c.check(score !== null && score >= 90, `${category ? category.title : id} scores at least 90`);
      if (score !== null && score < 100) {
        // What cost the points, to fix next.
        for (const ref of category.auditRefs) {
          const audit = lhr.audits[ref.id];
          if (ref.weight > 0 && audit.score !== null && audit.score < 1) {
            console.log(`         ${audit.id}: ${audit.score}${audit.displayValue ? " (" + audit.displayValue + ")" : ""}`);
          }
        }
      }
    }
    for (const id of ["first-contentful-paint", "largest-contentful-paint", "total-blocking-time",
      "cumulative-layout-shift", "speed-index"]) {
      const a = lhr.audits[id];
      if (a) console.log(`figure: ${a.title}: ${a.displayValue}`);
    }
  } finally {
    await chromium.close();
    server.kill();
  }
  if (c.failures) {
    console.log(`${c.failures} Lighthouse check(s) failed`);
    process.exit(1);
  }
  console.log("all Lighthouse checks passed");
}

setTimeout(() => {
  console.error("Lighthouse did not finish within five minutes");
  process.exit(1);
}, 5 * 60 * 1000).unref();

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
