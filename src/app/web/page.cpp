// The page's hooks; see page.h. The JavaScript of each is here, beside its C++ door.
#include "app/web/page.h"

#include <emscripten.h>

namespace {

// clang-format off
EM_JS(void, JsBegin, (), {
  const v = window.vortalux = window.vortalux || {};
  Object.assign(v, {passes: 0, firstFrameMs: null, timedemo: null});
  Object.defineProperty(v, "steps", {
    configurable: true,
    enumerable: true,
    get: function () { return UTF8ToString(Module._vortalux_journal()); },
  });
});

EM_JS(void, JsSetState, (const char* state, const char* detail), {
  const v = window.vortalux;
  v.state = UTF8ToString(state);
  document.body.dataset.state = v.state;
  if (!detail) return;
  const text = UTF8ToString(detail);
  for (const blank of document.querySelectorAll("#message .detail")) blank.textContent = text;
});

EM_JS(void, JsCountPass, (), {
  const v = window.vortalux;
  v.passes++;
  if (v.firstFrameMs === null) v.firstFrameMs = performance.now();
});

EM_JS(void, JsNote, (const char* text), {
  const note = UTF8ToString(text);
  document.getElementById("note").textContent = note;
  console.error(note);
});

EM_JS(void, JsConsoleError, (const char* text), { console.error(UTF8ToString(text)); });

EM_JS(void, JsSetTimedemo, (int frames, double seconds, double fps, double medianMs,
                            double p99Ms, double maxMs, double displayMs), {
  window.vortalux.timedemo = {frames: frames, seconds: seconds, fps: fps, medianMs: medianMs,
                              p99Ms: p99Ms, maxMs: maxMs, displayMs: displayMs,
                              measured: displayMs > 0 ? "display" : "uncapped"};
  const ms = (value) => value.toFixed(2) + " ms";
  const text = "timedemo: " + frames + " frames in " + seconds.toFixed(2) + " s, " +
    fps.toFixed(1) + " frames/s; frame time median " + ms(medianMs) + ", 99th percentile " +
    ms(p99Ms) + ", max " + ms(maxMs) + (displayMs > 0 ? " (held to the display's " +
    (1000 / displayMs).toFixed(0) + " Hz: a browser started uncapped shows what it can draw)" :
    " (uncapped: what this browser can draw)");
  for (const blank of document.querySelectorAll("#message .detail")) blank.textContent = text;
});

// location.search into buffer (size bytes); returns the bytes it needs.
EM_JS(int, JsQuery, (char* buffer, int size), {
  stringToUTF8(location.search, buffer, size);
  return lengthBytesUTF8(location.search) + 1;
});

EM_JS(void, JsLoseContext, (), {
  const lose = GLctx && GLctx.getExtension("WEBGL_lose_context");
  if (lose) lose.loseContext();
});
// clang-format on

}  // namespace

void PageBegin() {
  JsBegin();
}

void PageSetState(const char* state, const char* detail) {
  JsSetState(state, detail);
}

void PageCountPass() {
  JsCountPass();
}

void PageNote(const std::string& text) {
  JsNote(text.c_str());
}

void PageConsoleError(const std::string& text) {
  JsConsoleError(text.c_str());
}

void PageSetTimedemo(const FrameFigures& f, double displayMs) {
  JsSetTimedemo(static_cast<int>(f.frames), f.seconds, f.fps, f.medianMs, f.p99Ms, f.maxMs,
                displayMs);
}

std::string PageQueryString() {
  std::string search(static_cast<size_t>(JsQuery(nullptr, 0)), '\0');
  JsQuery(&search[0], static_cast<int>(search.size()));
  search.pop_back();  // the terminating NUL
  return search;
}

void PageLoseContext() {
  JsLoseContext();
}
