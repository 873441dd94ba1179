"use strict";
// Watching a recorded game in the page: index.html?replay=URL (a file on this site, as the
// scoreboard links it), or a .vtr file dropped on the page or picked with the button under the
// canvas. The game plays it as `vortalix --replay` does: F7 pauses, Tab held plays four times
// as fast, Esc ends. Anything that cannot be watched is said in one line on the page, and the
// game goes on as before.
//
// It runs after the page's own script, whose Module and vortalixPage it adds to.
(function () {
  const page = window.vortalixPage;
  const note = document.getElementById("note");
  // The game refuses larger replays itself; the page does not even fetch them.
  const maxReplayBytes = 64 * 1024 * 1024;
  // A replay that has not arrived after this long is given up, not waited for.
  const fetchTimeoutMs = 20000;
  const folder = "/tmp/watch/";

  function say(text) {
    page.showMessage("リプレイ (replay)", text);
  }

  // The name as the player knows it; the page's copy gets a plain one.
  function plainName(name) {
    return name.replace(/[^A-Za-z0-9._-]/g, "_").replace(/^\.+/, "_").slice(0, 100) || "replay.vtr";
  }

  function keep(name, bytes) {
    FS.mkdirTree(folder);
    const path = folder + plainName(name);
    FS.writeFile(path, bytes);
    return path;
  }

  // Reads a response's body, refusing it once it is larger than a replay can be.
  async function boundedBody(response) {
    const length = Number(response.headers.get("Content-Length"));
    if (length > maxReplayBytes) throw new Error("too large for a replay");
    const reader = response.body.getReader();
    const parts = [];
    let total = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      total += value.length;
      if (total > maxReplayBytes) {
        reader.cancel();
        throw new Error("too large for a replay");
      }
      parts.push(value);
    }
    const bytes = new Uint8Array(total);
    let at = 0;
    for (const p of parts) { bytes.set(p, at); at += p.length; }
    return bytes;
  }

  async function fetchReplay(address) {
    let url;
    try {
      url = new URL(address, location.href);
    } catch (e) {
      throw new Error(address + ": not an address");
    }
    // Only this site's replays: a link must not make the page fetch from elsewhere.
    if (url.origin !== location.origin) throw new Error(address + ": not on this site");
    let name = url.pathname.split("/").pop() || "replay.vtr";
    try {
      name = decodeURIComponent(name);
    } catch (e) {
      // The name stays as it was written.
    }
    const abort = new AbortController();
    const timer = setTimeout(function () { abort.abort(); }, fetchTimeoutMs);
    try {
      const response = await fetch(url, { signal: abort.signal, credentials: "same-origin" });
      if (!response.ok) throw new Error(response.status + " " + response.statusText);
      return { name: name, bytes: await boundedBody(response) };
    } catch (e) {
      throw new Error(name + ": " + (e.name === "AbortError" ? "no answer" : e.message));
    } finally {
      clearTimeout(timer);
    }
  }

  // ?replay=URL: the replay is fetched before the game starts, and the game starts watching
  // it; one that cannot be fetched leaves the game to start as usual.
  const address = new URLSearchParams(location.search).get("replay");
  if (address !== null) {
    Module.preRun.push(function () {
      addRunDependency("vortalix-replay");
      note.textContent = "リプレイを読み込み中… (loading the replay)";
      fetchReplay(address).then(function (r) {
        Module.arguments.splice(0, Module.arguments.length, "--replay", keep(r.name, r.bytes), r.name);
      }, function (e) {
        say(e.message);
      }).finally(function () {
        removeRunDependency("vortalix-replay");
      });
    });
  }

  // A dropped or picked file is handed to the running program.
  async function watchFile(file) {
    if (!file) return;
    if (file.size > maxReplayBytes) {
      say(file.name + ": too large for a replay");
      return;
    }
    let path;
    try {
      path = keep(file.name, new Uint8Array(await file.arrayBuffer()));
    } catch (e) {
      say(file.name + ": " + e);
      return;
    }
    document.getElementById("message").style.display = "none";
    Module.ccall("vortalix_watch", null, ["string", "string"], [path, file.name]);
  }

  window.addEventListener("dragover", function (e) { e.preventDefault(); });
  window.addEventListener("drop", function (e) {
    e.preventDefault();
    watchFile(e.dataTransfer && e.dataTransfer.files[0]);
  });

  // The picker and the line that names the replay being watched are in the page from the
  // start, so that the canvas is laid out once with their room taken.
  const input = document.querySelector("#watch input");
  input.addEventListener("change", function () {
    watchFile(input.files && input.files[0]);
    input.value = "";
  });
  const watching = document.getElementById("watching");

  page.watching = function (name) {
    page.stats.watching = name;
    page.stats.replayOver = false;
    watching.textContent = "▶ " + name + " — F7: pause, Tab: ×4, Esc: end";
  };
  page.replayOver = function () {
    page.stats.replayOver = true;
  };
})();
