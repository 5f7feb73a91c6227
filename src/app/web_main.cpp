// The web shell: the Windows program's behaviour in a browser page, on Emscripten's html5 API,
// with the scene drawn through the project's own OpenGL 1.1 subset over WebGL (src/web). The
// same steps as win32_main.cpp, in the same order, once the player starts the demo with a click or
// Enter: make the context and set up the scene, ask for full screen, then one pass of the loop per
// animation frame: events, up, left, right, draw, (the browser presents), Escape.
//
// Where the Win32 calls have browser counterparts:
//   RegisterClassA / CreateWindowExA  the page's <canvas id="canvas">, its drawing buffer 1024x768
//   ChoosePixelFormat           context attributes: RGB without alpha, depth, no antialiasing;
//                               the buffer is kept after presenting so the page can read it back
//   wglCreateContext/MakeCurrent  emscripten_webgl_create_context / make_context_current
//   ChangeDisplaySettingsA      emscripten_request_fullscreen on the page's stage; the page
//                               letterboxes the 4:3 picture on black
//   the PeekMessage loop        emscripten_set_main_loop at the browser's frame rate: events
//                               arrive between frames through the html5 callbacks
//   SwapBuffers                 the browser presents when the frame's callback returns
//   WM_KEYDOWN / WM_KEYUP       keydown / keyup by key name, as Windows key codes into g_keys
//   WM_KILLFOCUS                blur, or the page hidden: every key released
//   WM_CLOSE                    Escape: the loop cancelled, the context destroyed, full screen left
// A browser without WebGL 2 gets a message on the page instead of a blank canvas.
//
// For tests and the benchmark the page keeps window.vortalux up to date: the state, the passes
// drawn, the journal of held arrows in vortalux-frame's key-step syntax, the time of the first
// frame; with "?drive" the page plays the benchmark's scripted drive (bench/drive.h) instead of
// the keys, "&frames=N" passes at most, and reports its time; "?floor" draws the benchmark's floor
// as many times (web_timing.h).
//
// Only this file of the program includes emscripten/html5.h.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "app/frame_pass.h"
#include "app/key_table.h"
#include "app/web_timing.h"
#include "drive.h"
#include "scene/scene.h"

