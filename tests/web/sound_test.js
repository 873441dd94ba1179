// The browser build's sound, listened to: before the page loads, every AudioContext it makes
// gets an AnalyserNode in front of its destination, and the page's output level is read from
// it every 20 ms together with the game's frame number. What it checks:
//   - no sound before the player's first key (the browser's rule), and the music the start
//     key begins is heard once it is pressed; on a phone the same with a touch on the start
//     button;
//   - in a scripted game with the music off, an item pickup, at the frame where the desktop's
//     headless runner first scores, raises the level from silence;
//   - the same game with the effects (F4) and the music (F5) off stays silent throughout.
//
//   node sound_test.js --site DIR --data DIR --headless FILE --puppeteer DIR --work DIR
"use strict";

const fs = require("fs");
const path = require("path");
const lib = require("./lib.js");
const { check, sleep } = lib;

// In the page, before any of its scripts: the tap, and the level samples.
function tapOutput() {
  const Real = window.AudioContext;
  const destination = Object.getOwnPropertyDescriptor(BaseAudioContext.prototype, "destination").get;
  const tap = { contexts: [] };
  window.vortalixTap = tap;
  window.AudioContext = class extends Real {
    constructor(...args) {
      super(...args);
      this.tapNode = this.createAnalyser();
      this.tapNode.fftSize = 2048;
      this.tapNode.connect(destination.call(this));
      tap.contexts.push(this);
    }
    get destination() { return this.tapNode; }
  };
  const buffer = new Float32Array(2048);
  setInterval(() => {
    let rms = 0;
    for (const c of tap.contexts) {
      c.tapNode.getFloatTimeDomainData(buffer);
      let sum = 0;
      for (const v of buffer) sum += v * v;
      rms = Math.max(rms, Math.sqrt(sum / buffer.length));
    }
    const page = window.vortalixPage;
    const frame = page ? page.stats.frameStarts.length : 0;
    // Handed out on the console: asking the page for them, or a binding, would count as a
    // gesture that lets the sound start.
    console.log("vortalix-tap " + JSON.stringify({ frame, rms,
      state: tap.contexts.length ? tap.contexts[0].state : "none" }));
  }, 20);
}

// The samples the page being listened to reported since the last call.
const reported = [];
let listened = null;
function samples() {
  return reported.splice(0);
}
function listenTo(page) {
  listened = page;
  page.on("console", (m) => {
    const text = m.text();
    if (listened === page && text.startsWith("vortalix-tap ") && reported.length < 100000) {
      reported.push(JSON.parse(text.slice(13)));
    }
  });
}

function loudest(list, from, to) {
  let max = 0;
  for (const s of list) if (s.frame >= from && s.frame <= to) max = Math.max(max, s.rms);
  return max;
}

// The desktop's headless runner, run for `frames`: mode and score at its end.
function outcome(opts, script, frames) {
  const dir = path.join(opts.work, "search");
  fs.mkdirSync(dir, { recursive: true });
  fs.copyFileSync(path.join(opts.data, "score.vtx"), path.join(dir, "score.vtx"));
  const args = ["--exe-dir", opts.data, "--seed", String(script.seed), "--frames", String(frames)];
  for (const k of script.keys) args.push("--key", k);
  const line = lib.runHeadless(opts, args, dir).stdout;
  const m = /mode=(\d+) score=(\S*)/.exec(line);
  if (!m) throw new Error("headless runner said: " + line);
  return { mode: Number(m[1]), scored: m[2] !== "0" && m[2] !== "" };
}

// The first frame count at which test(outcome) holds, up to `last`, or null.
function firstFrame(opts, script, last, test) {
  if (!test(outcome(opts, script, last))) return null;
  let lo = 1, hi = last;
  while (lo < hi) {
    const mid = (lo + hi) >> 1;
    if (test(outcome(opts, script, mid))) hi = mid; else lo = mid + 1;
  }
  return lo;
}

