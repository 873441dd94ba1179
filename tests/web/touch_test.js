// The browser build played by touch alone, as on a phone: a portrait phone-sized viewport with
// touch emulation (hasTouch, isMobile), real touch events from the browser's input layer, no
// keyboard. What it checks:
//   - the controls show on the touch screen, below the canvas, never over the field; the
//     canvas is scaled by a whole number of the screen's pixels and fits above them; the
//     desktop's line of keys shows instead where there is no touch;
//   - a whole game: start, turn, the faster button held with one finger while the other turns
//     and pauses (the point then draws its trail faster), death, a name entered with the turn
//     and choose buttons, a letter deleted with '!', finished with '#'; after a reload the name
//     is first in the ranking, and the game's replay verifies in the desktop's runner;
//   - the switches: music, effects, backdrop and pause keep the game going, the ranking
//     button shows the ranking screen and brings back the title.
//
//   node touch_test.js --site DIR --data DIR --headless FILE --puppeteer DIR --work DIR
"use strict";

const fs = require("fs");
const path = require("path");
const lib = require("./lib.js");
const { check, sleep } = lib;

const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

async function centreOf(page, name) {
  const box = await page.$eval(`#touch button[data-key="${name}"]`, (b) => {
    const r = b.getBoundingClientRect();
    return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
  });
  return box;
}

async function tap(page, name, wait) {
  const c = await centreOf(page, name);
  await page.touchscreen.tap(c.x, c.y);
  await sleep(wait);
}

// A tap, then a wait of `frames` game frames: what the game does in that time, whatever a busy
// machine makes of it in real time.
async function tapFor(page, name, frames) {
  const c = await centreOf(page, name);
  const from = await lib.framesRun(page);
  await page.touchscreen.tap(c.x, c.y);
  await lib.waitFrames(page, from, frames);
}

// The trail's length: the pure white pixels joined to the place the point passes on its first
// run to the right (141,120), just beside the place of the "PAUSE" label (centred at 120,120),
// which is left out, so that a grab that catches the label or the frame before it counts the
// same. Other white on the field (the items' sparkles) is not joined to it and not counted.
async function trailLength(page) {
  return (await trailPlaces(page)).size;
}

async function trailPlaces(page) {
  const p = await lib.canvasPixels(page);
  const white = (x, y) => {
    if (x < 0 || x >= p.w || y < 0 || y >= 240 || (x >= 92 && x < 140 && y >= 116 && y < 132)) return false;
    const i = (y * p.w + x) * 3;
    return p.rgb[i] === 255 && p.rgb[i + 1] === 255 && p.rgb[i + 2] === 255;
  };
  const seen = new Set(), todo = white(141, 120) ? [[141, 120]] : [];
  while (todo.length > 0) {
    const [x, y] = todo.pop();
    const key = y * p.w + x;
    if (seen.has(key) || !white(x, y)) continue;
    seen.add(key);
    todo.push([x + 1, y], [x - 1, y], [x, y + 1], [x, y - 1]);
  }
  return seen;
}

// The places of the frame that are pure white.
async function whitePlaces(page) {
  const p = await lib.canvasPixels(page);
  const places = new Set();
  for (let i = 0; i < p.w * p.h; i++) {
    if (p.rgb[i * 3] === 255 && p.rgb[i * 3 + 1] === 255 && p.rgb[i * 3 + 2] === 255) places.add(i);
  }
  return places;
}

// The name entry has come once the trail is off the screen: the game over still shows the
// field, its "GAME OVER" over a part of it. A point that levels up on its way is invincible for
// a while and passes its trail, so the death may take longer than running into it at once.
async function waitForNameEntry(page, trail) {
  const until = Date.now() + 60000;
  for (;;) {
    const white = await whitePlaces(page);
    if (Array.from(trail).filter((i) => white.has(i)).length <= trail.size / 5) return true;
    if (Date.now() > until) return false;
    await lib.waitMoreFrames(page, 15);
  }
}

