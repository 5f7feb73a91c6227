// The web shell: the Windows program's behaviour in a browser page, on Emscripten's html5 API,
// with the scene drawn through the project's own OpenGL 1.1 subset over WebGL (src/web). The
// same steps as win32/classic.cpp, in the same order, once the player starts the demo with a click,
// a tap, Enter or a pad's Start: make the context and set up the scene, ask for full screen, then
// one pass of the loop per animation frame: events and pads, the steps (up, left, right) the
// frame's time is worth at 60 steps a second, draw, (the browser presents), Escape.
//
// Where the Win32 calls have browser counterparts:
//   RegisterClassA / CreateWindowExA  the page's <canvas id="canvas">, which fills the page; its
//                               drawing buffer is the size page.js asks for (the canvas's device
//                               pixels, or "?size=WxH"), within what the context can draw into
//   ChoosePixelFormat           context attributes (page_context.h): RGB without alpha, depth,
//                               no antialiasing; the buffer is not kept after presenting
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
// The address may ask for more (page_query.h): "?size=WxH" a fixed drawing buffer, "?pace=frame"
// one step a pass, "?play=STEPS" a drive played back, "?record" the journal of the steps, and
// "?timedemo" (with "&frames=N") the timed drive, started at once, each frame read back one pixel
// so that every frame counted was drawn. A query that cannot be followed is named on the page.
// The page keeps window.vortalux up to date for people and scripts: the state, the passes of the
// loop, the journal (window.vortalux.steps, while recording), the time of the first frame, and
// the timedemo's figures.
//
// The page's own hooks are in page.cpp, its pads in page_pads.cpp and its WebGL context's
// attributes in page_context.h.
#include <GL/gl.h>
#include <emscripten.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/demo_loop.h"
#include "app/key_table.h"
#include "app/web/page.h"
#include "app/web/page_context.h"
#include "app/web/page_pads.h"
#include "app/web/page_query.h"
#include "web/failure.h"
#include "web/lost_context.h"

namespace {

// How long the page waits for the browser to give a lost context back before it says so.
constexpr double kRestoreWaitMs = 5000;
constexpr GLenum kMaxRenderbufferSize = 0x84E8;  // GL_MAX_RENDERBUFFER_SIZE, past GL 1.1's names
// The timedemo first times this many animation frames that only clear: the display's pace, which
// tells whether the browser holds its frames to the display.
constexpr int kPaceFrames = 30;

struct Size {
  int width;
  int height;
};

PageQuery g_query;
DemoLoop g_loop;
EMSCRIPTEN_WEBGL_CONTEXT_HANDLE g_context = 0;
bool g_running = false;
bool g_looping = false;     // an animation frame of the loop is asked for
Size g_size = {1024, 768};  // the drawing buffer asked for: page.js's, or the query's
PagePads g_pads;
bool g_lost = false;           // the browser has taken the context away and not yet given it back
int g_losses = 0;              // tells a wait for a restore from the waits of earlier losses
std::vector<double> g_paceMs;  // the animation frames timed before the timedemo's drive

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
  g_pads.Release();
}

// WM_CLOSE: the loop stops (its frame returns false), the context goes, full screen is left; the
// page says how to restart, or what the timedemo measured.
void End(const char* state = "ended", const char* detail = "") {
  g_running = false;  // before the context goes: its loss is then no failure
  PageLoseContext();
  emscripten_webgl_make_context_current(0);
  emscripten_webgl_destroy_context(g_context);
  emscripten_exit_fullscreen();
  ReleaseAllKeys();
  PageSetState(state, detail);
}

// The interval of the frames timed before the timedemo's drive when it is a display's (within 8%
// of a refresh rate displays have), or 0: a browser that holds its frames to the display spaces
// even those nearly empty frames so, where an uncapped one runs them as fast as it can.
double DisplayFrameMs() {
  std::vector<double> intervals;
  for (size_t i = 1; i < g_paceMs.size(); ++i) intervals.push_back(g_paceMs[i] - g_paceMs[i - 1]);
  if (intervals.empty()) return 0;
  std::sort(intervals.begin(), intervals.end());
  const double median = intervals[intervals.size() / 2];
  for (double hz : {24, 30, 48, 50, 60, 72, 75, 90, 100, 120, 144, 165, 180, 240, 360}) {
    if (std::fabs(median * hz / 1000 - 1) < 0.08) return median;
  }
  return 0;
}

void EndTimedemo() {
  const FrameFigures& f = g_loop.Figures();
  const double displayMs = DisplayFrameMs();
  PageSetTimedemo(f, displayMs);  // the figures, and the message's text
  End("timedemo", nullptr);
}

// After a pass that drew: a program the browser's driver refused draws nothing, so the demo
// stops there and the page names the shader and the driver's log, rather than run on blank.
bool DrawFailed() {
  const char* failure = gl11::Failure();
  if (failure[0] == '\0') return false;
  PageConsoleError(std::string("vortalux: the demo cannot draw: ") + failure);
  End("gl-error", failure);
  return true;
}

// One pass of the loop at the animation frame's timestamp, ms.
void Pass(double ms) {
  g_pads.Poll();
  if (!g_loop.Pass(ms)) return EndTimedemo();
  if (DrawFailed()) return;
  if (g_query.timedemo) {  // the frame drawn before the next begins, so that each one counts
    unsigned char pixel[4];
    emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  }
  PageCountPass();
  if (TakeEscape()) End();  // held, or tapped since the last pass
}

