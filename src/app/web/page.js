// The page's side of the web shell: where the program draws, and what the page shows when it
// cannot load. The shell itself sets window.vortalux and the page's state once it runs.
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
