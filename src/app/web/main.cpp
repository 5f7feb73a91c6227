// The web shell: the Windows program's behaviour in a browser page, on Emscripten's html5 API,
// with the scene drawn through the project's own OpenGL 1.1 subset over WebGL (src/web). The
// same steps as win32_main.cpp, in the same order, once the player starts the demo with a click, a
// tap, Enter or a pad's Start: make the context and set up the scene, ask for full screen, then one
// pass of the loop per animation frame: events and pads, the steps (up, left, right) the frame's
// time is worth at 60 steps a second, draw, (the browser presents), Escape.
//
// Where the Win32 calls have browser counterparts:
//   RegisterClassA / CreateWindowExA  the page's <canvas id="canvas">, which fills the page; its
//                               drawing buffer is the size page.js asks for (the canvas's device
//                               pixels, or "?size=WxH"), within what the context can draw into
//   ChoosePixelFormat           context attributes: RGB without alpha, depth, no antialiasing;
//                               the buffer is not kept after presenting (every picture shown is
//                               drawn in its own frame)
//   wglCreateContext/MakeCurrent  emscripten_webgl_create_context / make_context_current
//   ChangeDisplaySettingsA      emscripten_request_fullscreen on the page's stage: the page's
//                               new size reaches the drawing buffer like any other resize
//   WM_SIZE                     vortalux_canvas_size: the buffer resized, the scene projected
//                               for it and the picture drawn again before the page is painted
//   the PeekMessage loop        emscripten_request_animation_frame_loop at the browser's frame
//                               rate: events arrive between frames through the html5 callbacks.
//                               The steps keep 60 a second of the frames' own timestamps and
//                               each frame draws the vehicle between its last two steps at its
//                               time (FramePacer), so the demo keeps its speed on any display
//                               and every frame of a fast one is new; "?pace=frame" takes one
//                               step a pass, as the native programs do. A pass whose view was
//                               drawn already leaves the picture the browser shows as it is.
//   SwapBuffers                 the browser presents when the frame's callback returns
//   WM_KEYDOWN / WM_KEYUP       keydown / keyup by key name, as Windows key codes into g_keys;
//                               the page's touch controls (touch.js) and the standard-mapping
//                               pads, polled once a pass, hold keys in the same table
//   WM_KILLFOCUS                blur, or the page hidden: every key released
//   WM_CLOSE                    Escape: the loop cancelled, the context destroyed, full screen left
// A browser without WebGL 2 gets a message on the page instead of a blank canvas. When the browser
// takes the context away (a GPU reset), the loop pauses until it gives it back; then the scene is
// set up again on it and the drive goes on from the same vehicle state.
//
// For tests and the benchmark the page keeps window.vortalux up to date: the state, the passes of
// the loop, the journal of the steps taken with their held arrows in vortalux-frame's key-step
// syntax, the time of the first frame; with "?drive" the page plays the benchmark's scripted
// drive (bench/drive.h) instead of the keys, one step and one drawn frame per pass, "&frames=N"
// passes at most, and reports its time; "?floor" draws the benchmark's floor as many times
// (web_timing.h). Both keep the drawing buffer they start with (1024x768 unless "?size").
//
// Only this file of the program includes emscripten/html5.h.
#include <GL/gl.h>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "app/frame_pacer.h"
#include "app/frame_pass.h"
#include "app/key_table.h"
#include "app/pad_keys.h"
#include "app/web/timing.h"
#include "app/timedemo.h"
#include "scene/scene.h"
#include "web/lost_context.h"

