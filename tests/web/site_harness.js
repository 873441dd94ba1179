// What the browser tests of the game's clock, replay watching and Lighthouse share: the static
// server on 127.0.0.1, Debian's headless Chromium, pictures from the canvas and from the
// desktop's headless runner, and a simulated display clock that stands in for the browser's
// animation frames.
"use strict";

const common = require("./common.js");
const fs = require("fs");
const os = require("os");
const path = require("path");

// Counts the checks; a failed one fails the run at the end.
function checker() {
  const c = { failures: 0 };
  c.check = function (ok, what) {
    console.log((ok ? "ok     " : "FAILED ") + what);
    if (!ok) c.failures++;
  };
  return c;
}

// Chromium with a fresh profile; close() also removes the profile.
async function launch(puppeteer, extraArgs) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "vortalix-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    userDataDir: profile,
    args: common.chromiumFlags.concat(extraArgs || []),
  });
  return {
    browser,
    close: async function () {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// Runs in the page before any of its scripts (evaluateOnNewDocument): the test switches are
// on, and a simulated display replaces the browser's animation frames and the page's clock.
// Page time moves only when the display begins an animation frame, by the display's interval:
// a fixed rate in Hz, or (hz 0) a repeatable uneven mix of 4 to 40 ms intervals. The display
// ticks as fast as the machine allows, so a minute of page time takes seconds.
// window.simDisplay lets the test start it again, add a stall (afterStall then tells the game
// frames the next animation frame ran), and stop by itself once the watched replay is over.
function simulatedDisplay(hz, stopOnReplayOver) {
  window.vortalixTestSwitches = true;
  const realNow = performance.now.bind(performance);
  let now = realNow();
  let random = 12345;
  let callbacks = [];
  let nextId = 1;
  const display = window.simDisplay = {
    hz, ticks: 0, running: true, stall: 0, stopOnReplayOver, lastTickFrames: 0, afterStall: null,
    now: function () { return now; },
    start: function () { if (!display.running) { display.running = true; setTimeout(tick, 0); } },
  };
  performance.now = function () { return now; };
  window.requestAnimationFrame = function (callback) {
    callbacks.push({ id: nextId, callback });
    return nextId++;
  };
  window.cancelAnimationFrame = function (id) {
    callbacks = callbacks.filter((c) => c.id !== id);
  };
  function interval() {
    if (display.hz > 0) return 1000 / display.hz;
    random = (Math.imul(random, 1664525) + 1013904223) >>> 0;
    return 4 + ((random >>> 8) / (1 << 24)) * 36;
  }
  function frames() {
    return window.vortalixPage && window.vortalixPage.stats.frames || 0;
  }
  function tick() {
    if (!display.running) return;
    const stalled = display.stall > 0;
    now += interval() + display.stall;
    display.stall = 0;
    const due = callbacks;
    callbacks = [];
    const before = frames();
    for (const c of due) c.callback(now);
    display.lastTickFrames = frames() - before;
    if (stalled) display.afterStall = display.lastTickFrames;
    display.ticks++;
    if (display.stopOnReplayOver && window.vortalixPage && window.vortalixPage.stats.replayOver) {
      // Once: started again, it runs on past the end.
      display.stopOnReplayOver = false;
      display.running = false;
      return;
    }
    setTimeout(tick, 0);
  }
  setTimeout(tick, 0);
}

// The same page time on the simulated display, waited for in real time.
async function untilPageTime(page, ms, timeoutMs) {
  await page.waitForFunction((t) => window.simDisplay.now() >= t, { timeout: timeoutMs || 120000, polling: 50 }, ms);
}

module.exports = {
  options: common.options, checker, serve: common.serve, launch, chromiumFlags: common.chromiumFlags,
  readBmp: common.readBmp, canvasPixels: common.canvasPixels, differingPixels: common.differingPixels,
  simulatedDisplay, untilPageTime,
};
