// The SDL shell (RunSdlShell, sdl/shell.h): the Windows program's window, context and loop on
// SDL2. It is the Linux program, and the Windows program unless --classic is given there (the
// Windows entry point then runs the original Win32 code instead). It meets the screen in one of
// three ways (shell_options.h):
//   - by default, full screen on the desktop at its own size, with no mode switch, drawn at the
//     drawable's real size in pixels (a high-density screen's included);
//   - --window, a window that can be resized; F11 and Alt+Enter switch between it and full
//     screen on the desktop;
//   - --classic, the Windows program: the 1024x768 switch, one step per pass, no clock (on
//     Linux; on Windows --classic is the original program itself).
// The first two are paced: the vehicle takes its steps at 60 a second of a monotonic clock and
// every frame shows it between the last two (DemoLoop, FramePacer), so its speed no longer
// follows the frame rate. Every size change re-projects at the new size, so nothing is
// stretched. Vertical sync is asked for; where the swaps do not wait for the display (Xvfb has no
// vertical blank), FrameCap keeps the frames to the display's rate instead of spinning the
// processor. --timedemo drives the timedemo's drive one step a frame (its first --frames only,
// when given), without vertical sync or cap, and prints its figures; --play plays a drive back;
// --record writes the drive taken.
//
// Where the session is Wayland (WAYLAND_DISPLAY set), the paced modes ask SDL for Wayland first,
// so that a scaled desktop gets every device pixel instead of Xwayland's scaled-up picture;
// --classic stays on X11, where its 1024x768 switch exists. SDL_VIDEODRIVER, when set, wins.
//
// The steps in WinMain's order: make the window (its "creation" makes the GL context and sets up
// the scene), switch the display (--classic only), show the window and run the loop: events,
// the vehicle's steps, draw, swap, Escape. Events reach g_keys through keymap.h, so the loop
// reads the Windows key codes. Game controllers drive too: gamepad.h opens them as they come
// and feeds their buttons to g_keys once per pass, after the events.
//
// Where the Win32 calls have SDL counterparts:
//   RegisterClassA              SDL_Init(SDL_INIT_VIDEO), with a display to show the window on
//   CreateWindowExA (WS_POPUP)  SDL_CreateWindow, created hidden: --classic borderless at (0,0),
//                               1024x768; otherwise covering the display, or 3/4 of it centred
//   ChoosePixelFormat           GL attributes before the window: double-buffered RGBA, depth >= 16;
//                               checked once the context is current
//   wglCreateContext/MakeCurrent  SDL_GL_CreateContext / SDL_GL_MakeCurrent
//   ChangeDisplaySettingsA      --classic: SDL_SetWindowDisplayMode (1024x768) + fullscreen; SDL
//                               gives the desktop mode back on close, on exit and on focus loss
//   WM_SIZE / WM_CLOSE          SDL_WINDOWEVENT_SIZE_CHANGED / SDL_WINDOWEVENT_CLOSE and SDL_QUIT
//   WM_KILLFOCUS                SDL_WINDOWEVENT_FOCUS_LOST: every key released
//   PostQuitMessage             g_quitPosted, seen by the next drain of the events
// Start-up failures show the Windows program's texts in an SDL message box and on standard error,
// and end the process with kExitStartFailed; Escape ends it with 1 and a command line it does not
// understand with 2 (shell_options.h).
//
// Only the files of sdl/ include SDL.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "app/demo_loop.h"
#include "app/frame_cap.h"
#include "app/key_table.h"
#include "app/sdl/gamepad.h"
#include "app/sdl/keymap.h"
#include "app/sdl/shell.h"
#include "app/shell_options.h"
#include "scene/scene.h"

namespace {

ShellOptions g_options;
ScreenMode g_mode = ScreenMode::kDesktop;
SDL_GLContext g_context = nullptr;
bool g_quitPosted = false;
bool g_failed = false;     // start-up failed: the quit ends with kExitStartFailed
bool g_vsync = false;      // the swap interval was granted
SDL_Rect g_windowed = {};  // the window's place and size while it is not full screen
DemoLoop g_loop;
FrameCap g_cap;

void ShowError(const char* text) {
  const char* reason = SDL_GetError();
  if (reason[0] != '\0') {
    std::fprintf(stderr, "Error: %s (SDL: %s)\n", text, reason);
  } else {
    std::fprintf(stderr, "Error: %s\n", text);
  }
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", text, nullptr);
}

// SDL falls back to a video driver that shows nothing (offscreen, dummy) when it reaches no
// display; the demo would then run unseen and forever.
bool HasDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && std::strcmp(driver, "offscreen") != 0 &&
      std::strcmp(driver, "dummy") != 0) {
    return true;
  }
  SDL_SetError(
      "no display to open a window on (is DISPLAY or WAYLAND_DISPLAY set?); frames can be "
      "rendered without one by vortalux-frame");
  return false;
}

