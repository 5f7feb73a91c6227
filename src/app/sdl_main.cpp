// The Linux shell: the Windows program's behaviour on SDL2. The same steps as win32_main.cpp, in
// the same order: make the window (its "creation" makes the GL context and sets up the scene),
// switch the display to 1024x768, show the window and run the loop: events, up, left, right, draw,
// swap, Escape. Events reach g_keys through sdl_keymap, so the loop reads the Windows key codes.
// Game controllers, which the Windows program never had, drive too: sdl_gamepad opens them as
// they come and feeds their buttons to g_keys once per pass, after the events.
//
// Where the Win32 calls have SDL counterparts:
//   RegisterClassA              SDL_Init(SDL_INIT_VIDEO), with a display to show the window on
//   CreateWindowExA (WS_POPUP)  SDL_CreateWindow, borderless at (0,0), 1024x768, created hidden
//   ChoosePixelFormat           GL attributes before the window: double-buffered RGBA, depth >= 16;
//                               checked once the context is current
//   wglCreateContext/MakeCurrent  SDL_GL_CreateContext / SDL_GL_MakeCurrent
//   ChangeDisplaySettingsA      SDL_SetWindowDisplayMode (closest to 1024x768) + fullscreen; SDL
//                               gives the desktop mode back on close, on exit and on focus loss
//   WM_SIZE / WM_CLOSE          SDL_WINDOWEVENT_SIZE_CHANGED / SDL_WINDOWEVENT_CLOSE and SDL_QUIT
//   WM_KILLFOCUS                SDL_WINDOWEVENT_FOCUS_LOST: every key released
//   PostQuitMessage             g_quitPosted, seen by the next drain of the events
// Start-up failures show the Windows program's texts in an SDL message box and on standard error;
// the process exits with WinMain's codes: 0 when the window cannot be made, 1 when the loop ends.
// Vertical sync is requested, as on Windows; a failure (no vertical blank on Xvfb) is harmless.
//
// Only this file and the sdl_* borders of the program include SDL.
#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "app/frame_pass.h"
#include "app/key_table.h"
#include "app/sdl_gamepad.h"
#include "app/sdl_keymap.h"
#include "scene/scene.h"

namespace {

SDL_GLContext g_context = nullptr;
bool g_quitPosted = false;

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
}

void Resize(SDL_Window* window) {
  int width = 0;
  int height = 0;
  SDL_GL_GetDrawableSize(window, &width, &height);
  ResizeScene(width, height);
}

// WM_CREATE: the context, the scene, the cursor and the vehicle's first step.
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
  SDL_GL_SetSwapInterval(1);
  InitScene();
  SDL_ShowCursor(SDL_DISABLE);
  g_vehicle.Advance();  // settles the camera on the freshly built track
  Resize(window);       // the size report Windows sends after WM_CREATE; SDL sends none
}

// WM_CLOSE and WM_DESTROY: the display mode and the cursor back, the context deleted, quit.
void CloseWindow(SDL_Window* window) {
  SDL_SetWindowFullscreen(window, 0);  // back to the desktop's display mode
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
      int key = WindowsKeyFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
      if (key != 0) SetKey(key, event.type == SDL_KEYDOWN ? 1 : 0);
      break;
    }
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          if (g_context != nullptr) Resize(window);
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

int Finish(SDL_Window* window, int code) {
  ClosePads();
  SDL_DestroyWindow(window);
  SDL_Quit();
  return code;
}

}  // namespace

int main(int, char**) {
  // 1. The video subsystem, where Windows registers the window class.
  if (SDL_Init(SDL_INIT_VIDEO) != 0 || !HasDisplay()) {
    ShowError("Failed To Register The Window Class.");
    SDL_Quit();
    return 0;
  }
  // The pads are an extra: without them the keyboard still drives.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    std::fprintf(stderr, "Note: no gamepads (SDL: %s)\n", SDL_GetError());
    SDL_ClearError();  // not the reason for any later failure
  }

  // 2. The borderless 1024x768 window at (0,0), with the pixel format of g_pfd: double-buffered
  // RGBA, at least 16 bits of colour and of depth, nothing else.
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
  SDL_Window* window = SDL_CreateWindow(
      "Vortalux", 0, 0, 1024, 768, SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  if (window == nullptr) {
    ShowError("Window Creation Error.");
    SDL_Quit();
    return 0;
  }
  CreateContextAndScene(window);

  // 3. The display to the mode closest to 1024x768; the result is not looked at.
  SDL_DisplayMode wanted = {};
  wanted.w = 1024;
  wanted.h = 768;
  SDL_DisplayMode closest;
  int display = SDL_GetWindowDisplayIndex(window);
  if (SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &wanted, &closest) != nullptr) {
    SDL_SetWindowDisplayMode(window, &closest);
  }
  SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);

  // 4. and 5.
  SDL_ShowWindow(window);
  SDL_RaiseWindow(window);
  if (g_context != nullptr) SDL_GL_MakeCurrent(window, g_context);

  // 6. One pass per frame, until the quit.
  for (;;) {
    SDL_Event event;
    while (!g_quitPosted && SDL_PollEvent(&event)) HandleEvent(window, event);
    if (g_quitPosted) return Finish(window, 1);
    PollPads();
    ApplyHeldKeys(g_keys, g_vehicle);  // up: Advance; left: Steer(1.5); right: Steer(-1.5)
    DrawScene();
    SDL_GL_SwapWindow(window);
    if (TakeEscape()) CloseWindow(window);  // held, or tapped during this pass's drain
  }
}
