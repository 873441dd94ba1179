"use strict";
// Fetches the game's files for the page, in a worker of its own: taking a megabyte-sized
// answer in, and compiling the game's WebAssembly, cost the thread that does it tens of
// milliseconds each on a slow phone, and the page's thread is the one the player's keys and
// the game's frames need. What arrives is handed over to the page, not copied:
//   { wasm: WebAssembly.Module }, { data: ArrayBuffer } (the packed data files), then, once
//   the page asks with "music", { pieces: [[name, ArrayBuffer], ...] } (the rendered music);
//   { error: text, what: "game" or "music" } when something cannot be had.

async function compileGame() {
  const r = await fetch("vortalix.wasm");
  if (!r.ok) throw new Error("vortalix.wasm: HTTP " + r.status);
  // Compiled as it streams in where the server names the type; a server that does not gets
  // the slower way.
  if (WebAssembly.compileStreaming && (r.headers.get("Content-Type") || "").startsWith("application/wasm")) {
    return WebAssembly.compileStreaming(r);
  }
  return WebAssembly.compile(await r.arrayBuffer());
}

async function fetchData() {
  const r = await fetch("vortalix.data");
  if (!r.ok) throw new Error("vortalix.data: HTTP " + r.status);
  return r.arrayBuffer();
}

async function fetchMusic() {
  const r = await fetch("music/list.json");
  if (!r.ok) throw new Error("music/list.json: HTTP " + r.status);
  const names = await r.json();
  if (!Array.isArray(names)) throw new Error("music/list.json: not a list");
  return Promise.all(names.map(async function (name) {
    // The names become file names in the game's folder.
    if (typeof name !== "string" || !/^[A-Za-z0-9_-]+\.ogg$/.test(name)) {
      throw new Error("music/list.json: " + name);
    }
    const piece = await fetch("music/" + name);
    if (!piece.ok) throw new Error("music/" + name + ": HTTP " + piece.status);
    return [name, await piece.arrayBuffer()];
  }));
}

function failed(what) {
  return function (e) { self.postMessage({ error: String(e && e.message || e), what: what }); };
}

compileGame().then(function (module) { self.postMessage({ wasm: module }); }, failed("game"));
fetchData().then(function (data) { self.postMessage({ data: data }, [data]); }, failed("game"));

self.onmessage = function (e) {
  if (e.data !== "music") return;
  fetchMusic().then(function (pieces) {
    self.postMessage({ pieces: pieces }, pieces.map(function (p) { return p[1]; }));
  }, failed("music"));
};