// A failure while the window is being set up, as WM_CREATE reports it: the message, then a quit
// that ends the loop in its first pass.
void FailCreate(const char* text) {
  ShowError(text);
  g_quitPosted = true;
  g_failed = true;
}

bool Readable(const std::string& path) {
  return std::ifstream(path, std::ios::binary).good();
}

// The pictures are looked for in gfx/ where the program was started, then in gfx/ beside the
// program, so that it runs from any folder.
void FindPictures() {
  if (Readable(g_pictureFolder + "Track.bmp")) return;
  char* base = SDL_GetBasePath();
  if (base == nullptr) return;
  const std::string beside = std::string(base) + "gfx/";
  SDL_free(base);
  if (Readable(beside + "Track.bmp")) g_pictureFolder = beside;
}

void SayMissingPictures(const std::vector<std::string>& failed) {
  for (const std::string& path : failed) {
    std::fprintf(stderr, "vortalux: cannot load the picture %s; its surface is drawn untextured\n",
                 path.c_str());
  }
}

double NowMs() {
  return static_cast<double>(SDL_GetPerformanceCounter()) * 1000 /
         static_cast<double>(SDL_GetPerformanceFrequency());
}

int DisplayOf(SDL_Window* window) {
  const int display = SDL_GetWindowDisplayIndex(window);
  return display < 0 ? 0 : display;
}

SDL_Rect DisplayBounds(int display) {
  SDL_Rect bounds = {0, 0, 1024, 768};
  SDL_GetDisplayBounds(display, &bounds);
  return bounds;
}

// The display's rate, or 0 (FrameCap then takes 60) where SDL does not know it, as on Xvfb.
double RefreshRate(SDL_Window* window) {
  SDL_DisplayMode mode;
  if (SDL_GetCurrentDisplayMode(DisplayOf(window), &mode) != 0) return 0;
  return mode.refresh_rate;
}

// After every size change: the projection at the drawable's size in pixels, and the frame cap
// timed afresh, since full screen and a window can present differently.
void Resize(SDL_Window* window) {
  int width = 0;
  int height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  g_loop.Resize(width, height);
  g_cap.Start(RefreshRate(window), g_vsync);
}

// WM_CREATE: the context, the scene, the cursor, the vehicle's first step and the size report
// Windows sends after WM_CREATE (SDL sends none).
void CreateContextAndScene(SDL_Window* window) {
  g_context = SDL_GL_CreateContext(window);
  if (g_context == nullptr) return FailCreate("Can't Create A GL Rendering Context.");
  if (SDL_GL_MakeCurrent(window, g_context) != 0) return FailCreate("Can't Activate GLRC.");
  int doubleBuffered = 0;
  int depthBits = 0;
  SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffered);
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthBits);
  if (!doubleBuffered || depthBits < 16) {
    return FailCreate("Can't Find A Suitable PixelFormat.");
  }
  // The timedemo draws as fast as it can: no vertical sync, and no cap (see AwaitNextFrame).
  g_vsync = SDL_GL_SetSwapInterval(g_options.timedemo ? 0 : 1) == 0 && !g_options.timedemo;
  SDL_ClearError();  // a refusal is no start-up failure
  SDL_ShowCursor(SDL_DISABLE);
  int width = 0;
  int height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  SayMissingPictures(g_loop.Start(width, height));
  g_cap.Start(RefreshRate(window), g_vsync);
}

