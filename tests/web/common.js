// What every browser test shares: its options, python3's static web server on 127.0.0.1,
// Chromium's flags, pictures from the canvas and from the desktop's headless runner, and the
// page's stored files.
"use strict";

const { spawn } = require("child_process");
const fs = require("fs");
const path = require("path");

const settingsFile = "/home/web_user/.config/vortalix/VORTALIX.ini";
const rankingFile = "/home/web_user/.local/share/vortalix/score.vtx";
const replayDir = "/home/web_user/.config/vortalix/replays/";

// --name value pairs; each of `needed` must be there and is made absolute.
function options(needed) {
  const opts = {};
  for (let i = 2; i + 1 < process.argv.length; i += 2) opts[process.argv[i].slice(2)] = process.argv[i + 1];
  for (const need of needed) {
    if (!opts[need]) throw new Error("missing --" + need);
    opts[need] = path.resolve(opts[need]);
  }
  return opts;
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

// Debian's headless Chromium, quiet: nothing of its own goes to the network.
const chromiumFlags = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
  "--disable-background-networking", "--disable-component-update", "--disable-sync"];

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

// A file of the page's stored folder, as bytes; null when there is none.
async function readStored(page, file) {
  return page.evaluate((f) => {
    try { return Array.from(FS.readFile(f)); } catch (e) { return null; }
  }, file);
}

// The name at `rank` (0 the best) of a ranking file's bytes.
function rankName(bytes, rank) {
  const at = rank * 267 + 256;
  return Buffer.from(bytes.slice(at + 1, at + 1 + Math.min(bytes[at], 10))).toString("latin1");
}

module.exports = {
  settingsFile, rankingFile, replayDir, options, serve, chromiumFlags, readBmp, canvasPixels,
  differingPixels, readStored, rankName,
};
