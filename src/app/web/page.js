// The page's side of the web shell: where the program draws, what the page shows when it cannot
// load, Escape kept for the demo in full screen, and the service worker that keeps the site for
// visits with no network. The shell itself sets window.vortalux and the page's state once it runs.
"use strict";
function vortaluxFailed() {
  window.vortalux = Object.assign(window.vortalux || {passes: 0, steps: "", firstFrameMs: null},
                                  {state: "error"});
  document.body.dataset.state = "error";
}
var Module = {
  canvas: document.getElementById("canvas"),
  onAbort: vortaluxFailed,
};
window.addEventListener("error", function (event) {
  if (event.target && event.target.tagName === "SCRIPT") vortaluxFailed();
}, true);

// In full screen the browser takes the first Escape to leave it. Where the Keyboard Lock API is,
// Escape is locked while the page is in full screen, so that one press ends the demo (a long
// press still leaves full screen); elsewhere the first press only leaves full screen.
document.addEventListener("fullscreenchange", function () {
  const keyboard = navigator.keyboard;
  if (!keyboard || typeof keyboard.lock !== "function") return;
  if (document.fullscreenElement) {
    keyboard.lock(["Escape"]).catch(function () {});
  } else {
    keyboard.unlock();
  }
});

// The benchmark's pages ("?drive", "?floor") measure the drawing alone, not the worker's first
// install. The worker installs once the demo has loaded, so that its copies of the files come
// from the browser's cache and not over the network a second time, racing the page's own.
var vortaluxQuery = new URLSearchParams(location.search);
if ("serviceWorker" in navigator && location.protocol !== "file:" &&
    !vortaluxQuery.has("drive") && !vortaluxQuery.has("floor")) {
  Module.postRun = function () {
    navigator.serviceWorker.register("service-worker.js").catch(function () {});
  };
}