lib.run("touch", 6, async ({ opts, browser, url }) => {
  const page = await browser.newPage();
  lib.watch(page);
  await lib.takeTestSwitches(page);

  // --- a desktop: no controls, the keys in one line ---
  await page.setViewport({ width: 1024, height: 768 });
  await lib.open(page, url);
  const desktop = await page.evaluate(() => {
    const keys = document.getElementById("keys"), touch = document.getElementById("touch");
    const canvas = document.getElementById("canvas").getBoundingClientRect();
    const k = keys.getBoundingClientRect();
    return { keys: getComputedStyle(keys).display, touch: getComputedStyle(touch).display,
      text: keys.textContent, lines: Math.round(k.height / parseFloat(getComputedStyle(keys).lineHeight)),
      below: k.top >= canvas.bottom, fits: k.bottom <= innerHeight };
  });
  check(desktop.keys !== "none" && desktop.touch === "none",
    `a desktop shows the keys line and no touch controls (${desktop.keys}, ${desktop.touch})`);
  check(desktop.lines === 1 && desktop.below && desktop.fits && /X.*start/.test(desktop.text),
    `the keys line is one line under the canvas: "${desktop.text}"`);

  // --- a portrait phone ---
  await page.setViewport(phone);
  await lib.open(page, url);
  await lib.writeStored(page, lib.rankingFile, lib.zeroRanking());
  await lib.open(page, url);
  const shown = await page.evaluate(() => {
    const canvas = document.getElementById("canvas").getBoundingClientRect();
    const touch = document.getElementById("touch");
    const buttons = Array.from(touch.querySelectorAll("button")).map((b) => b.getBoundingClientRect());
    return { touch: getComputedStyle(touch).display, keys: getComputedStyle(document.getElementById("keys")).display,
      canvas: { left: canvas.left, top: canvas.top, right: canvas.right, bottom: canvas.bottom, width: canvas.width },
      topOfButtons: Math.min(...buttons.map((b) => b.top)), bottomOfButtons: Math.max(...buttons.map((b) => b.bottom)),
      count: buttons.length, dpr: devicePixelRatio, inner: [innerWidth, innerHeight] };
  });
  check(shown.touch !== "none" && shown.keys === "none" && shown.count >= 10,
    `a touch screen shows the controls (${shown.count} buttons) instead of the keys line`);
  check(shown.topOfButtons >= shown.canvas.bottom && shown.bottomOfButtons <= shown.inner[1],
    `the controls lie below the canvas and on the screen (canvas bottom ${shown.canvas.bottom.toFixed(1)}, ` +
    `buttons ${shown.topOfButtons.toFixed(1)}..${shown.bottomOfButtons.toFixed(1)} of ${shown.inner[1]})`);
  const devicePixels = shown.canvas.width * shown.dpr;
  check(Math.abs(devicePixels / 240 - Math.round(devicePixels / 240)) < 0.01 && devicePixels >= 480 &&
    shown.canvas.right <= shown.inner[0],
    `the canvas is scaled by a whole number of screen pixels (${devicePixels.toFixed(1)} of them for 240, ` +
    `${(devicePixels / 240).toFixed(2)} times) and fits the width`);
  console.log(`figure: on a ${shown.inner[0]}×${shown.inner[1]} phone at ${shown.dpr}× the canvas is ` +
    `${shown.canvas.width.toFixed(0)} px wide (${(devicePixels / 240).toFixed(0)} screen pixels per game pixel), ` +
    `the controls end at ${shown.bottomOfButtons.toFixed(0)} px`);

  // No key from here on: touches alone. The switches first: each leaves the title running.
  await page.evaluate(() => { window.notReloaded = true; });
  const before = await lib.canvasPixels(page);
  await tap(page, "ranking", 500);
  const ranking = await lib.canvasPixels(page);
  check(lib.differingPixels(before, ranking) > 1000, "the ranking button shows the ranking screen");
  await tap(page, "ranking", 300); // back to the title
  for (const name of ["music", "music", "effects", "effects"]) await tap(page, name, 200);
  await lib.waitMoreFrames(page, 200); // past the title's opening: a still picture
  const withBackdrop = await lib.canvasPixels(page);
  await tap(page, "backdrop", 300);
  const noBackdrop = await lib.canvasPixels(page);
  await tap(page, "backdrop", 300);
  const backAgain = await lib.canvasPixels(page);
  check(lib.differingPixels(withBackdrop, noBackdrop) > 1000 &&
    lib.differingPixels(withBackdrop, backAgain) === 0,
    "the backdrop button switches the background picture off and on again");
  check(await page.evaluate(() => window.notReloaded === true && vortalixPage.stats.ended === null),
    "the switches stay with the game");
  const choosing = page.waitForFileChooser({ timeout: 5000 });
  await tap(page, "picture", 100);
  await (await choosing).cancel();
  check(true, "the picture button opens the browser's picker");

  // A game: paused on the title so that play begins paused, then started.
  // The waits count the game's frames: the count-down is 4 s of them (250 frames), the game
  // over 251 frames after the death.
  await tapFor(page, "pause", 20);
  await tapFor(page, "choose", 350); // the count-down runs into play, which begins paused
  // The point starts under the "PAUSE" label, which hides its first steps: a first run takes
  // it out from under the label before the trail is measured.
  await tapFor(page, "pause", 90);
  await tapFor(page, "pause", 20);
  const w0 = await trailLength(page);
  let f = await lib.framesRun(page);
  await tapFor(page, "pause", 50); // running right
  await tap(page, "pause", 0);
  const normalFrames = (await lib.framesRun(page)) - f;
  await lib.waitMoreFrames(page, 20);
  const w1 = await trailLength(page);
  // Two fingers: the faster button held, the other finger lifts the pause, turns and pauses.
  await page.evaluate(() => {
    window.fasterKeyEvents = [];
    for (const type of ["keydown", "keyup"]) {
      window.addEventListener(type, (e) => { if (e.code === "KeyS") fasterKeyEvents.push(type); });
    }
  });
  const faster = await centreOf(page, "faster");
  const held = await page.touchscreen.touchStart(faster.x, faster.y);
  await lib.waitMoreFrames(page, 6);
  f = await lib.framesRun(page);
  await tapFor(page, "pause", 25);
  await tapFor(page, "right", 25); // turned down, still faster
  await tap(page, "pause", 0);
  const fasterFrames = (await lib.framesRun(page)) - f;
  await lib.waitMoreFrames(page, 20);
  await held.end();
  const w2 = await trailLength(page);
  const fasterKeys = await page.evaluate(() => fasterKeyEvents.join(","));
  check(fasterKeys === "keydown,keyup",
    `the faster button held by one finger stays down while the other taps (${fasterKeys})`);
  const normalRate = (w1 - w0) / normalFrames, fasterRate = (w2 - w1) / fasterFrames;
  console.log(`figure: the trail grew ${w1 - w0} pixels in ${normalFrames} frames, with the faster button ` +
    `held ${w2 - w1} pixels in ${fasterFrames} frames ` +
    `(${(fasterRate / Math.max(normalRate, 1e-9)).toFixed(1)} times as fast)`);
  check(w1 - w0 >= 5 && fasterRate >= 2 * normalRate,
    "the faster button held while turning makes the trail grow faster");
  // Paused: turning left twice faces the trail; lifting the pause runs into it.
  await tap(page, "left", 200);
  await tap(page, "left", 200);
  const trail = await trailPlaces(page);
  await tap(page, "pause", 0);
  check(await waitForNameEntry(page, trail), "the point runs into its trail and the game is over");
  await lib.waitMoreFrames(page, 10);
  // "A", then "C" ("AC"), then "D" ("ACD"); five to the left is '!', which deletes the "D";
  // one to the right is '#', which finishes the name.
  const entry = ["choose", "right", "right", "choose", "right", "choose",
    "left", "left", "left", "left", "left", "choose", "right", "choose"];
  for (const name of entry) await tap(page, name, 250);
  // The recording ends on the ranking's first frame.
  await lib.waitMoreFrames(page, 30);
  await page.evaluate(() => vortalixPage.stored());
  await page.reload({ waitUntil: "load" });
  await lib.waitForGame(page);
  const stored = await lib.readStored(page, lib.rankingFile);
  check(stored !== null && lib.rankName(stored, 0) === "AC",
    `after a reload the first rank is the name entered by touch (${stored && lib.rankName(stored, 0)})`);
  const older = stored === null ? [] : Array.from({ length: 9 }, (_, i) => lib.rankName(stored, i + 1));
  check(stored !== null && lib.rankName(stored, 0) === "AC" && older.every((n) => n === "ZERO"),
    `the nine older ranks follow it (${older.join(",")})`);

  const replays = await page.evaluate((dir) => {
    try { return FS.readdir(dir).filter((f) => f.endsWith(".vtr")); } catch (e) { return []; }
  }, lib.replayDir);
  check(replays.length === 1, `the game played by touch was recorded (${replays.length} replay files)`);
  if (replays.length === 1) {
    const file = path.join(opts.work, "touch-game.vtr");
    fs.writeFileSync(file, Buffer.from(await lib.readStored(page, lib.replayDir + replays[0])));
    const run = lib.runHeadless(opts, ["--verify", file, "--exe-dir", opts.data]);
    check(run.status === 0 && /name=AC/.test(run.stdout),
      `the touch game's replay verifies on the desktop (exit ${run.status}: ${(run.stdout + run.stderr).trim()})`);
  }
  check(lib.results.consoleLines.every((l) => !/KeyboardEvent|is not a function/.test(l)),
    "the page said nothing about the buttons' key events");
});
