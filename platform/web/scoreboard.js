"use strict";
// The page's side of the scoreboard. When the page is served by a scoreboard server (at
// /play/, the board's API one folder up), every finished game's replay file is posted to it,
// and the world rank it answers is shown in a line at the foot of the page, below the game,
// with a link to the board. A page served by anything else finds no board and stays silent:
// nothing is sent and nothing is shown.
(function () {
  const api = new URL("../api/v1/", location.href);
  const boardPage = new URL("../", location.href);

  // Whether a scoreboard answers beside the page, asked once.
  const board = fetch(new URL("scores?limit=1", api), { cache: "no-store" })
    .then(function (r) {
      if (!r.ok) return false;
      return r.json().then(function (j) {
        return j !== null && typeof j === "object" && Array.isArray(j.entries);
      });
    })
    .catch(function () { return false; });

  let line = null;
  function show(text) {
    if (line === null) {
      line = document.createElement("div");
      line.id = "scoreboard";
      // Fixed at the foot of the page: the canvas is laid out to leave that room free, so the
      // line is never drawn over the field.
      line.style.cssText = "position: fixed; left: 0; right: 0; bottom: 0; height: 20px; " +
        "font: 13px/20px sans-serif; text-align: center; color: #ccc; white-space: nowrap; " +
        "overflow: hidden; text-overflow: ellipsis;";
      document.body.appendChild(line);
    }
    line.textContent = text + " ";
    const a = document.createElement("a");
    a.href = boardPage.href;
    a.textContent = "ランキング (scoreboard)";
    a.style.color = "#8cf";
    line.appendChild(a);
  }

  // The scoreboard's answer in one line for the player.
  function describe(status, answer) {
    if ((status === 200 || status === 201) && answer && Number.isInteger(answer.rank))
      return "世界順位 " + answer.rank + "位 (world rank " + answer.rank + ")";
    if (status >= 200 && status < 300) return "送信しました (sent)";
    const why = answer && typeof answer.error === "string" ? answer.error.slice(0, 120) : "";
    return "送信できません (not accepted" + (why ? ": " + why : ", HTTP " + status) + ")";
  }

  const sent = { count: 0, last: null };
  function replayWritten(path, abandoned) {
    // The board takes only games that ended with the ranking.
    if (abandoned) return;
    let bytes;
    try {
      bytes = FS.readFile(path);
    } catch (e) {
      return;
    }
    board.then(function (there) {
      if (!there) return;
      return fetch(new URL("replays", api), {
        method: "POST",
        headers: { "Content-Type": "application/octet-stream" },
        body: bytes,
      }).then(function (r) {
        return r.text().then(function (text) {
          let answer = null;
          try { answer = JSON.parse(text); } catch (e) { answer = null; }
          sent.count += 1;
          sent.last = { status: r.status, answer: answer };
          show(describe(r.status, answer));
        });
      }).catch(function (e) {
        sent.last = { status: 0, answer: null };
        show("送信できません (not sent: " + e + ")");
      });
    });
  }

  window.vortalixScoreboard = { replayWritten: replayWritten, board: board, sent: sent };
})();
