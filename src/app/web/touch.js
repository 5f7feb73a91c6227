// The touch controls: each finger holds the key of the control under it (data-key), its hold
// moves when it slides onto another control, and lifting it lets go of its own hold only. What
// all fingers hold together reaches the shell's key table as the touch source. While the demo
// runs (or waits for a lost context) the page takes every touch for itself: no scrolling,
// zooming, selecting, or clicks made up from taps. Before and after, touches are the browser's:
// a pinch zooms the page (style.css allows it there), and a tap becomes the click that starts
// the demo, which a pinch or a pan never does. A page still zoomed in while the demo runs (no full
// screen to take it back to its scale) lets the browser have its touches until it is zoomed out.
"use strict";
(function () {
  const fingers = new Map();  // touch identifier -> the key it holds, or null
  const controls = document.querySelectorAll("#touch [data-key]");

  function driving() {
    const state = document.body.dataset.state;
    return (state === "running" || state === "lost") &&
      !document.body.classList.contains("zoomed");
  }
  const view = window.visualViewport;
  if (view) {
    view.addEventListener("resize", function () {
      document.body.classList.toggle("zoomed", view.scale > 1.01);
    });
  }

  function keyAt(x, y) {
    const element = document.elementFromPoint(x, y);
    const control = element && element.closest("#touch [data-key]");
    return control ? control.dataset.key : null;
  }

  function report() {
    const held = new Set(fingers.values());
    for (const control of controls) control.classList.toggle("held", held.has(control.dataset.key));
    if (Module.ready) {
      Module._vortalux_touch_keys(held.has("up"), held.has("left"), held.has("right"));
    }
  }

  function onTouch(event) {
    document.body.classList.add("touch");
    const lifted = event.type === "touchend" || event.type === "touchcancel";
    for (const touch of event.changedTouches) {
      if (lifted) fingers.delete(touch.identifier);
      else fingers.set(touch.identifier, keyAt(touch.clientX, touch.clientY));
    }
    report();
    if (event.cancelable && driving()) event.preventDefault();
  }
  for (const type of ["touchstart", "touchmove", "touchend", "touchcancel"]) {
    document.addEventListener(type, onTouch, {passive: false});
  }

  // The shell lets go of every key when the page loses the focus or is hidden; so do the fingers.
  function releaseAll() {
    fingers.clear();
    report();
  }
  window.addEventListener("blur", releaseAll);
  document.addEventListener("visibilitychange", function () {
    if (document.hidden) releaseAll();
  });
})();
