// The page served by a real scoreboard (vortalix-scores --site) at /play/, played in Debian's
// headless Chromium with real keys: the finished game is posted to the same origin, appears
// on the board, and its world rank is shown beside the game, below the canvas and never over
// it, with a link to the board; the board's "watch" link plays the game again in the page. The
// same page served by a plain static server finds no scoreboard and neither sends nor shows
// anything.
//
//   node scoreboard_test.js --site DIR --server FILE --data DIR --puppeteer DIR --work DIR
"use strict";

const { spawn } = require("child_process");
const fs = require("fs");
const path = require("path");

const { options, chromiumFlags, rankingFile } = require("./common.js");
const lib = require("./lib.js");

const opts = options(["site", "server", "data", "puppeteer", "work"]);
const puppeteer = require(opts.puppeteer);
const sleep = (ms) => new Promise((done) => setTimeout(done, ms));
let failures = 0;
function check(ok, what) {
  console.log((ok ? "ok     " : "FAILED ") + what);
  if (!ok) failures++;
}

// A program that says its port on its first lines; resolves with it and the process.
function start(command, args, pattern) {
  return new Promise((resolve, reject) => {
    const p = spawn(command, args, { stdio: ["ignore", "pipe", "pipe"] });
    let out = "";
    const look = (d) => {
      out += d;
      const m = pattern.exec(out);
      if (m) resolve({ p, url: "http://127.0.0.1:" + m[1] + "/" });
    };
    p.stdout.on("data", look);
    p.stderr.on("data", look);
    p.on("exit", (code) => reject(new Error(command + " ended (" + code + "): " + out)));
  });
}

async function open(page, url) {
  await page.goto(url, { waitUntil: "load" });
  await page.waitForFunction(() => window.vortalixPage && vortalixPage.stats.firstFrameMs !== null,
    { timeout: 30000 });
}

async function main() {
  fs.rmSync(opts.work, { recursive: true, force: true });
  fs.mkdirSync(opts.work, { recursive: true });
  const board = await start(opts.server, ["--db", path.join(opts.work, "scores.db"), "--port", "0",
    "--site", opts.site, "--data", opts.data], /127\.0\.0\.1:(\d+)\//);
  const plain = await start("python3", ["-u", "-m", "http.server", "--bind", "127.0.0.1", "-d",
    path.dirname(opts.site), "0"], /port (\d+)/);
  const browser = await puppeteer.launch({
    executablePath: "/usr/bin/chromium",
    headless: true,
    userDataDir: path.join(opts.work, "profile"),
    args: chromiumFlags,
  });
  try {
    const page = await browser.newPage();
    page.on("pageerror", (e) => { console.log("page error: " + e.message); failures++; });

    // --- served by a plain static server: no scoreboard behind the page ---
    const posts = [];
    page.on("request", (r) => { if (r.method() === "POST") posts.push(r.url()); });
    await open(page, plain.url + path.basename(opts.site) + "/");
    const there = await page.evaluate(() => vortalixScoreboard.board);
    check(there === false, "a page served without a scoreboard finds none");
    await page.evaluate(() => vortalixScoreboard.replayWritten("/vortalix/score.vtx", false));
    await sleep(500);
    check(posts.length === 0 && (await page.$("#scoreboard")) === null,
      "...and sends nothing and shows nothing");

    // --- served by the scoreboard at /play/ ---
    const url = board.url + "play/";
    await open(page, url);
    check(await page.evaluate(() => vortalixScoreboard.board), "the page at /play/ finds its scoreboard");
    // A ranking of ten zero scores, so that any score is ranked and ends with a name.
    await lib.writeStored(page, rankingFile, lib.zeroRanking());
    await open(page, url);
    await page.focus("canvas");
    const key = async (k, wait) => { await page.keyboard.press(k); await sleep(wait); };
    await key("F7", 300);
    await key("x", 6000);
    await key("F7", 700);
    await key("F7", 300);
    await key("z", 200);
    await key("z", 300);
    await key("F7", 5500);
    for (const k of ["x", "c", "x", "z", "z", "x"]) await key(k, 250);
    await page.waitForFunction(() => vortalixScoreboard.sent.count > 0, { timeout: 30000 })
      .catch(() => {});
    const sent = await page.evaluate(() => vortalixScoreboard.sent.last);
    check(sent !== null && sent.status === 201, `the finished game was posted (HTTP ${sent && sent.status})`);
    const scores = await (await fetch(board.url + "api/v1/scores?limit=10")).json();
    const entry = scores.entries.find((e) => e.name === "AB");
    check(entry !== undefined, `the game is on the board (${JSON.stringify(scores.entries)})`);
    const line = await page.$eval("#scoreboard", (e) => ({ text: e.textContent,
      link: e.querySelector("a") && e.querySelector("a").href,
      box: e.getBoundingClientRect().toJSON() })).catch(() => null);
    check(line !== null && entry !== undefined && line.text.includes("world rank " + entry.rank),
      `the page shows its world rank (${line && line.text})`);
    check(line !== null && line.link === board.url, `the board is a link away (${line && line.link})`);
    const canvas = await page.$eval("canvas", (c) => c.getBoundingClientRect().toJSON());
    const over = line !== null && line.box.top < canvas.bottom && line.box.bottom > canvas.top &&
      line.box.left < canvas.right && line.box.right > canvas.left;
    check(line !== null && !over, "the rank is shown beside the field, never over it");
    await page.screenshot({ path: path.join(opts.work, "scoreboard.png") });

    // --- the board's "watch" link opens the game in the page ---
    const boardHtml = await (await fetch(board.url)).text();
    const watch = entry === undefined ? null :
      new RegExp('href="(/play/\\?replay=/api/v1/replays/' + entry.id + '\\.vtr)"').exec(boardHtml);
    check(watch !== null, "the board has a watch link for the game");
    if (watch !== null) {
      const postsBefore = posts.length;
      await open(page, board.url + watch[1].slice(1));
      const over = await page.waitForFunction(() => vortalixPage.stats.replayOver === true,
        { timeout: 120000, polling: 100 }).then(() => true, () => false);
      const watching = await page.evaluate(() => vortalixPage.stats.watching);
      check(over && Boolean(watching), `the watch link plays the game in the page to its end (${watching})`);
      check(posts.length === postsBefore, "a watched game is not sent again");
    }
  } finally {
    await browser.close();
    board.p.kill();
    plain.p.kill();
  }
  console.log(failures === 0 ? "scoreboard page: all checks passed" : `scoreboard page: ${failures} failed`);
  process.exit(failures === 0 ? 0 : 1);
}

main().catch((e) => { console.log("FAILED " + e.stack); process.exit(1); });
