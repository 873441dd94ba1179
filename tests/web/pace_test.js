// The game's own clock in the browser: whatever the display's refresh rate, the page runs 62.5
// game frames a second of page time, as the desktop does. Each run replaces the browser's
// animation frames and the page's clock before the page loads with a simulated display at
// 60, 75 or 144 Hz, or an uneven one, and counts the game's frames (the page's test counter)
// over 20 s of page time on the title. After the uneven run the display stalls for 3 s, as a
// hidden tab does, and the next animation frame may catch up only a handful of frames.
// It also checks that a player's page, without the tests' switch, ignores the scripted-run
// switches in the address.
//
//   node pace_test.js --site DIR --puppeteer DIR
"use strict";

const h = require("./site_harness.js");

const opts = h.options(["site", "puppeteer"]);
const puppeteer = require(opts.puppeteer);
const c = h.checker();

const seconds = 20;
const displays = [{ name: "60 Hz", hz: 60 }, { name: "75 Hz", hz: 75 }, { name: "144 Hz", hz: 144 },
  { name: "uneven 4-40 ms", hz: 0 }];

async function measure(browser, url, d) {
  const page = await browser.newPage();
  try {
    await page.evaluateOnNewDocument(h.simulatedDisplay, d.hz, false);
    page.on("pageerror", (e) => c.check(false, "page error: " + e.message));
    await page.goto(url, { waitUntil: "load" });
    await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.frames > 0,
      { timeout: 60000, polling: 50 });
    // A second for the start to settle, then the frames of 20 s of page time.
    const t0 = await page.evaluate(() => simDisplay.now()) + 1000;
    await h.untilPageTime(page, t0);
    const first = await page.evaluate(() => [simDisplay.now(), vortalixPage.stats.frames]);
    await h.untilPageTime(page, first[0] + seconds * 1000);
    const last = await page.evaluate(() => [simDisplay.now(), vortalixPage.stats.frames]);
    const perSecond = (last[1] - first[1]) / ((last[0] - first[0]) / 1000);
    console.log(`figure: ${d.name}: ${perSecond.toFixed(2)} game frames a second of page time ` +
      `(${last[1] - first[1]} frames in ${((last[0] - first[0]) / 1000).toFixed(2)} s)`);
    c.check(Math.abs(perSecond / 62.5 - 1) <= 0.005, `${d.name}: 62.5 game frames a second within ±0.5%`);
    if (d.hz === 0) {
      // A hidden tab: no animation frame for 3 s.
      await page.evaluate(() => { simDisplay.stall = 3000; });
      await page.waitForFunction(() => simDisplay.afterStall !== null, { timeout: 10000, polling: 20 });
      const most = await page.evaluate(() => simDisplay.afterStall);
      console.log(`figure: after a 3 s stall ${most} game frames ran in the next animation frame`);
      c.check(most >= 1 && most <= 5, "after a stall only a handful of frames catch up");
    }
  } finally {
    await page.close();
  }
}

async function main() {
  const { server, url } = await h.serve(opts.site);
  const chromium = await h.launch(puppeteer);
  try {
    for (const d of displays) await measure(chromium.browser, url, d);

    // A player's page: the scripted-run switches in the address change nothing.
    const page = await chromium.browser.newPage();
    await page.goto(url + "?seed=1&frames=5&key=2:x", { waitUntil: "load" });
    await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null,
      { timeout: 60000, polling: 50 });
    await new Promise((done) => setTimeout(done, 1500));
    const player = await page.evaluate(() => [vortalixPage.stats.scriptedRunDone, vortalixPage.stats.frames,
      vortalixPage.stats.frameStarts.length]);
    c.check(player[0] === false && player[1] === undefined && player[2] > 20,
      `a player's page ignores ?seed=&frames=&key= and has no frame counter (${player})`);
    await page.close();
  } finally {
    await chromium.close();
    server.kill();
  }
  if (c.failures) {
    console.log(`${c.failures} pacing check(s) failed`);
    process.exit(1);
  }
  console.log("all pacing checks passed");
}

setTimeout(() => {
  console.error("the pacing test did not finish within five minutes");
  process.exit(1);
}, 5 * 60 * 1000).unref();

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