lib.run("sound", 6, async ({ opts, browser, url }) => {
  const page = await browser.newPage();
  lib.watch(page);
  listenTo(page);
  await page.evaluateOnNewDocument(tapOutput);

  // --- the first key starts the sound; the music of a game is heard ---
  // Nothing is evaluated in the page before the key: puppeteer runs what it evaluates as if
  // the user had acted, which would let the sound start.
  await page.goto(url, { waitUntil: "load" });
  for (let i = 0; i < 300 && !reported.some((r) => r.frame > 0); i++) await sleep(100);
  samples();
  await sleep(1500); // the title's opening, with its effect
  const beforeKey = samples();
  const stateBefore = beforeKey.length ? beforeKey[beforeKey.length - 1].state : "none";
  const loudBefore = loudest(beforeKey, 0, Infinity);
  check(loudBefore === 0, `nothing is heard before the first key (the audio is ${stateBefore}, ` +
    `level ${loudBefore.toFixed(4)})`);
  await page.keyboard.press("x"); // the start key: the count-down and the game's music
  await sleep(2500);
  const music = samples();
  const stateAfter = music.length ? music[music.length - 1].state : "none";
  const musicLevel = loudest(music, 0, Infinity);
  console.log(`figure: the audio is ${stateBefore} before the first key, ${stateAfter} after it; ` +
    `the music's level (RMS, loudest 46 ms) ${musicLevel.toFixed(3)}`);
  check(stateAfter === "running", `the first key starts the audio (${stateAfter})`);
  check(musicLevel > 0.01, `the music started from the title is heard (level ${musicLevel.toFixed(3)})`);

  // --- on a phone, the first touch starts it ---
  // Where the start button is, asked of another page, since asking counts as a gesture.
  const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };
  const measure = await browser.newPage();
  await measure.setViewport(phone);
  await lib.open(measure, url);
  const button = await measure.$eval('#touch button[data-key="choose"]', (b) => {
    const r = b.getBoundingClientRect();
    return { x: r.left + r.width / 2, y: r.top + r.height / 2 };
  });
  await measure.close();
  const touched = await browser.newPage();
  lib.watch(touched);
  listenTo(touched);
  await touched.setViewport(phone);
  await touched.evaluateOnNewDocument(tapOutput);
  await touched.goto(url, { waitUntil: "load" });
  samples();
  for (let i = 0; i < 300 && !reported.some((r) => r.frame > 0); i++) await sleep(100);
  await sleep(1500);
  const beforeTouch = samples();
  await touched.touchscreen.tap(button.x, button.y);
  await sleep(2500);
  const afterTouch = samples();
  const touchLevel = loudest(afterTouch, 0, Infinity);
  // The audio device opens at the first touch, so before it there is no running output at all.
  check(loudest(beforeTouch, 0, Infinity) === 0 && !beforeTouch.some((r) => r.state === "running") &&
    afterTouch.length > 0 && afterTouch[afterTouch.length - 1].state === "running" && touchLevel > 0.01,
    `on a phone, silent until the first touch, which starts the audio and the game's music ` +
    `(level ${touchLevel.toFixed(3)})`);
  await touched.close();
  listened = page;

  // --- a pickup, with the music off ---
  // A seed whose game, run straight on, picks up its first item well after play has begun
  // (the count-down's own effect then long over): found with the desktop's runner.
  let found = null;
  for (let seed = 1; seed <= 40 && found === null; seed++) {
    const script = { seed, keys: ["1:f5", "2:x"] };
    const play = firstFrame(opts, script, 1500, (o) => o.mode >= 2);
    const pickup = play === null ? null : firstFrame(opts, script, 1500, (o) => o.scored);
    if (pickup !== null && pickup - play >= 120) found = { script, play, pickup };
  }
  check(found !== null, "the desktop's runner finds a game with a pickup to listen to");
  if (found === null) return;
  const { script, play, pickup } = found;
  const listen = async (keys) => {
    samples();
    await lib.scriptedRun(page, url, {
      seed: script.seed, frames: pickup + 60, keys,
      // What the previous page said is dropped: it may have been playing.
      whileLoading: async () => {
        samples();
        await lib.waitForGame(page);
        await page.keyboard.press("Shift");
      },
    });
    await sleep(200); // the last reports on their way
    return samples();
  };
  const effects = await listen(script.keys);
  const quiet = loudest(effects, pickup - 60, pickup - 3);
  const picked = loudest(effects, pickup, pickup + 30);
  console.log(`figure: seed ${script.seed}, play from frame ${play}, the first pickup at frame ${pickup}: ` +
    `level ${quiet.toFixed(4)} before it, ${picked.toFixed(3)} after`);
  check(effects.some((s) => s.state === "running"), "the scripted game's audio runs");
  check(picked > 0.01 && picked > 4 * quiet, "the item pickup raises the level");

  // --- the same game with effects and music off ---
  const silent = await listen(["1:f4", "1:f5", "2:x"]);
  const most = loudest(silent, 0, Infinity);
  check(silent.some((s) => s.state === "running") && most === 0,
    `with F4 and F5 off the running output stays silent (loudest ${most})`);
});
