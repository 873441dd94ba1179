"use strict";
// Below the canvas: on a touch screen the game's keys as buttons, on a desktop one line that
// names them. A button gives the game the same key events as the keyboard's key, so the game
// cannot tell them apart: a press is a keydown, a release a keyup, and the faster button may be
// held with one finger while the other turns (the game polls it as it polls the key).
(function () {
  // What each button stands for: the key the keyboard would send.
  const keys = {
    left: { key: "z", code: "KeyZ", keyCode: 90 },
    right: { key: "c", code: "KeyC", keyCode: 67 },
    choose: { key: "x", code: "KeyX", keyCode: 88 },
    faster: { key: "s", code: "KeyS", keyCode: 83 },
    picture: { key: "F2", code: "F2", keyCode: 113 },
    ranking: { key: "F3", code: "F3", keyCode: 114 },
    effects: { key: "F4", code: "F4", keyCode: 115 },
    music: { key: "F5", code: "F5", keyCode: 116 },
    backdrop: { key: "F6", code: "F6", keyCode: 117 },
    pause: { key: "F7", code: "F7", keyCode: 118 },
  };
  // Rows of buttons: the switches above, then the play keys for two thumbs, turning on the
  // left and choosing and speeding up on the right.
  const rows = [
    ["small", [["pause", "ポーズ", "ポーズ (pause)"], ["ranking", "順位", "ランキング (ranking)"],
      ["effects", "効果音", "効果音 on/off (sound effects)"], ["music", "音楽", "音楽 on/off (music)"],
      ["backdrop", "背景", "背景 on/off (background picture)"],
      ["picture", "画像…", "背景画像 (choose a background picture)"]]],
    ["big", [["left", "◀", "左 (turn left)"], ["right", "▶", "右 (turn right)"], null,
      ["faster", "加速", "加速 (faster)"], ["choose", "X", "X 決定 (start, choose)"]]],
  ];

  function send(type, name) {
    const k = keys[name];
    const event = new KeyboardEvent(type, { key: k.key, code: k.code, keyCode: k.keyCode,
      which: k.keyCode, bubbles: true, cancelable: true });
    // Older engines leave the legacy code at 0 whatever the dictionary says.
    if (event.keyCode !== k.keyCode) {
      Object.defineProperty(event, "keyCode", { value: k.keyCode });
      Object.defineProperty(event, "which", { value: k.keyCode });
    }
    window.dispatchEvent(event);
  }

  // Browsers let sound start only after a gesture; a touch counts when it ends.
  function resumeAudio() {
    const sdl = window.Module && Module.SDL2;
    if (sdl && sdl.audioContext && sdl.audioContext.state === "suspended") sdl.audioContext.resume();
  }

  function makeButton(name, label, title) {
    const button = document.createElement("button");
    button.type = "button";
    button.textContent = label;
    button.title = title;
    button.setAttribute("aria-label", title);
    button.dataset.key = name;
    // Each finger on the button; the key is up when the last one leaves.
    const fingers = new Set();
    function press(e) {
      e.preventDefault();
      if (fingers.size === 0) {
        button.classList.add("down");
        send("keydown", name);
      }
      fingers.add(e.pointerId);
      try { button.setPointerCapture(e.pointerId); } catch (err) { /* already gone */ }
    }
    function release(e) {
      e.preventDefault();
      if (!fingers.delete(e.pointerId)) return;
      if (fingers.size === 0) {
        button.classList.remove("down");
        send("keyup", name);
      }
      resumeAudio();
    }
    button.addEventListener("pointerdown", press);
    button.addEventListener("pointerup", release);
    button.addEventListener("pointercancel", release);
    button.addEventListener("lostpointercapture", release);
    // No long-press menu, no mouse events made up from the touches, no focus taken from the
    // canvas, which keeps the keyboard's keys going to the game.
    button.addEventListener("contextmenu", function (e) { e.preventDefault(); });
    button.addEventListener("touchstart", function (e) { e.preventDefault(); }, { passive: false });
    button.addEventListener("mousedown", function (e) { e.preventDefault(); });
    return button;
  }

  // The panel and the keys line are in the page from the start, with their room taken, so
  // that the canvas is laid out once and never moves when this fills them.
  const panel = document.getElementById("touch");
  for (const [size, buttons] of rows) {
    const row = document.createElement("div");
    row.className = "row " + size;
    for (const b of buttons) {
      if (b === null) {
        const gap = document.createElement("span");
        gap.className = "gap";
        row.appendChild(gap);
      } else {
        row.appendChild(makeButton(b[0], b[1], b[2]));
      }
    }
    panel.appendChild(row);
  }

  function showControls() {
    if (document.body.classList.contains("touch")) return;
    document.body.classList.add("touch");
    window.dispatchEvent(new Event("resize")); // the canvas makes room for them
  }
  // The page after the game has ended asks for a key; a tap does as well.
  const ended = document.getElementById("ended");
  if (ended) ended.addEventListener("pointerup", function () { location.reload(); });

  // A touch screen shows its controls from the start (the page's own script has already
  // said so before laying the canvas out); one that only reveals itself by a touch (a
  // laptop's) shows them at its first touch.
  window.addEventListener("touchstart", showControls, { passive: true });
})();
