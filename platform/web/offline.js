"use strict";
// The page as an app that still plays with the network gone: the service worker (sw.js)
// keeps every file of one build in the browser. A new build is fetched in the background at a
// visit and waits, whole, until no page of the old one is open; the next visit is all new.
(function () {
  if (!("serviceWorker" in navigator)) return;
  // Registered a while after the game runs and its music is in: the worker fetches every file
  // of the build at once, which would otherwise share the network, and a slow phone's
  // processor, with the page's own start and its first frames.
  const settleMs = 3000;
  window.addEventListener("vortalix-loaded", function () {
    setTimeout(register, settleMs);
  }, { once: true });
  function register() {
    navigator.serviceWorker.register("sw.js", { updateViaCache: "none" }).then(function (registration) {
      return registration.update().catch(function () { /* offline: the kept build it is */ });
    }).catch(function (e) {
      console.warn("vortalix: the page is not kept for offline play: " + e);
    });
  }
})();
