// The benchmark's floor page (floor.html, Emscripten only): vortalux-bench's floor frame
// (floor_scene.h) drawn through the page's own OpenGL 1.1 layer (src/web), its picture read from
// gfx/ by the program's own BMP loader, in a WebGL 2 context asked for as the page asks for its
// own. One frame per animation frame, each ended by a one-pixel read-back, so that every frame
// counted was drawn before the next began.
//
// The address: "?frames=N" (default 1200) and "?size=WxH" (default 1024x768). At the end,
// window.vortalux.floor = {frames, ms, fps, drawMs}: ms from the first frame's animation frame to
// the one after the last, drawMs the processor time spent drawing inside them. The state is
// "ended" then, or "bad-query", "no-webgl" or "error" with window.vortalux.error saying why.
#include <GL/gl.h>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <cstdlib>
#include <string>

#include "app/web/page_context.h"
#include "floor_scene.h"

namespace {

// clang-format off
EM_JS(void, PageSetState, (const char* state, const char* error), {
  const v = window.vortalux;
  v.state = UTF8ToString(state);
  const why = UTF8ToString(error);
  if (why) {
    v.error = why;
    console.error("vortalux-floor: " + why);
  }
  document.body.dataset.state = v.state;
  document.getElementById("message").textContent = why;
});

// location.search into buffer (size bytes); returns the bytes it needs.
EM_JS(int, PageQueryString, (char* buffer, int size), {
  stringToUTF8(location.search, buffer, size);
  return lengthBytesUTF8(location.search) + 1;
});

EM_JS(void, PageCountPass, (), {
  const v = window.vortalux;
  v.passes++;
  if (v.firstFrameMs === null) v.firstFrameMs = performance.now();
});

EM_JS(void, PageSetFloor, (int frames, double ms, double drawMs), {
  window.vortalux.floor = {frames: frames, ms: ms, fps: frames * 1000 / ms, drawMs: drawMs};
});
// clang-format on

struct Query {
  int frames = 1200;
  int width = 1024;
  int height = 768;
  std::string error;  // empty when the query can be followed
};

// A whole number from 1 to most, digits only.
bool Count(const std::string& digits, long most, int* value) {
  if (digits.empty() || digits.size() > 7 ||
      digits.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  const long number = std::strtol(digits.c_str(), nullptr, 10);
  *value = static_cast<int>(number);
  return number >= 1 && number <= most;
}

// ?frames and ?size, the first of each counting; other names are left alone.
Query ReadQuery() {
  std::string search(static_cast<size_t>(PageQueryString(nullptr, 0)), '\0');
  PageQueryString(&search[0], static_cast<int>(search.size()));
  search.pop_back();  // the terminating NUL
  Query query;
  bool framesSeen = false;
  bool sizeSeen = false;
  for (size_t at = search.empty() ? 0 : 1; at < search.size();) {
    size_t end = search.find('&', at);
    if (end == std::string::npos) end = search.size();
    const std::string pair = search.substr(at, end - at);
    at = end + 1;
    const size_t equals = pair.find('=');
    const std::string name = pair.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : pair.substr(equals + 1);
    if (name == "frames" && !framesSeen) {
      framesSeen = true;
      if (!Count(value, 1000000, &query.frames)) {
        query.error = "frames '" + value + "' is not a whole number from 1 to 1000000";
      }
    } else if (name == "size" && !sizeSeen) {
      sizeSeen = true;
      const size_t x = value.find('x');
      if (x == std::string::npos || !Count(value.substr(0, x), 99999, &query.width) ||
          !Count(value.substr(x + 1), 99999, &query.height)) {
        query.error = "size '" + value + "' is not WIDTHxHEIGHT, each from 1 to 99999";
      }
    }
    if (!query.error.empty()) break;
  }
  return query;
}

FloorScene g_floor;
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE g_context = 0;
int g_frames = 0;
int g_drawn = 0;
double g_startMs = 0;
double g_drawMs = 0;

// One floor frame per animation frame; the one after the last closes the time.
EM_BOOL FloorFrame(double, void*) {
  if (emscripten_is_webgl_context_lost(g_context)) {
    PageSetState("error", "the browser took the WebGL context away during the run");
    return EM_FALSE;
  }
  const double now = emscripten_get_now();
  if (g_drawn == g_frames) {
    PageSetFloor(g_frames, now - g_startMs, g_drawMs);
    PageSetState("ended", "");
    return EM_FALSE;
  }
  if (g_drawn == 0) g_startMs = now;
  g_floor.DrawFrame();
  g_drawMs += emscripten_get_now() - now;
  unsigned char pixel[4];
  emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  ++g_drawn;
  PageCountPass();
  return EM_TRUE;
}

}  // namespace

int main() {
  const Query query = ReadQuery();
  if (!query.error.empty()) {
    PageSetState("bad-query", query.error.c_str());
    return 0;
  }
  g_frames = query.frames;
  const int width = query.width;
  const int height = query.height;
  // The page's own context, so that the browser composites the same kind of canvas.
  emscripten_set_canvas_element_size("#canvas", width, height);
  g_context = CreatePageContext("#canvas");
  if (g_context == 0) {
    PageSetState("no-webgl", "this browser offers no WebGL 2");
    return 0;
  }
  int drawnWidth = 0;
  int drawnHeight = 0;
  emscripten_webgl_get_drawing_buffer_size(g_context, &drawnWidth, &drawnHeight);
  if (drawnWidth != width || drawnHeight != height) {
    const std::string why = "the drawing buffer is " + std::to_string(drawnWidth) + "x" +
                            std::to_string(drawnHeight) + ", not the " + std::to_string(width) +
                            "x" + std::to_string(height) + " asked for";
    PageSetState("error", why.c_str());
    return 0;
  }
  if (!g_floor.Load("gfx/Sky.bmp")) {
    PageSetState("error", "gfx/Sky.bmp could not be read");
    return 0;
  }
  glViewport(0, 0, width, height);
  g_floor.Begin();
  PageSetState("running", "");
  emscripten_request_animation_frame_loop(FloorFrame, nullptr);
  return 0;  // the runtime stays alive for the animation frames
}