namespace {

// clang-format off
// Page hooks. The state is also the page's data-state, which chooses the message it shows.
EM_JS(void, PageSetState, (const char* state), {
  window.vortalux = window.vortalux || {passes: 0, steps: "", firstFrameMs: null};
  window.vortalux.state = UTF8ToString(state);
  document.body.dataset.state = window.vortalux.state;
});

// Counts a pass and adds its held arrows to the run-length journal ("none*2 up*37 up+left*4").
EM_JS(void, PageRecordPass, (int up, int left, int right), {
  const v = window.vortalux;
  const keys = [up ? "up" : "", left ? "left" : "", right ? "right" : ""].filter(Boolean);
  const name = keys.length ? keys.join("+") : "none";
  const j = Module.journal || (Module.journal = {done: "", name: "", count: 0});
  if (j.name == name) {
    j.count++;
  } else {
    if (j.count) j.done += j.name + "*" + j.count + " ";
    j.name = name;
    j.count = 1;
  }
  v.steps = j.done + name + "*" + j.count;
  v.passes++;
  if (v.firstFrameMs === null) v.firstFrameMs = performance.now();
});

// Destroying Emscripten's handle leaves the canvas's context, and what it holds, alive until the
// page goes; losing the current context (GLctx) gives that back at once.
EM_JS(void, PageLoseContext, (), {
  const lose = GLctx && GLctx.getExtension("WEBGL_lose_context");
  if (lose) lose.loseContext();
});

EM_JS(void, PageSetDrive, (int passes, double ms, double drawMs),
      { window.vortalux.drive = {passes: passes, ms: ms, drawMs: drawMs}; });

// -1 without "drive" in the query; otherwise the "frames" limit, 0 for none.
EM_JS(int, PageDriveFrames, (), {
  const query = new URLSearchParams(location.search);
  if (!query.has("drive")) return -1;
  const frames = parseInt(query.get("frames") || "0", 10);
  return frames > 0 ? frames : 0;
});
// clang-format on

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE g_context = 0;
bool g_running = false;
long g_drivePasses = -1;  // the scripted drive's length, or -1 when the keys drive
long g_pass = 0;
double g_driveStart = 0;
bool g_floor = false;  // "?floor": the passes draw the floor
DrawTimer g_drawTimer;

int KeyCode(const char* key) {
  if (std::strcmp(key, "ArrowUp") == 0) return kKeyUp;
  if (std::strcmp(key, "ArrowLeft") == 0) return kKeyLeft;
  if (std::strcmp(key, "ArrowRight") == 0) return kKeyRight;
  if (std::strcmp(key, "ArrowDown") == 0) return kKeyDown;
  if (std::strcmp(key, "Escape") == 0) return kKeyEscape;
  return 0;
}

// WM_CLOSE: the loop stops, the context goes, full screen is left; the page says how to restart.
void End() {
  emscripten_cancel_main_loop();
  PageLoseContext();
  emscripten_webgl_make_context_current(0);
  emscripten_webgl_destroy_context(g_context);
  emscripten_exit_fullscreen();
  g_running = false;
  ClearKeys();
  PageSetState("ended");
}

void Pass() {
  if (g_drivePasses >= 0 && g_pass == g_drivePasses) {  // the drive's last frame is presented
    PageSetDrive(g_pass, emscripten_get_now() - g_driveStart, g_drawTimer.Ms());
    return End();
  }
  DriveKeys held = {g_keys[kKeyUp] != 0, g_keys[kKeyLeft] != 0, g_keys[kKeyRight] != 0};
  if (g_drivePasses >= 0) {
    if (g_pass == 0) g_driveStart = emscripten_get_now();
    held = DriveKeysAt(g_pass);
    ApplyDriveKeys(held, g_vehicle);
  } else {
    ApplyHeldKeys(g_keys, g_vehicle);  // up: Advance; left: Steer(1.5); right: Steer(-1.5)
  }
  g_drawTimer.Begin();
  if (g_floor) {
    DrawFloorFrame();
  } else {
    DrawScene();
  }
  g_drawTimer.End();
  if (g_drivePasses >= 0) ReadBackOnePixel();
  ++g_pass;
  PageRecordPass(held.up, held.left, held.right);
  if (g_drivePasses < 0 && TakeEscape()) End();  // held, or tapped since the last pass
}

// WM_CREATE and what WinMain does after it: the context, the scene, the vehicle's first step,
// the size report, then the loop.
void Start(bool fullScreen) {
  if (g_running || g_context != 0) return;  // one run per page; reload to start again
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_TRUE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_TRUE;
  attributes.majorVersion = 2;
  attributes.minorVersion = 0;
  g_context = emscripten_webgl_create_context("#canvas", &attributes);
  if (g_context <= 0 ||
      emscripten_webgl_make_context_current(g_context) != EMSCRIPTEN_RESULT_SUCCESS) {
    g_context = 0;
    return PageSetState("no-webgl");
  }
  if (fullScreen) emscripten_request_fullscreen("#stage", EM_FALSE);  // a request; may be refused
  InitScene();
  g_vehicle.Advance();  // settles the camera on the freshly built track
  ResizeScene(1024, 768);
  ClearKeys();  // what was pressed before the start does not drive
  g_running = true;
  PageSetState("running");
  emscripten_set_main_loop(Pass, 0, EM_FALSE);  // fps 0: the browser's animation frames
}

int OnKey(int type, const EmscriptenKeyboardEvent* event, void*) {
  const int code = KeyCode(event->key);
  if (!g_running) {
    if (type == EMSCRIPTEN_EVENT_KEYDOWN && std::strcmp(event->key, "Enter") == 0) Start(true);
    return code != 0;
  }
  if (code != 0) SetKey(code, type == EMSCRIPTEN_EVENT_KEYDOWN ? 1 : 0);
  return code != 0;  // an arrow does not scroll the page
}

int OnClick(int, const EmscriptenMouseEvent*, void*) {
  if (!g_running) Start(true);
  return EM_FALSE;
}

int OnBlur(int, const EmscriptenFocusEvent*, void*) {
  ClearKeys();
  return EM_FALSE;
}

int OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  if (event->hidden) ClearKeys();
  return EM_FALSE;
}

}  // namespace

int main() {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnBlur);
  emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);

  const int floorFrames = PageFloorFrames();
  const int driveFrames = floorFrames >= 0 ? floorFrames : PageDriveFrames();
  if (driveFrames < 0) {
    emscripten_set_click_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, OnClick);
    PageSetState("waiting");
    return 0;  // the runtime stays alive for the callbacks
  }
  PageSetState("waiting");
  Start(false);
  if (g_running) {
    const long full = DrivePassCount(g_vehicle);  // drives and resets the vehicle to the start
    g_drivePasses = driveFrames > 0 && driveFrames < full ? driveFrames : full;
    g_floor = floorFrames >= 0 && StartFloor();
    if (floorFrames >= 0 && !g_floor) {
      End();
      PageSetState("error");
    }
  }
  return 0;
}
