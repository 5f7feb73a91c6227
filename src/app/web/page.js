// The page's side of the web shell: where the program draws and at what size, what the page shows
// when it cannot load, Escape kept for the demo in full screen, and the service worker that keeps
// the site for visits with no network. The shell itself sets window.vortalux and the page's state
// once it runs.
"use strict";
function vortaluxFailed() {
  window.vortalux = Object.assign(window.vortalux || {passes: 0, firstFrameMs: null},
                                  {state: "error"});
  document.body.dataset.state = "error";
}
var vortaluxQuery = new URLSearchParams(location.search);
// Module.ready: the shell's exported functions can be called (their stubs exist before that); the
// runtime sets it through onRuntimeInitialized, below.
var Module = {
  canvas: document.getElementById("canvas"),
  onAbort: vortaluxFailed,
  ready: false,
};
// A script that cannot be fetched fails the page; so does an error thrown by the demo's script
// before its runtime runs, such as its pictures' package not fetched (the loader throws from its
// request's callback, and nothing else would ever move the page on from "Loading").
window.addEventListener("error", function (event) {
  const script = event.target && event.target.tagName === "SCRIPT";
  const loading = !Module.ready && /\/vortalux\.js$/.test(event.filename || "");
  if (script || loading) vortaluxFailed();
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

// The drawing buffer's size, which the shell takes through vortalux_canvas_size (it keeps within
// what the context can draw into and shows the buffer scaled to fit, its aspect kept). By default
// it is the canvas's own device pixels, the whole page, followed through every resize, rotation,
// full-screen change and change of pixel density: the ResizeObserver's device-pixel box where the
// browser has one, otherwise the CSS size times devicePixelRatio, watched for density changes too.
// The shell keeps a fixed buffer instead where the address asks for one ("?size=WxH", and the
// timedemo's 1024x768).
(function () {
  const canvas = Module.canvas;
  let size = null;
  function tell(width, height) {
    if (size && size[0] === width && size[1] === height) return;
    size = [width, height];
    if (Module.ready) Module._vortalux_canvas_size(width, height);
  }
  Module.onRuntimeInitialized = function () {
    Module.ready = true;
    if (size) Module._vortalux_canvas_size(size[0], size[1]);
  };


  const devicePixels = typeof ResizeObserverEntry === "function" &&
    "devicePixelContentBoxSize" in ResizeObserverEntry.prototype;
  function cssTimesRatio() {
    const box = canvas.getBoundingClientRect();
    tell(Math.round(box.width * devicePixelRatio), Math.round(box.height * devicePixelRatio));
  }
  new ResizeObserver(function (entries) {
    const box = devicePixels && entries[entries.length - 1].devicePixelContentBoxSize[0];
    if (box) tell(box.inlineSize, box.blockSize);
    else cssTimesRatio();
  }).observe(canvas, devicePixels ? {box: "device-pixel-content-box"} : {});
  if (devicePixels) return;
  (function watchDensity() {
    matchMedia("(resolution: " + devicePixelRatio + "dppx)").addEventListener("change",
      function () {
        cssTimesRatio();
        watchDensity();
      }, {once: true});
  })();
})();

// The timedemo measures the drawing alone, not the worker's first install. The worker installs
// once the demo has loaded, so that its copies of the files come from the browser's cache and not
// over the network a second time, racing the page's own.
if ("serviceWorker" in navigator && location.protocol !== "file:" &&
    !vortaluxQuery.has("timedemo")) {
  Module.postRun = function () {
    navigator.serviceWorker.register("service-worker.js").catch(function () {});
  };
}
