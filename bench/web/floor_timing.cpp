// The page's timed modes; see web_timing.h.
#include "app/web/timing.h"

#include <GL/gl.h>
#include <emscripten.h>
#include <webgl/webgl1.h>

#include "floor_scene.h"

namespace {

FloorScene g_floor;

// clang-format off
EM_JS(int, PageFloorQuery, (), {
  const query = new URLSearchParams(location.search);
  if (!query.has("floor")) return -1;
  const frames = parseInt(query.get("frames") || "0", 10);
  return frames > 0 ? frames : 0;
});
// clang-format on

}  // namespace

int PageFloorFrames() {
  return PageFloorQuery();
}

bool StartFloor() {
  if (!g_floor.Load("gfx/Sky.bmp")) return false;
  g_floor.Begin();
  return true;
}

void DrawFloorFrame() {
  g_floor.DrawFrame();
}

void ReadBackOnePixel() {
  unsigned char pixel[4];
  emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

void DrawTimer::Begin() {
  start_ = emscripten_get_now();
}

void DrawTimer::End() {
  ms_ += emscripten_get_now() - start_;
}
