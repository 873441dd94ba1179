// Watching a recorded game in the page, as a player does from the scoreboard's "watch" link
// (index.html?replay=URL) or by picking a .vtr file: a golden replay plays at its own pace on
// a simulated 60 Hz display to its last recorded frame, which must be the desktop's last frame
// of the same replay (vortalix-headless --verify FILE --out LAST.bmp), pixel for pixel. Then
// the ranking screen runs on, F7 pauses, Tab held plays four times as fast, Esc ends, and the
// player's stored ranking and settings are what they were. Damaged, missing and foreign
// replays each give a one-line page message, and the game starts as usual.
//
//   node watch_test.js --site DIR --data DIR --headless FILE --replays DIR --puppeteer DIR --work DIR
"use strict";

const { spawnSync } = require("child_process");
const fs = require("fs");
const path = require("path");
const h = require("./site_harness.js");

const opts = h.options(["site", "data", "headless", "replays", "puppeteer", "work"]);
const puppeteer = require(opts.puppeteer);
const c = h.checker();
const consoleLines = [];

const settingsFile = "/home/web_user/.config/vortalix/VORTALIX.ini";
const rankingFile = "/home/web_user/.local/share/vortalix/score.vtx";
const golden = "levelups_name.vtr";

async function readStored(page, file) {
  return page.evaluate((f) => {
    try { return Array.from(FS.readFile(f)); } catch (e) { return null; }
  }, file);
}

// The replay's frame count and the desktop's last frame of it.
function desktopLastFrame(file) {
  const out = path.join(opts.work, path.basename(file, ".vtr") + "-last.bmp");
  const run = spawnSync(opts.headless, ["--verify", file, "--exe-dir", opts.data, "--out", out],
    { encoding: "utf8" });
  if (run.status !== 0) throw new Error("headless runner: " + (run.error || run.stdout + run.stderr));
  return h.readBmp(out);
}

async function openWatching(browser, url, stopOnReplayOver) {
  const page = await browser.newPage();
  page.on("console", (m) => consoleLines.push(m.text()));
  page.on("pageerror", (e) => c.check(false, "page error: " + e.message));
  await page.evaluateOnNewDocument(h.simulatedDisplay, 60, stopOnReplayOver);
  await page.goto(url, { waitUntil: "load" });
  return page;
}

async function message(page) {
  return page.evaluate(() => getComputedStyle(document.getElementById("message")).display === "none" ? ""
    : document.getElementById("message-text").textContent);
}

