// What the browser tests of the game's clock, replay watching and Lighthouse share: the static
// server on 127.0.0.1, Debian's headless Chromium, pictures from the canvas and from the
// desktop's headless runner, and a simulated display clock that stands in for the browser's
// animation frames.
"use strict";

const { spawn } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

// --name value pairs; each listed one must be there and is made absolute.
function options(needed) {
  const opts = {};
  for (let i = 2; i + 1 < process.argv.length; i += 2) opts[process.argv[i].slice(2)] = process.argv[i + 1];
  for (const need of needed) {
    if (!opts[need]) throw new Error("missing --" + need);
    opts[need] = path.resolve(opts[need]);
  }
  return opts;
}

// Counts the checks; a failed one fails the run at the end.
function checker() {
  const c = { failures: 0 };
  c.check = function (ok, what) {
    console.log((ok ? "ok     " : "FAILED ") + what);
    if (!ok) c.failures++;
  };
  return c;
}

// python3's static web server on a free port of 127.0.0.1, serving `dir`.
function serve(dir) {
  return new Promise((resolve, reject) => {
    const server = spawn("python3", ["-u", "-m", "http.server", "--bind", "127.0.0.1", "-d", dir, "0"],
      { stdio: ["ignore", "pipe", "pipe"] });
    let out = "";
    server.stdout.on("data", (d) => {
      out += d;
      const m = /port (\d+)/.exec(out);
      if (m) resolve({ server, url: "http://127.0.0.1:" + m[1] + "/" });
    });
    server.stderr.on("data", () => {}); // one line per request
    server.on("exit", (code) => reject(new Error("http.server ended: " + code)));
  });
}

const chromiumFlags = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync"];

// Chromium with a fresh profile; close() also removes the profile.
async function launch(puppeteer, extraArgs) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "vortalix-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    userDataDir: profile,
    args: chromiumFlags.concat(extraArgs || []),
  });
  return {
    browser,
    close: async function () {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
}

// A 24-bit BMP as the headless runner writes it, as RGB rows from the top.
function readBmp(file) {
  const b = fs.readFileSync(file);
  const offset = b.readUInt32LE(10), w = b.readInt32LE(18), h = b.readInt32LE(22);
  if (b.readUInt16LE(28) !== 24) throw new Error(file + ": not a 24-bit BMP");
  const stride = Math.ceil((w * 3) / 4) * 4, rows = Math.abs(h);
  const rgb = Buffer.alloc(w * rows * 3);
  for (let y = 0; y < rows; y++) {
    const from = offset + (h > 0 ? rows - 1 - y : y) * stride;
    for (let x = 0; x < w; x++) {
      rgb[(y * w + x) * 3] = b[from + x * 3 + 2];
      rgb[(y * w + x) * 3 + 1] = b[from + x * 3 + 1];
      rgb[(y * w + x) * 3 + 2] = b[from + x * 3];
    }
  }
  return { w, h: rows, rgb };
}

async function canvasPixels(page) {
  return page.evaluate(() => {
    const c = document.getElementById("canvas");
    const d = c.getContext("2d").getImageData(0, 0, c.width, c.height).data;
    const rgb = [];
    for (let i = 0; i < d.length; i += 4) rgb.push(d[i], d[i + 1], d[i + 2]);
    return { w: c.width, h: c.height, rgb };
  });
}

function differingPixels(a, b) {
  if (a.w !== b.w || a.h !== b.h) return Infinity;
  let n = 0;
  for (let i = 0; i < a.w * a.h; i++) {
    if (a.rgb[i * 3] !== b.rgb[i * 3] || a.rgb[i * 3 + 1] !== b.rgb[i * 3 + 1] ||
        a.rgb[i * 3 + 2] !== b.rgb[i * 3 + 2]) n++;
  }
  return n;
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
  options, checker, serve, launch, chromiumFlags, readBmp, canvasPixels, differingPixels,
  simulatedDisplay, untilPageTime,
};