// The loop's animation frame. Between the loss of the context and its event a pass would draw
// nothing; the event stops the loop, and the restore starts it again.
EM_BOOL LoopFrame(double ms, void*) {
  if (g_query.timedemo && g_paceMs.size() < static_cast<size_t>(kPaceFrames)) {
    g_paceMs.push_back(ms);
    // A frame that draws nothing is held to the display even by a browser started uncapped, so
    // each of these draws as little as can be: one pixel cleared and read back.
    emscripten_glEnable(GL_SCISSOR_TEST);
    emscripten_glScissor(0, 0, 1, 1);
    emscripten_glClear(GL_COLOR_BUFFER_BIT);
    emscripten_glDisable(GL_SCISSOR_TEST);
    unsigned char pixel[4];
    emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return EM_TRUE;
  }
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
// the context cannot draw that large; returns the buffer the browser made.
Size SizeCanvas() {
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
  return buffer;
}

void ApplySize() {
  const Size buffer = SizeCanvas();
  g_loop.Resize(buffer.width, buffer.height);
}

void NoteMissingPictures(const std::vector<std::string>& failed) {
  if (failed.empty()) return;
  std::string note = "Pictures not found, drawn untextured:";
  for (const std::string& path : failed) note += " " + path;
  PageNote(note);
}

// WM_CREATE and what WinMain does after it: the context, the scene, the vehicle's first step,
// the size report, then the loop.
void Start(bool fullScreen) {
  if (g_running || g_context != 0) return;  // one run per page; reload to start again
  g_context = CreatePageContext("#canvas");
  if (g_context == 0) return PageSetState("no-webgl", "");
  if (fullScreen) emscripten_request_fullscreen("#stage", EM_FALSE);  // a request; may be refused
  const Size buffer = SizeCanvas();
  NoteMissingPictures(g_loop.Start(buffer.width, buffer.height));
  ReleaseAllKeys();  // what was pressed before the start does not drive
  g_running = true;
  PageSetState("running", "");
  Loop();
}

// The waiting page polls the pads too, so that Start can start the demo.
EM_BOOL WaitingFrame(double, void*) {
  if (g_context != 0) return EM_FALSE;  // started (or failed to start): no more waiting
  if (g_pads.Poll()) Start(true);
  return g_context == 0;
}

void SayNotRestored(void* loss) {
  if (g_lost && reinterpret_cast<std::intptr_t>(loss) == g_losses) {
    PageSetState("not-restored", "");
  }
}

// The browser took the context, and all it held, away: the loop stops at its next frame, and
// returning true asks the browser (through preventDefault) to give the context back.
EM_BOOL OnContextLost(int, const void*, void*) {
  if (!g_running) return EM_FALSE;  // End() gives it up on purpose
  g_lost = true;
  ++g_losses;
  PageSetState("lost", "");
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
  NoteMissingPictures(g_loop.Restore());
  ApplySize();
  PageSetState("running", "");
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

// A click, or a tap: until the demo runs, touch.js leaves touches to the browser, which makes a
// tap a click and never a pinch or a pan.
int OnClick(int, const EmscriptenMouseEvent*, void*) {
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
// the resize cleared. A fixed size (?size, the timedemo's) is kept whatever the page does.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalux_canvas_size(int width, int height) {
  if (width < 1 || height < 1 || g_query.width > 0) return;
  g_size = {width, height};
  if (!g_running || g_lost || emscripten_is_webgl_context_lost(g_context)) return;
  ApplySize();  // else the start or the restore does
  g_loop.Redraw();
  DrawFailed();
}

// touch.js: what the fingers on the controls hold now, all of them together.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalux_touch_keys(int up, int left, int right) {
  SetKeyFrom(kTouch, kKeyUp, up != 0);
  SetKeyFrom(kTouch, kKeyLeft, left != 0);
  SetKeyFrom(kTouch, kKeyRight, right != 0);
}

// The journal for window.vortalux.steps: valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const char* vortalux_journal() {
  static std::string text;
  text = g_loop.Journal();
  return text.c_str();
}

int main() {
  PageBegin();
  g_query = ParsePageQuery(PageQueryString());
  if (!g_query.error.empty()) {
    PageSetState("bad-query", g_query.error.c_str());
    return 0;
  }
  if (g_query.timedemo && g_query.width == 0) {  // the same frames on every screen
    g_query.width = 1024;
    g_query.height = 768;
  }
  if (g_query.width > 0) g_size = {g_query.width, g_query.height};
  LoopOptions loop;
  loop.pace = g_query.paceFrame ? Pace::kPass : Pace::kClock;
  loop.play = g_query.play;
  loop.timedemo = g_query.timedemo;
  loop.timedemoFrames = g_query.frames;
  loop.record = g_query.record;
  loop.drawOnlyChanges = true;  // the browser keeps showing the last picture
  g_loop = DemoLoop(loop);

  emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_TRUE, OnKey);
  emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnBlur);
  emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, OnVisibility);
  emscripten_set_webglcontextlost_callback("#canvas", nullptr, EM_FALSE, OnContextLost);
  emscripten_set_webglcontextrestored_callback("#canvas", nullptr, EM_FALSE, OnContextRestored);
  PageSetState("waiting", "");
  if (g_query.timedemo) {
    Start(false);
    return 0;
  }
  emscripten_set_click_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_FALSE, OnClick);
  emscripten_request_animation_frame_loop(WaitingFrame, nullptr);
  return 0;  // the runtime stays alive for the callbacks
}