async function main() {
  fs.rmSync(opts.work, { recursive: true, force: true });
  // The site as served: the built page, and replays beside it as the scoreboard serves them.
  const root = path.join(opts.work, "served");
  fs.mkdirSync(path.join(root, "replays"), { recursive: true });
  for (const f of fs.readdirSync(opts.site)) fs.symlinkSync(path.join(opts.site, f), path.join(root, f));
  fs.copyFileSync(path.join(opts.replays, golden), path.join(root, "replays", golden));
  const damaged = fs.readFileSync(path.join(opts.replays, golden));
  fs.writeFileSync(path.join(root, "replays", "cut.vtr"), damaged.subarray(0, damaged.length - 7));
  fs.writeFileSync(path.join(root, "replays", "garbage.vtr"), Buffer.from("VTR\0" + "x".repeat(200)));

  const desktop = desktopLastFrame(path.join(opts.replays, golden));
  const { server, url } = await h.serve(root);
  const chromium = await h.launch(puppeteer);
  try {
    // A first visit stores the player's ranking and settings; a change of music makes the
    // settings differ from any replay's.
    let page = await chromium.browser.newPage();
    await page.goto(url, { waitUntil: "load" });
    await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null,
      { timeout: 60000, polling: 50 });
    await page.evaluate((f) => {
      FS.writeFile(f, "[Sound]\r\nBGM=0\r\n");
      vortalixPage.persist();
      return vortalixPage.stored();
    }, settingsFile);
    const rankingBefore = await readStored(page, rankingFile);
    const settingsBefore = await readStored(page, settingsFile);
    c.check(rankingBefore !== null && settingsBefore !== null, "the player has a stored ranking and settings");
    await page.close();

    // --- ?replay=URL, to the recording's last frame ---
    page = await openWatching(chromium.browser, url + "?replay=replays/" + golden, true);
    await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.replayOver === true,
      { timeout: 120000, polling: 50 });
    const watched = await page.evaluate(() => [vortalixPage.stats.watching, vortalixPage.stats.frames,
      vortalixPage.stats.firstFrameMs, simDisplay.now()]);
    const last = await h.canvasPixels(page);
    const differ = h.differingPixels(last, desktop);
    c.check(watched[0] === golden, `the page watches ${golden} (${watched[0]})`);
    c.check(differ === 0, `the watched replay's last frame is the desktop's ` +
      `(${differ} of ${desktop.w * desktop.h} pixels differ)`);
    // At the recording's pace: its frames are 16 ms each.
    const pageSeconds = (watched[3] - watched[2]) / 1000;
    const rate = (watched[1] - 1) / pageSeconds;
    console.log(`figure: watched ${watched[1]} frames in ${pageSeconds.toFixed(2)} s of page time ` +
      `at 60 Hz: ${rate.toFixed(2)} frames a second`);
    c.check(Math.abs(rate / 62.5 - 1) < 0.01, "the replay plays at its recorded pace");

    // The ranking screen runs on by itself.
    await page.evaluate(() => simDisplay.start());
    const shown = await page.evaluate(() => vortalixPage.stats.frames);
    await h.untilPageTime(page, watched[3] + 2000);
    const runOn = await page.evaluate(() => vortalixPage.stats.frames);
    c.check(runOn - shown > 100, `after the recording the ranking screen runs on (${runOn - shown} frames in 2 s)`);
    // F7 pauses, F7 again goes on.
    await page.focus("canvas");
    await page.keyboard.press("F7");
    let t = await page.evaluate(() => simDisplay.now());
    await h.untilPageTime(page, t + 200);
    const pausedAt = await page.evaluate(() => vortalixPage.stats.frames);
    await h.untilPageTime(page, t + 1200);
    const stillPaused = await page.evaluate(() => vortalixPage.stats.frames);
    c.check(stillPaused === pausedAt, `F7 pauses (${stillPaused - pausedAt} frames in a paused second)`);
    await page.keyboard.press("F7");
    t = await page.evaluate(() => simDisplay.now());
    await h.untilPageTime(page, t + 1000);
    c.check(await page.evaluate(() => vortalixPage.stats.frames) > stillPaused + 30, "F7 again plays on");
    // Esc ends the watching; nothing of the player's has changed.
    await page.keyboard.press("Escape");
    await page.waitForFunction(() => vortalixPage.stats.ended !== null, { timeout: 10000, polling: 50 });
    await page.evaluate(() => vortalixPage.stored());
    c.check(await page.evaluate(() => vortalixPage.stats.ended) === 0, "Esc ends the watching with code 0");
    c.check(JSON.stringify(await readStored(page, rankingFile)) === JSON.stringify(rankingBefore),
      "watching leaves the player's ranking as it was");
    c.check(JSON.stringify(await readStored(page, settingsFile)) === JSON.stringify(settingsBefore),
      "watching leaves the player's settings as they were");
    await page.close();

    // --- a picked file, with Tab held: four times as fast ---
    page = await openWatching(chromium.browser, url, true);
    await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null,
      { timeout: 60000, polling: 50 });
    await page.focus("canvas");
    await page.keyboard.down("Tab");
    const input = await page.$("#watch input");
    await input.uploadFile(path.join(opts.replays, golden));
    await page.waitForFunction(() => vortalixPage.stats.watching !== undefined, { timeout: 10000, polling: 50 });
    const pickedAt = await page.evaluate(() => [simDisplay.now(), vortalixPage.stats.frames]);
    await page.waitForFunction(() => vortalixPage.stats.replayOver === true, { timeout: 120000, polling: 50 });
    const fastEnd = await page.evaluate(() => [simDisplay.now(), vortalixPage.stats.frames]);
    await page.keyboard.up("Tab");
    const fastSeconds = (fastEnd[0] - pickedAt[0]) / 1000;
    console.log(`figure: with Tab held the picked replay took ${fastSeconds.toFixed(2)} s of page time ` +
      `against ${pageSeconds.toFixed(2)} s, showing ${fastEnd[1] - pickedAt[1]} frames`);
    c.check(Math.abs(fastSeconds * 4 / pageSeconds - 1) < 0.05, "Tab held plays four times as fast");
    c.check(Math.abs((fastEnd[1] - pickedAt[1]) * 4 / watched[1] - 1) < 0.05, "and shows one frame in four");
    // A damaged file picked while watching: one line, and the watching goes on.
    fs.writeFileSync(path.join(opts.work, "cut.vtr"), damaged.subarray(0, damaged.length - 7));
    await input.uploadFile(path.join(opts.work, "cut.vtr"));
    await page.waitForFunction(() => getComputedStyle(document.getElementById("message")).display !== "none",
      { timeout: 10000, polling: 50 });
    const picked = await message(page);
    c.check(/^cut\.vtr: [^\n]+$/.test(picked), `a damaged picked file gets one line (${picked})`);
    await page.close();

    // --- replays that cannot be watched: one line each, and the game starts ---
    for (const [address, expect] of [["replays/cut.vtr", /^cut\.vtr: /], ["replays/garbage.vtr", /^garbage\.vtr: /],
      ["replays/missing.vtr", /^missing\.vtr: 404/], ["http://example.invalid/a.vtr", /not on this site/],
      ["%%%", /./]]) {
      page = await openWatching(chromium.browser, url + "?replay=" + encodeURIComponent(address), false);
      await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null,
        { timeout: 60000, polling: 50 });
      const said = await message(page);
      const playing = await page.evaluate(() => vortalixPage.stats.watching === undefined && vortalixPage.stats.ended === null);
      c.check(expect.test(said) && !said.includes("\n") && playing,
        `?replay=${address}: "${said}", and the game starts`);
      await page.close();
    }
  } finally {
    await chromium.close();
    server.kill();
  }
  if (c.failures) {
    console.log(consoleLines.join("\n"));
    console.log(`${c.failures} watching check(s) failed`);
    process.exit(1);
  }
  console.log("all watching checks passed");
}

setTimeout(() => {
  console.log(consoleLines.join("\n"));
  console.error("the watching test did not finish within five minutes");
  process.exit(1);
}, 5 * 60 * 1000).unref();

main().catch((e) => {
  console.log(consoleLines.join("\n"));
  console.error(e);
  process.exit(1);
});
