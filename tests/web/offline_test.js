// The browser build as an installed app with the network gone. What it checks:
//   - the manifest: a name, display standalone, a start address within its scope, and icons
//     that exist and are the PNG pictures of the sizes it gives; Chromium finds nothing that
//     stops the page from being installed, and the service worker controls the page;
//   - one visit, then the browser offline: the page reloads and plays a scripted game to a
//     frame equal to the desktop's headless runner's;
//   - a new build (a copy of the site with one file changed and its worker written again):
//     a visit while the old build's tab is open is still the old build, the new one fetched
//     and waiting; once that tab is closed the next visit is the new build, and only its
//     cache is left.
//
//   node offline_test.js --site DIR --data DIR --headless FILE --puppeteer DIR --work DIR --source DIR
"use strict";

const { spawnSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const lib = require("./lib.js");
const { check } = lib;

function pngSize(bytes) {
  const b = Buffer.from(bytes);
  if (b.length < 24 || b.toString("latin1", 1, 4) !== "PNG") return null;
  return b.readUInt32BE(16) + "x" + b.readUInt32BE(20);
}

async function controlled(page) {
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 30000 });
}

// Served from a copy, which the last part changes into a new build.
function copyOfSite(opts) {
  if (!opts.source) throw new Error("missing --source");
  const site = path.join(opts.work, "site");
  fs.cpSync(opts.site, site, { recursive: true });
  return site;
}

lib.run("offline", 6, async ({ opts, browser, url }) => {
  const site = path.join(opts.work, "site");
  const page = await browser.newPage();
  lib.watch(page);
  const cdp = await page.createCDPSession();

  // --- the first visit ---
  await lib.open(page, url);
  await controlled(page);
  check(true, "after the first visit the service worker controls the page");
  const manifest = await page.evaluate(async () => {
    const link = document.querySelector('link[rel="manifest"]');
    const address = new URL(link.getAttribute("href"), location.href).href;
    const m = await (await fetch(address)).json();
    const icons = [];
    for (const icon of m.icons || []) {
      const bytes = new Uint8Array(await (await fetch(new URL(icon.src, address))).arrayBuffer());
      icons.push({ sizes: icon.sizes, type: icon.type, bytes: Array.from(bytes.slice(0, 24)) });
    }
    return { m, address, icons, start: new URL(m.start_url, address).href,
      scope: new URL(m.scope || ".", address).href };
  });
  const m = manifest.m;
  check(typeof m.name === "string" && m.name.length > 0 && typeof m.short_name === "string",
    `the manifest names the game ("${m.name}", "${m.short_name}")`);
  check(m.display === "standalone", `the manifest asks for display standalone (${m.display})`);
  check(manifest.start.startsWith(manifest.scope), `the start address ${manifest.start} lies in the scope`);
  const icons = manifest.icons.map((i) => ({ want: i.sizes, got: pngSize(i.bytes), type: i.type }));
  check(icons.length > 0 && icons.every((i) => i.got === i.want && i.type === "image/png"),
    `the manifest's icons exist and are PNG pictures of their sizes (${icons.map((i) => i.got).join(", ")})`);
  check(icons.some((i) => parseInt(i.got, 10) >= 144), "an icon is large enough for an installed app");
  const app = await cdp.send("Page.getAppManifest");
  check(app.errors.length === 0, `Chromium reads the manifest without errors (${JSON.stringify(app.errors)})`);
  const install = await cdp.send("Page.getInstallabilityErrors");
  const errors = install.installabilityErrors.map((e) => e.errorId);
  check(errors.length === 0, `Chromium finds the page installable (${errors.join(", ") || "no errors"})`);

  // --- offline ---
  await page.setOfflineMode(true);
  await page.reload({ waitUntil: "load" });
  await lib.waitForGame(page);
  check(await page.evaluate(() => navigator.serviceWorker.controller !== null),
    "offline, the reloaded page is the service worker's and its game runs");
  const script = { seed: 4242, frames: 420, keys: ["2:x", "300:c", "330:6", "360:s", "380:z", "400:f6"] };
  const same = await lib.sameAsDesktop(opts, page, url, script, "offline-play");
  check(same.differ === 0, `offline, the page's frame ${script.frames} of a game is the desktop's ` +
    `(${same.differ} of ${same.of} pixels differ)`);
  await page.setOfflineMode(false);

  // --- a new build ---
  const oldCaches = await page.evaluate(() => caches.keys());
  const index = path.join(site, "index.html");
  fs.writeFileSync(index, fs.readFileSync(index, "latin1").replace("</body>",
    "<div id=\"new-build\"></div>\n</body>"), "latin1");
  const made = spawnSync("cmake", ["-DSITE_DIR=" + site, "-DTEMPLATE=" + path.join(opts.source,
    "platform/web/sw.js.in"), "-P", path.join(opts.source, "cmake/WebServiceWorker.cmake")], { encoding: "utf8" });
  if (made.status !== 0) throw new Error("writing the worker: " + made.stderr);
  // The next visit: the old build, whole, while the new one is fetched and waits.
  await lib.open(page, url);
  const waiting = await page.evaluate(async () => {
    const registration = await navigator.serviceWorker.getRegistration();
    for (let i = 0; i < 100 && !registration.waiting; i++) await new Promise((r) => setTimeout(r, 100));
    return registration.waiting !== null;
  });
  check(waiting, "the visit after a new build fetched it, and it waits");
  check(await page.evaluate(() => document.getElementById("new-build") === null),
    "that visit is still the old build");
  // The tab closed, the next visit is all the new build.
  await page.close();
  const next = await browser.newPage();
  lib.watch(next);
  await next.goto(url, { waitUntil: "load" });
  await next.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null,
    { timeout: 30000 });
  check(await next.evaluate(() => document.getElementById("new-build") !== null),
    "with the old tab closed, the next visit is the new build");
  const after = await next.evaluate(async () => {
    const names = await caches.keys();
    const cache = await caches.open(names[0]);
    const page = await (await cache.match("index.html")).text();
    return { names, newPage: page.includes("new-build"), entries: (await cache.keys()).length };
  });
  check(after.names.length === 1 && !oldCaches.includes(after.names[0]) && after.newPage,
    `the next visit is the new build; only its cache is left (${oldCaches} -> ${after.names}, ` +
    `${after.entries} files)`);
}, copyOfSite);
