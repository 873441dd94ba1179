// What the touch, offline and sound tests of the browser build share: the options, the static
// server on 127.0.0.1, Debian's headless Chromium with a fresh profile, reading the canvas and
// the stored folder, and the headless runner's frame for the same script.
"use strict";

const { spawnSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const common = require("./common.js");
const { settingsFile, rankingFile, replayDir, serve, readBmp, canvasPixels, differingPixels, readStored,
  rankName } = common;
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));

// node X_test.js --site DIR --data DIR --headless FILE --puppeteer DIR --work DIR
function options() {
  return common.options(["site", "data", "headless", "puppeteer", "work"]);
}

const results = { failures: 0, consoleLines: [] };
function check(ok, what) {
  console.log((ok ? "ok     " : "FAILED ") + what);
  if (!ok) results.failures++;
}

async function open(page, url) {
  await page.goto(url, { waitUntil: "load" });
  await waitForGame(page);
}

async function waitForGame(page) {
  await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null,
    { timeout: 30000 });
}

async function writeStored(page, file, bytes) {
  await page.evaluate((f, b) => {
    FS.writeFile(f, typeof b === "string" ? b : new Uint8Array(b));
    vortalixPage.persist();
    return vortalixPage.stored();
  }, file, bytes);
}

// A ranking of ten zero scores named ZERO, so that any score is ranked.
function zeroRanking() {
  const rec = Buffer.alloc(267);
  rec[0] = 1; rec[1] = 48; rec[256] = 4; rec.write("ZERO", 257, "latin1");
  return Array.from(Buffer.concat(Array(10).fill(rec)));
}

// The desktop's headless runner: its printed line.
function runHeadless(opts, args, cwd) {
  const run = spawnSync(opts.headless, args, { cwd, encoding: "utf8" });
  if (run.error || run.status === null) throw new Error("headless runner: " + (run.error || run.stderr));
  return run;
}

// Pages told to take the test switches.
const testSwitchesOn = new WeakSet();

// From the next load on, the page takes the test switches, and counts its game frames.
async function takeTestSwitches(page) {
  if (testSwitchesOn.has(page)) return;
  testSwitchesOn.add(page);
  await page.evaluateOnNewDocument(() => { window.vortalixTestSwitches = true; });
}

// The number of game frames the page has run (a page that takes the test switches).
function framesRun(page) {
  return page.evaluate(() => vortalixPage.stats.frames || 0);
}

// Waits until the page has run `count` more game frames than `from`: a wait in the game's own
// time, which a busy machine stretches in real time.
async function waitFrames(page, from, count) {
  await page.waitForFunction((n) => (vortalixPage.stats.frames || 0) >= n, { timeout: 60000, polling: 20 },
    from + count);
}

// Waits for `count` more game frames from now.
async function waitMoreFrames(page, count) {
  await waitFrames(page, await framesRun(page), count);
}

// The page's scripted run (seed, keys by frame) loaded at base; resolves when its last frame
// is on the canvas.
async function scriptedRun(page, base, script) {
  const query = new URLSearchParams();
  query.set("seed", String(script.seed));
  query.set("frames", String(script.frames));
  for (const k of script.keys) query.append("key", k);
  // The page takes the scripted-run switches only when the tests say so before it loads.
  await takeTestSwitches(page);
  await page.goto(base + "?" + query.toString(), { waitUntil: "load" });
  if (script.whileLoading) await script.whileLoading();
  await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.scriptedRunDone,
    { timeout: 60000 });
}

// A scripted run in the page and the same run in the headless runner, with the settings and
// ranking the page has stored; the number of pixels in which their last frames differ, and
// the page's frame.
async function sameAsDesktop(opts, page, base, script, label) {
  await scriptedRun(page, base, script);
  const web = await canvasPixels(page);
  const dir = path.join(opts.work, label);
  fs.rmSync(dir, { recursive: true, force: true });
  fs.mkdirSync(path.join(dir, "cwd"), { recursive: true });
  fs.cpSync(opts.data, path.join(dir, "data"), { recursive: true });
  fs.writeFileSync(path.join(dir, "data", "VORTALIX.ini"), Buffer.from(await readStored(page, settingsFile)));
  fs.writeFileSync(path.join(dir, "cwd", "score.vtx"), Buffer.from(await readStored(page, rankingFile)));
  const args = ["--exe-dir", path.join(dir, "data"), "--seed", String(script.seed),
    "--frames", String(script.frames), "--out", path.join(dir, "desktop.bmp")];
  for (const k of script.keys) args.push("--key", k);
  const run = runHeadless(opts, args, path.join(dir, "cwd"));
  if (!fs.existsSync(path.join(dir, "desktop.bmp"))) throw new Error("headless runner: " + run.stderr);
  const desktop = readBmp(path.join(dir, "desktop.bmp"));
  return { differ: differingPixels(web, desktop), of: desktop.w * desktop.h, web };
}

async function launch(puppeteer, profile) {
  return puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    userDataDir: profile,
    // A player's browser starts no sound before the first gesture, whatever headless allows.
    args: common.chromiumFlags.concat(["--autoplay-policy=document-user-activation-required"]),
  });
}

function watch(page) {
  page.on("console", (m) => {
    if (!m.text().startsWith("vortalix-tap ")) results.consoleLines.push(m.text());
  });
  page.on("pageerror", (e) => { console.log("page error: " + e.message); results.failures++; });
}

// Runs body(ctx) with the site served, a browser on a fresh profile, and a clean work folder;
// exits 1 when a check failed or something threw, and never runs longer than `minutes`.
// siteFor(opts), when given, makes the folder to serve instead of the built site.
function run(name, minutes, body, siteFor) {
  const opts = options();
  setTimeout(() => {
    console.log(results.consoleLines.join("\n"));
    console.error(`the ${name} test did not finish within ${minutes} minutes`);
    process.exit(1);
  }, minutes * 60 * 1000).unref();
  (async () => {
    fs.rmSync(opts.work, { recursive: true, force: true });
    fs.mkdirSync(opts.work, { recursive: true });
    const puppeteer = require(opts.puppeteer);
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), "vortalix-chromium-"));
    const served = await serve(siteFor ? siteFor(opts) : opts.site);
    const browser = await launch(puppeteer, profile);
    try {
      await body({ opts, browser, url: served.url, server: served.server });
    } finally {
      await browser.close();
      served.server.kill();
      fs.rmSync(profile, { recursive: true, force: true });
    }
    if (results.failures) {
      console.log(results.consoleLines.join("\n"));
      console.log(`${results.failures} ${name} check(s) failed`);
      process.exit(1);
    }
    console.log(`all ${name} checks passed`);
  })().catch((e) => {
    console.log(results.consoleLines.join("\n"));
    console.error(e);
    process.exit(1);
  });
}

module.exports = {
  settingsFile, rankingFile, replayDir, sleep, check, results, readBmp, canvasPixels,
  differingPixels, open, waitForGame, readStored, writeStored, rankName, zeroRanking,
  runHeadless, takeTestSwitches, framesRun, waitFrames, waitMoreFrames, scriptedRun, sameAsDesktop, watch, run,
};
