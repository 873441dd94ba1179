// The browser build, played in Debian's headless Chromium the way a player would: the page is
// served over HTTP on 127.0.0.1, keys are real key events, and the storage is a fresh
// profile's. What it checks:
//   - the first visit: the title on the canvas, a first ranking and first settings stored;
//   - a game: start, die, enter a name; after a reload the ranking holds the name, and the
//     ranking screen shows it; the game's replay, stored by the page, verifies in the
//     desktop's headless runner;
//   - scripted runs (the page's test switch: seed, keys by frame, fixed 16 ms steps) draw the
//     same frame, pixel for pixel, as the desktop's headless runner given the same script;
//   - F1 hands the screenshot to the browser as a download; Esc ends to the play-again page.
// It prints the page's sizes, the time from loading to the first frame and the pacing of the
// frames as the page saw them.
//
//   node browser_test.js --site DIR --data DIR --headless FILE --puppeteer DIR --work DIR
"use strict";

const { spawnSync } = require("child_process");
const fs = require("fs");
const os = require("os");
const path = require("path");

const common = require("./common.js");
const lib = require("./lib.js");
const { settingsFile, rankingFile, replayDir, serve, chromiumFlags, readBmp, canvasPixels, differingPixels,
  readStored, rankName } = common;

const opts = common.options(["site", "data", "headless", "puppeteer", "work"]);
const puppeteer = require(opts.puppeteer);

const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
let failures = 0;
const consoleLines = []; // what the page said, shown when something fails
function check(ok, what) {
  console.log((ok ? "ok     " : "FAILED ") + what);
  if (!ok) failures++;
}

// --- the page ---
async function open(page, url) {
  await page.goto(url, { waitUntil: "load" });
  await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null,
    { timeout: 30000 });
}

// A scripted run in the page and the same run in the headless runner, with the settings and
// ranking the page has stored: their last frames must be the same. Returns the page's frame.
async function sameAsDesktop(page, base, script, label) {
  const r = await lib.sameAsDesktop(opts, page, base, script, label);
  check(r.differ === 0, `${label}: the page's frame ${script.frames} is the desktop's ` +
    `(${r.differ} of ${r.of} pixels differ)`);
  return r.web;
}

function percentile(sorted, p) {
  return sorted[Math.min(sorted.length - 1, Math.floor((p / 100) * sorted.length))];
}