namespace {

// clang-format off
// Page hooks. The state is also the page's data-state, which chooses the message it shows.
EM_JS(void, PageSetState, (const char* state), {
  window.vortalux = window.vortalux || {passes: 0, steps: "", firstFrameMs: null};
  window.vortalux.state = UTF8ToString(state);
  document.body.dataset.state = window.vortalux.state;
});

// Counts a pass and adds its steps, with their held arrows, to the run-length journal
// ("none*2 up*37 up+left*4"); a step taken again first leaves the journal.
EM_JS(void, PageRecordPass, (int up, int left, int right, int steps, int retook), {
  const v = window.vortalux;
  v.passes++;
  if (v.firstFrameMs === null) v.firstFrameMs = performance.now();
  if (steps == 0) return;
  const j = Module.journal || (Module.journal = {groups: [], done: ""});
  const groups = j.groups;
  const text = (group) => group.name + "*" + group.count;
  if (retook && --groups[groups.length - 1].count == 0) {
    groups.pop();
    j.done = groups.slice(0, -1).map((group) => text(group) + " ").join("");
  }
  const keys = [up ? "up" : "", left ? "left" : "", right ? "right" : ""].filter(Boolean);
  const name = keys.length ? keys.join("+") : "none";
  const last = groups[groups.length - 1];
  if (last && last.name == name) {
    last.count += steps;
  } else {
    if (last) j.done += text(last) + " ";
    groups.push({name: name, count: steps});
  }
  v.steps = j.done + text(groups[groups.length - 1]);
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

EM_JS(int, PagePacedByFrame, (),
      { return new URLSearchParams(location.search).get("pace") == "frame"; });
// clang-format on

// How long the page waits for the browser to give a lost context back before it says so.
constexpr double kRestoreWaitMs = 5000;
constexpr GLenum kMaxRenderbufferSize = 0x84E8;  // GL_MAX_RENDERBUFFER_SIZE, past GL 1.1's names

struct Size {
  int width;
  int height;
};

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE g_context = 0;
bool g_running = false;
bool g_looping = false;       // an animation frame of the loop is asked for
Size g_size = {1024, 768};    // the drawing buffer page.js asks for
bool g_pacedByFrame = false;  // "?pace=frame": one step a pass
long g_drivePasses = -1;      // the scripted drive's length, or -1 when the keys drive
long g_pass = 0;
double g_driveStart = 0;
FramePacer g_pacer;
VehicleView g_drawn = {};  // the view the last picture shows
bool g_redraw = true;      // the next pass draws even a view already drawn
PadKeys g_padKeys;         // what the pads held at the last poll, as the key table has it
bool g_lost = false;       // the browser has taken the context away and not yet given it back
int g_losses = 0;          // tells a wait for a restore from the waits of earlier losses
bool g_floor = false;      // "?floor": the passes draw the floor
DrawTimer g_drawTimer;

int KeyCode(const char* key) {
  if (std::strcmp(key, "ArrowUp") == 0) return kKeyUp;
  if (std::strcmp(key, "ArrowLeft") == 0) return kKeyLeft;
  if (std::strcmp(key, "ArrowRight") == 0) return kKeyRight;
  if (std::strcmp(key, "ArrowDown") == 0) return kKeyDown;
  if (std::strcmp(key, "Escape") == 0) return kKeyEscape;
  return 0;
}

// Every key let go, the pads' included: the next poll gives the table what the pads still hold.
void ReleaseAllKeys() {
  ClearKeys();
  g_padKeys = PadKeys();
}

// Reads every connected pad in the standard mapping, all of them as one, and gives the key table
// what changed since the last poll: a pad that is unplugged lets go of what it held. True when
// Start has just been pressed.
bool PollPads() {
  PadState pad;
  if (emscripten_sample_gamepad_data() == EMSCRIPTEN_RESULT_SUCCESS) {
    const int count = emscripten_get_num_gamepads();
    for (int i = 0; i < count; ++i) {
      EmscriptenGamepadEvent e;
      if (emscripten_get_gamepad_status(i, &e) != EMSCRIPTEN_RESULT_SUCCESS || !e.connected ||
          std::strcmp(e.mapping, "standard") != 0) {
        continue;
      }
      for (int b = 0; b < kPadButtonCount && b < e.numButtons; ++b) {
        pad.pressed[b] = pad.pressed[b] || e.digitalButton[b];
      }
      const float x = e.numAxes > 0 ? static_cast<float>(e.axis[0]) : 0;
      if (std::fabs(x) > std::fabs(pad.stickX)) pad.stickX = x;
    }
  }
  const PadKeys now = KeysOfPad(pad);
  ApplyPadKeys(g_padKeys, now);
  const bool started = now.start && !g_padKeys.start;
  g_padKeys = now;
  return started;
}

// WM_CLOSE: the loop stops (its frame returns false), the context goes, full screen is left; the
// page says how to restart.
void End() {
  g_running = false;  // before the context goes: its loss is then no failure
  PageLoseContext();
  emscripten_webgl_make_context_current(0);
  emscripten_webgl_destroy_context(g_context);
  emscripten_exit_fullscreen();
  ReleaseAllKeys();
  PageSetState("ended");
}

// One pass of the benchmark's drive (or of its floor): its own keys, one step, a frame drawn and
// read back, so that the time counts only frames really drawn.
void DrivePass() {
  if (g_pass == g_drivePasses) {  // the drive's last frame is presented
    PageSetDrive(g_pass, emscripten_get_now() - g_driveStart, g_drawTimer.Ms());
    return End();
  }
  if (g_pass == 0) g_driveStart = emscripten_get_now();
  const Arrows held = DriveArrowsAt(g_pass);
  ApplyArrows(held, g_vehicle);
  g_drawTimer.Begin();
  if (g_floor) {
    DrawFloorFrame();
  } else {
    DrawScene();
  }
  g_drawTimer.End();
  ReadBackOnePixel();
  ++g_pass;
  PageRecordPass(held.up, held.left, held.right, 1, 0);
}

// One pass of the loop at the animation frame's timestamp, ms.
void Pass(double ms) {
  if (g_drivePasses >= 0) return DrivePass();
  PollPads();
  PacedFrame frame;
  if (g_pacedByFrame) {
    frame.arrows = {g_keys[kKeyUp] != 0, g_keys[kKeyLeft] != 0, g_keys[kKeyRight] != 0};
    ApplyArrows(frame.arrows, g_vehicle);
    frame.steps = 1;
    frame.view = ViewOf(g_vehicle);
  } else {
    frame = g_pacer.Frame(ms, TakeArrows(), g_vehicle);
  }
  // A view drawn already needs no new picture: the browser keeps showing the last one.
  if (g_redraw || std::memcmp(&frame.view, &g_drawn, sizeof g_drawn) != 0) DrawScene(frame.view);
  g_drawn = frame.view;
  g_redraw = false;
  ++g_pass;
  PageRecordPass(frame.arrows.up, frame.arrows.left, frame.arrows.right, frame.steps, frame.retook);
  if (TakeEscape()) End();  // held, or tapped since the last pass
}

// The loop's animation frame. Between the loss of the context and its event a pass would draw
// nothing; the event stops the loop, and the restore starts it again.
EM_BOOL LoopFrame(double ms, void*) {
  if (g_running && !g_lost && !emscripten_is_webgl_context_lost(g_context)) Pass(ms);
  g_looping = g_running && !g_lost;
  return g_looping;
}

void Loop() {
  if (g_looping) return;  // the frame already asked for goes on
  g_looping = true;
  emscripten_request_animation_frame_loop(LoopFrame, nullptr);
}

// Gives the canvas the drawing buffer the page asks for, scaled down with its aspect kept where
// the context cannot draw that large, and projects the scene for the buffer the browser made.
void ApplySize() {
  GLint most[2];
  GLint renderbuffer;
  emscripten_glGetIntegerv(GL_MAX_VIEWPORT_DIMS, most);
  emscripten_glGetIntegerv(kMaxRenderbufferSize, &renderbuffer);
  const double widest = std::min(most[0], renderbuffer);
  const double tallest = std::min(most[1], renderbuffer);
  const double scale = std::min({1.0, widest / g_size.width, tallest / g_size.height});
  emscripten_set_canvas_element_size("#canvas", std::max(1, static_cast<int>(g_size.width * scale)),
                                     std::max(1, static_cast<int>(g_size.height * scale)));
  Size buffer;
  emscripten_webgl_get_drawing_buffer_size(g_context, &buffer.width, &buffer.height);
  ResizeScene(buffer.width, buffer.height);
  g_redraw = true;
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
  attributes.preserveDrawingBuffer = EM_FALSE;
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
  ApplySize();
  ReleaseAllKeys();  // what was pressed before the start does not drive
  g_running = true;
  PageSetState("running");
  Loop();
}

// The waiting page polls the pads too, so that Start can start the demo.
EM_BOOL WaitingFrame(double, void*) {
  if (g_context != 0) return EM_FALSE;  // started (or failed to start): no more waiting
  if (PollPads()) Start(true);
  return g_context == 0;
}

void SayNotRestored(void* loss) {
  if (g_lost && reinterpret_cast<std::intptr_t>(loss) == g_losses) PageSetState("not-restored");
}

// The browser took the context, and all it held, away: the loop stops at its next frame, and
// returning true asks the browser (through preventDefault) to give the context back.
EM_BOOL OnContextLost(int, const void*, void*) {
  if (!g_running) return EM_FALSE;  // End() gives it up on purpose
  g_lost = true;
  ++g_losses;
  PageSetState("lost");
  emscripten_set_timeout(SayNotRestored, kRestoreWaitMs, reinterpret_cast<void*>(g_losses));
  return EM_TRUE;
}

// The context is back, empty: the layer makes its program and buffers again at the next draw,
// InitScene loads the pictures into it and compiles the track's list again (the same track), and
// the vehicle goes on from where it stood. The time spent lost is not driven.
EM_BOOL OnContextRestored(int, const void*, void*) {
  if (!g_lost || !g_running) return EM_FALSE;
  g_lost = false;
  emscripten_webgl_make_context_current(g_context);
  gl11::ForgetWebGlObjects();
  InitScene();
  ApplySize();
  g_pacer.Restart();
  PageSetState("running");
  Loop();
  return EM_TRUE;
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

// A tap on the picture starts the demo as a click does (touch.js keeps every touch from becoming
// a click). The controls show only while the demo runs, so no tap on them starts it.
int OnTouchEnd(int, const EmscriptenTouchEvent*, void*) {
  if (!g_running) Start(true);
  return EM_FALSE;
}

int OnBlur(int, const EmscriptenFocusEvent*, void*) {
  ReleaseAllKeys();
  return EM_FALSE;
}

int OnVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  if (event->hidden) ReleaseAllKeys();
  return EM_FALSE;
}

}  // namespace

// page.js: the drawing buffer the page wants, in pixels. A resize draws the last picture again at
// once, in the frame whose layout brought it, so that the page is never painted with the buffer
// the resize cleared. The timed modes keep the buffer they started with.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalux_canvas_size(int width, int height) {
  if (width < 1 || height < 1 || g_drivePasses >= 0) return;
  g_size = {width, height};
  if (!g_running || g_lost || emscripten_is_webgl_context_lost(g_context)) return;
  ApplySize();              // else the start or the restore does
  if (g_pass == 0) return;  // no picture yet: the first pass draws
  DrawScene(g_drawn);
  g_redraw = false;
}

// touch.js: what the fingers on the controls hold now, all of them together.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalux_touch_keys(int up, int left, int right) {
  SetKeyFrom(kTouch, kKeyUp, up != 0);
  SetKeyFrom(kTouch, kKeyLeft, left != 0);
  SetKeyFrom(kTouch, kKeyRight, right != 0);
}

int main() {
  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnBlur);
  emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);
  emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_FALSE, OnContextLost);
  emscripten_set_webglcontextrestored_callback("#canvas", nullptr, EM_FALSE, OnContextRestored);
  g_pacedByFrame = PagePacedByFrame() != 0;

  const int floorFrames = PageFloorFrames();
  const int driveFrames = floorFrames >= 0 ? floorFrames : PageDriveFrames();
  if (driveFrames < 0) {
    emscripten_set_click_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, OnClick);
    emscripten_set_touchend_callback("#stage", nullptr, EM_FALSE, OnTouchEnd);
    PageSetState("waiting");
    emscripten_request_animation_frame_loop(WaitingFrame, nullptr);
    return 0;  // the runtime stays alive for the callbacks
  }
  PageSetState("waiting");
  Start(false);
  if (g_running) {
    const long full = DriveStepCount(g_vehicle);  // drives and resets the vehicle to the start
    g_drivePasses = driveFrames > 0 && driveFrames < full ? driveFrames : full;
    g_floor = floorFrames >= 0 && StartFloor();
    if (floorFrames >= 0 && !g_floor) {
      End();
      PageSetState("error");
    }
  }
  return 0;
}