// The window for the mode, hidden until the loop begins. A full-screen window is made at the
// display's own place and size: with no window manager to obey the full-screen request, SDL
// would report the screen's size while the window kept the size it was made with.
SDL_Window* MakeWindow() {
  constexpr Uint32 kHidden = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (g_mode == ScreenMode::kClassic) {
    return SDL_CreateWindow("Vortalux", 0, 0, 1024, 768, kHidden | SDL_WINDOW_BORDERLESS);
  }
  const SDL_Rect screen = DisplayBounds(0);
  g_windowed = {screen.x + screen.w / 8, screen.y + screen.h / 8, screen.w * 3 / 4,
                screen.h * 3 / 4};
  constexpr Uint32 kPaced = kHidden | SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE;
  if (g_mode == ScreenMode::kWindow) {
    return SDL_CreateWindow("Vortalux", g_windowed.x, g_windowed.y, g_windowed.w, g_windowed.h,
                            kPaced);
  }
  return SDL_CreateWindow("Vortalux", screen.x, screen.y, screen.w, screen.h,
                          kPaced | SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// --classic, WinMain's step 3: the display to 1024x768, where it has that mode, as
// ChangeDisplaySettingsA switches only to a mode the display has. Elsewhere the borderless
// 1024x768 window stays as it is, in the top-left corner, as the Windows program's window does
// when the switch fails; made full screen there, SDL would project for the whole screen while,
// with no window manager to resize it, the window stayed 1024x768.
void SwitchTo1024x768(SDL_Window* window) {
  SDL_DisplayMode wanted = {};
  wanted.w = 1024;
  wanted.h = 768;
  SDL_DisplayMode closest;
  if (SDL_GetClosestDisplayMode(DisplayOf(window), &wanted, &closest) == nullptr ||
      closest.w != wanted.w || closest.h != wanted.h) {
    return;
  }
  SDL_SetWindowDisplayMode(window, &closest);
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
}

// F11 and Alt+Enter: full screen on the desktop, or back to the window it was. The window first
// covers the display itself, for the same reason as in MakeWindow.
void SwitchFullScreen(SDL_Window* window) {
  if ((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) {
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowSize(window, g_windowed.w, g_windowed.h);
    SDL_SetWindowPosition(window, g_windowed.x, g_windowed.y);
    return;
  }
  SDL_GetWindowPosition(window, &g_windowed.x, &g_windowed.y);
  SDL_GetWindowSize(window, &g_windowed.w, &g_windowed.h);
  const SDL_Rect screen = DisplayBounds(DisplayOf(window));
  SDL_SetWindowPosition(window, screen.x, screen.y);
  SDL_SetWindowSize(window, screen.w, screen.h);
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// Where the swap did not wait for the display, the rest of its refresh interval (FrameCap).
// --classic runs uncapped, as the Windows program does, and so does the timedemo.
void AwaitNextFrame() {
  if (g_mode == ScreenMode::kClassic || g_options.timedemo) return;
  const double ms = g_cap.AfterSwap(NowMs());
  if (ms > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

bool IsFullScreenSwitch(const SDL_Keysym& key) {
  return key.sym == SDLK_F11 || (key.sym == SDLK_RETURN && (key.mod & KMOD_ALT) != 0);
}

// WM_CLOSE and WM_DESTROY: the display mode and the cursor back, the context deleted, quit.
void CloseWindow(SDL_Window* window) {
  if (g_mode == ScreenMode::kClassic) SDL_SetWindowFullscreen(window, 0);  // the desktop's mode
  SDL_ShowCursor(SDL_ENABLE);
  SDL_GL_MakeCurrent(window, nullptr);
  if (g_context != nullptr) SDL_GL_DeleteContext(g_context);
  g_context = nullptr;
  g_quitPosted = true;
}

// The window procedure's part for SDL's events.
void HandleEvent(SDL_Window* window, const SDL_Event& event) {
  HandlePadEvent(event);  // hot-plug, Back, and the focus the pads follow
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      // Read from the event alone: the program asks SDL for no keymap and no key state. On
      // Wayland, SDL 2.26 looks a key up in the xkb keymap itself (where it has been seen to
      // crash) only for a keyboard whose layout has no name, as tools that generate a keymap
      // make one; a later keymap that fails to compile then leaves it a null keymap to read.
      // The keymap a compositor gives a physical keyboard names its layout, so that lookup is
      // never made for one.
      int key = WindowsKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
      if (key != 0) SetKey(key, event.type == SDL_KEYDOWN ? 1 : 0);
      if (event.type == SDL_KEYDOWN && !event.key.repeat && g_mode != ScreenMode::kClassic &&
          IsFullScreenSwitch(event.key.keysym)) {
        SwitchFullScreen(window);
      }
      break;
    }
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          if (g_context != nullptr) Resize(window);
          break;
        case SDL_WINDOWEVENT_DISPLAY_CHANGED:  // perhaps to another refresh rate
        case SDL_WINDOWEVENT_MINIMIZED:        // unseen, swaps may stop waiting for the display
        case SDL_WINDOWEVENT_RESTORED:
          g_cap.Start(RefreshRate(window), g_vsync);
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          ClearKeys();
          break;
        case SDL_WINDOWEVENT_CLOSE:
          CloseWindow(window);
          break;
        default:
          break;
      }
      break;
    case SDL_QUIT:  // the last window closed, or SIGINT/SIGTERM
      CloseWindow(window);
      break;
    default:
      break;
  }
}

// The record of the drive, as --record asks for it: the steps and a line's end.
bool WriteRecord() {
  std::ofstream file(g_options.record, std::ios::binary | std::ios::trunc);
  file << g_loop.Journal() << '\n';
  file.close();
  if (file) return true;
  std::fprintf(stderr, "vortalux: cannot write the drive to %s\n", g_options.record.c_str());
  return false;
}

int Finish(SDL_Window* window, int code) {
  ClosePads();
  SDL_DestroyWindow(window);
  SDL_Quit();
  if (code == kExitStartFailed) return code;
  if (!g_options.record.empty() && !WriteRecord()) return kExitRecordFailed;
  return code;
}

// The SDL video driver: where the session is Wayland, Wayland first, X11 where it cannot be
// opened. SDL 2.26 takes X11 first whenever DISPLAY is set, and through Xwayland a scaled
// desktop gets a picture drawn at its logical size and scaled up.
void ChooseVideoDriver() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (std::getenv("SDL_VIDEODRIVER") != nullptr || wayland == nullptr || wayland[0] == '\0') return;
  if (g_mode == ScreenMode::kClassic) return;  // its 1024x768 switch exists on X11 only
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
}

}  // namespace

int RunSdlShell(const ShellOptions& options) {
  g_options = options;
  g_mode = g_options.mode;
  LoopOptions loop;
  loop.pace = g_mode == ScreenMode::kClassic ? Pace::kPass : Pace::kClock;
  loop.play = g_options.play;
  loop.timedemo = g_options.timedemo;
  loop.timedemoFrames = g_options.frames;
  loop.record = !g_options.record.empty();
  g_loop = DemoLoop(loop);
  ChooseVideoDriver();
  // Windows: every device pixel on every monitor, whatever its scale (the manifest says the same
  // for the whole process); window sizes are then in pixels, as the drawable's are.
  SDL_SetHint(SDL_HINT_WINDOWS_DPI_AWARENESS, "permonitorv2");
  SDL_SetMainReady();  // main() is the platform's own, not SDL2main's (SDL_MAIN_HANDLED)

  // 1. The video subsystem, where Windows registers the window class.
  if (SDL_Init(SDL_INIT_VIDEO) != 0 || !HasDisplay()) {
    ShowError("Failed To Register The Window Class.");
    SDL_Quit();
    return kExitStartFailed;
  }
  FindPictures();
  // The pads are an extra: without them the keyboard still drives.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    std::fprintf(stderr, "Note: no gamepads (SDL: %s)\n", SDL_GetError());
    SDL_ClearError();  // not the reason for any later failure
  }

  // 2. The window, with the pixel format of g_pfd: double-buffered RGBA, at least 16 bits of
  // colour and of depth, nothing else.
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_Window* window = MakeWindow();
  if (window == nullptr) {
    ShowError("Window Creation Error.");
    SDL_Quit();
    return kExitStartFailed;
  }
  CreateContextAndScene(window);

  // 3. The display to 1024x768; the result is not looked at.
  if (g_mode == ScreenMode::kClassic) SwitchTo1024x768(window);

  // 4. and 5.
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  if (g_context != nullptr) SDL_GL_MakeCurrent(window, g_context);

  // 6. One pass per frame, until the quit.
  for (;;) {
    SDL_Event event;
    while (!g_quitPosted && SDL_PollEvent(&event)) HandleEvent(window, event);
    if (g_quitPosted) return Finish(window, g_failed ? kExitStartFailed : kExitQuit);
    PollPads();
    // --classic: up: Advance; left: Steer(1.5); right: Steer(-1.5); draw. Otherwise the steps
    // the clock is worth, drawn between the last two.
    if (!g_loop.Pass(NowMs())) {  // the timedemo's end
      std::printf("%s\n", FiguresLine(g_loop.Figures()).c_str());
      CloseWindow(window);
      return Finish(window, kExitDone);
    }
    SDL_GL_SwapWindow(window);
    if (TakeEscape()) CloseWindow(window);  // held, or tapped during this pass's drain
    AwaitNextFrame();
  }
}