async function main() {
  fs.rmSync(opts.work, { recursive: true, force: true });
  fs.mkdirSync(opts.work, { recursive: true });
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "vortalix-chromium-"));
  const downloads = path.join(opts.work, "downloads");
  fs.mkdirSync(downloads);
  const { server, url } = await serve(opts.site);
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    userDataDir: profile,
    args: chromiumFlags,
  });
  try {
    const page = await browser.newPage();
    // The scripted runs below are a test switch the page takes only when told so.
    await page.evaluateOnNewDocument(() => { window.vortalixTestSwitches = true; });
    page.on("console", (m) => consoleLines.push(m.text()));
    page.on("pageerror", (e) => { console.log("page error: " + e.message); failures++; });
    const cdp = await page.createCDPSession();
    await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });

    // --- sizes ---
    const size = (f) => fs.statSync(path.join(opts.site, f)).size;
    const code = size("vortalix.wasm") + size("vortalix.js");
    console.log(`figure: vortalix.wasm + vortalix.js = ${(code / 1e6).toFixed(2)} MB ` +
      `(wasm ${(size("vortalix.wasm") / 1e6).toFixed(2)} MB), data ${(size("vortalix.data") / 1e6).toFixed(2)} MB`);
    check(code < 3e6, "the program's files are under 3 MB");

    // --- first visit: the title, the first ranking, pacing ---
    await open(page, url);
    const loadToFirstFrame = await page.evaluate(() => vortalixPage.stats.firstFrameMs);
    console.log(`figure: load to first frame ${loadToFirstFrame.toFixed(0)} ms`);
    await sleep(4000); // the title's opening is over after a few seconds
    const title = await canvasPixels(page);
    check(title.w === 240 && title.h === 273, `the canvas is 240×273 (${title.w}×${title.h})`);
    const frames = await page.evaluate(() => vortalixPage.stats.frameStarts.slice());
    const gaps = frames.slice(1).map((t, i) => t - frames[i]).sort((a, b) => a - b);
    console.log(`figure: ${gaps.length} frame intervals in the page: median ` +
      `${percentile(gaps, 50).toFixed(2)} ms, 99th percentile ${percentile(gaps, 99).toFixed(2)} ms, ` +
      `shortest ${gaps[0].toFixed(2)} ms`);
    // The game's clock reads whole milliseconds, so 16 on it is more than 15 on the page's.
    check(gaps.length > 100 && gaps[0] > 15, "frames come no sooner than 16 ms apart on the game's clock");
    const shipped = fs.readFileSync(path.join(opts.data, "score.vtx"));
    const first = await readStored(page, rankingFile);
    check(first !== null && Buffer.from(first).equals(shipped), "the first visit has the first ranking");
    const scale = await page.evaluate(() => getComputedStyle(document.getElementById("canvas")).imageRendering);
    check(scale === "pixelated", "the canvas is scaled with crisp pixels");

    // The title as the desktop draws it, once its opening is over: the still title is the
    // same picture whatever the seed and the frame.
    const still = await sameAsDesktop(page, url, { seed: 1, frames: 300, keys: [] }, "title");
    const titleDiffers = differingPixels(title, still);
    check(titleDiffers === 0,
      `the free-running page shows the same still title (${titleDiffers} pixels differ)`);

    // --- the game's files through the page's worker, and without it ---
    await page.waitForFunction(() => vortalixPage.stats.musicArrived === true, { timeout: 30000 });
    check(await page.evaluate(() => typeof Module.instantiateWasm === "function"),
      "the page's worker fetched and compiled the game's files and handed them over");
    // A page whose worker cannot be had (here its script is refused) loads as before: the
    // game's script fetches its own files, and the page its music.
    const bare = await browser.createBrowserContext();
    try {
      const noWorker = await bare.newPage();
      await noWorker.setRequestInterception(true);
      noWorker.on("request", (r) => (r.url().endsWith("/loader.js") ? r.abort() : r.continue()));
      noWorker.on("pageerror", (e) => { console.log("page error: " + e.message); failures++; });
      await open(noWorker, url);
      await noWorker.waitForFunction(() => vortalixPage.stats.musicArrived === true, { timeout: 30000 });
      const without = await noWorker.evaluate(() => typeof Module.instantiateWasm);
      await sleep(4000);
      const bareTitle = await canvasPixels(noWorker);
      check(without === "undefined" && differingPixels(bareTitle, title) === 0,
        "without its worker the page loads the game itself, with its music, to the same title");
    } finally {
      await bare.close();
    }

    // --- a game played with real keys ---
    // A ranking of ten zero scores, so that any score is ranked.
    await lib.writeStored(page, rankingFile, lib.zeroRanking());
    await open(page, url);
    await page.focus("canvas");
    const key = async (k, wait) => { await page.keyboard.press(k); await sleep(wait); };
    await key("F7", 300);   // pause on the title
    await key("x", 6000);   // start; the count-down runs into play, which begins paused
    await key("F7", 700);   // run to the right for a while
    await key("F7", 300);   // pause again
    await key("z", 200);    // left twice: the point faces its own trail
    await key("z", 300);
    await key("F7", 5500);  // the next step lands on the trail; game over, then the name entry
    for (const k of ["x", "c", "x", "z", "z", "x"]) await key(k, 250); // "A", "B", finish
    await page.evaluate(() => vortalixPage.stored());
    await page.reload({ waitUntil: "load" });
    await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null);
    const ranking = await readStored(page, rankingFile);
    check(ranking !== null && rankName(ranking, 0) === "AB",
      `after a reload the first rank is the new name (${ranking && rankName(ranking, 0)})`);
    check(ranking !== null && rankName(ranking, 1) === "ZERO", "the older ranks moved down");

    // The game was recorded in the stored folder, and the desktop's runner plays the
    // recording out to the same score, level and name.
    const replays = await page.evaluate((dir) => {
      try { return FS.readdir(dir).filter((f) => f.endsWith(".vtr")); } catch (e) { return []; }
    }, replayDir);
    check(replays.length === 1, `the game was recorded (${replays.length} replay files)`);
    if (replays.length === 1) {
      const file = path.join(opts.work, "browser-game.vtr");
      fs.writeFileSync(file, Buffer.from(await readStored(page, replayDir + replays[0])));
      const run = spawnSync(opts.headless, ["--verify", file, "--exe-dir", opts.data],
        { encoding: "utf8" });
      check(run.status === 0 && /name=AB/.test(run.stdout),
        `the browser's replay verifies on the desktop (exit ${run.status}: ${(run.stdout + run.stderr).trim()})`);
    }

    // The ranking screen after the reload, as the desktop draws it from the same file.
    // (F3 three times: the ranking, back to the title, which restarts the frame clock, and the
    // ranking again.)
    await sameAsDesktop(page, url, { seed: 5, frames: 70, keys: ["3:f3", "20:f3", "40:f3"] },
      "ranking");
    // A game in play: started, turned, sped up.
    await sameAsDesktop(page, url, { seed: 4242, frames: 420,
      keys: ["2:x", "300:c", "330:6", "360:s", "380:z", "400:f6"] }, "play");

    // The doubled window of [Zoom] Enable=1: a canvas of twice the size, drawn alike.
    await page.evaluate((f) => {
      FS.writeFile(f, "[Zoom]\r\nEnable=1\r\n");
      vortalixPage.persist();
      return vortalixPage.stored();
    }, settingsFile);
    const zoomed = await sameAsDesktop(page, url, { seed: 9, frames: 200, keys: ["100:x"] }, "zoom");
    check(zoomed.w === 480 && zoomed.h === 546, `the zoomed canvas is 480×546 (${zoomed.w}×${zoomed.h})`);
    const cssWidth = await page.evaluate(() => parseFloat(document.getElementById("canvas").style.width));
    check(cssWidth % 480 === 0, `the zoomed canvas is scaled by a whole number (${cssWidth} px wide)`);
    await page.evaluate((f) => {
      FS.writeFile(f, "[Zoom]\r\nEnable=0\r\n");
      vortalixPage.persist();
      return vortalixPage.stored();
    }, settingsFile);

    // --- F1, F2 and Esc with real keys ---
    await open(page, url);
    await page.focus("canvas");
    // The game's function keys are the game's: F5 switches the music off and on again and
    // does not reload the page, F3 shows the ranking and goes back to the title.
    await page.evaluate(() => { window.notReloaded = true; });
    for (const k of ["F5", "F5", "F3", "F3"]) await key(k, 300);
    check(await page.evaluate(() => window.notReloaded === true), "F3 and F5 stay with the game");
    await key("F1", 1000);
    const shots = fs.readdirSync(downloads).filter((f) => /^g_sc\d+\.bmp$/.test(f));
    check(shots.length === 1, `F1 downloads the screenshot (${shots.join(", ")})`);
    if (shots.length === 1) {
      const shot = readBmp(path.join(downloads, shots[0]));
      check(shot.w === 240 && shot.h === 273, "the screenshot is a 240×273 BMP");
    }
    // F2: the browser's picker; the picked picture becomes the backdrop and is kept.
    const before = await canvasPixels(page);
    // The picker is intercepted only once Chromium has been told to; then F2.
    const choosing = page.waitForFileChooser({ timeout: 5000 });
    await sleep(300);
    await page.keyboard.press("F2");
    const chooser = await choosing;
    await chooser.accept([path.join(opts.data, "image", "bomb02.bmp")]);
    await sleep(3000);
    const after = await canvasPixels(page);
    check(differingPixels(before, after) > 1000, "F2's picked picture replaces the backdrop");
    await key("Escape", 1000);
    const settings = Buffer.from(await readStored(page, settingsFile) || []).toString("latin1");
    check(/Path=\/home\/web_user\/pictures\/bomb02\.bmp/.test(settings),
      "the settings keep the picked picture");
    const ended = await page.evaluate(() => [vortalixPage.stats.ended,
      getComputedStyle(document.getElementById("ended")).display]);
    check(ended[0] === 1 && ended[1] !== "none", `Esc ends with code 1 to the play-again page (${ended})`);
    await Promise.all([page.waitForNavigation({ waitUntil: "load" }), page.keyboard.press("x")]);
    await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null);
    check(true, "a key on the play-again page starts the game again");
    const picture = await readStored(page, "/home/web_user/pictures/bomb02.bmp");
    check(picture !== null && picture.length === fs.statSync(path.join(opts.data, "image", "bomb02.bmp")).size,
      "the picked picture is still there after the reload");
    // A broken ranking file: the start-up warning as a page message, then the end page.
    await page.evaluate((f) => {
      FS.writeFile(f, "short");
      vortalixPage.persist();
      return vortalixPage.stored();
    }, rankingFile);
    await page.reload({ waitUntil: "load" });
    await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.ended !== null,
      { timeout: 30000 });
    const warning = await page.evaluate(() => [vortalixPage.stats.ended,
      document.getElementById("message").textContent,
      getComputedStyle(document.getElementById("message")).display]);
    check(warning[0] === 0 && warning[1].includes("スコアランキング(score.vtx)が読み込めません！") &&
      warning[2] !== "none", `a start-up warning is a page message and ends with code 0 (code ${warning[0]})`);
    consoleLines.splice(0, consoleLines.length, ...consoleLines.filter((l) => !l.includes("score.vtx")));

    const warnings = consoleLines.filter((l) => l.startsWith("vortalix:"));
    console.log("the game said:\n  " + (warnings.join("\n  ") || "nothing"));
    check(!warnings.some((l) => /not a playable|no audio/.test(l)),
      "sound effects and music loaded, with an audio device");
    if (failures) console.log(consoleLines.join("\n"));
  } finally {
    await browser.close();
    server.kill();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  if (failures) {
    console.log(`${failures} browser check(s) failed`);
    process.exit(1);
  }
  console.log("all browser checks passed");
}

// A page that stops answering must fail the test, not hold up the test run for ever.
setTimeout(() => {
  console.log(consoleLines.join("\n"));
  console.error("the browser test did not finish within ten minutes");
  process.exit(1);
}, 10 * 60 * 1000).unref();

main().catch((e) => {
  console.log(consoleLines.join("\n"));
  console.error(e);
  process.exit(1);
});
