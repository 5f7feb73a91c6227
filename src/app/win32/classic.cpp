// The Windows program as it was first written, run by --classic: RunClassic, its WinMain body,
// registers "OpenGL WinClass", creates the borderless 1024x768 window "Vortalux" (whose
// WM_CREATE makes the WGL context and sets up the scene), switches the display to 1024x768 and
// runs the loop: messages, up, left, right, draw, swap, Escape. WndProc fills g_keys, reprojects
// on WM_SIZE and, on WM_CLOSE or WM_DESTROY, restores the display mode and the cursor and deletes
// the context. Nothing of SDL runs on this path; the entry point (main.cpp) calls RunClassic with
// WinMain's own arguments.
//
// Five small changes for today's machines (each marked "Change:" below):
// key codes of 256 or more are ignored (SetKey); a tap of Escape whose press and release come in
// the same drain still ends the program (TakeEscape); WM_KILLFOCUS releases every key, so no arrow
// stays held after Alt+Tab; vertical sync is requested through WGL_EXT_swap_control where the
// driver offers it, since with no clock the speed follows the frame rate; and the executable
// carries a manifest declaring DPI awareness (vortalux.rc), so Windows does not scale the picture.
// A start-up failure ends the process with kExitStartFailed, as every shell's does, where the
// original returned 0 or, through the quit message, 1: g_startFailed remembers it.
#include <windows.h>

#include <cstddef>
#include <cstring>

#include "app/frame_pass.h"
#include "app/key_table.h"
#include "app/shell_options.h"
#include "app/win32/classic.h"
#include "scene/scene.h"

HDC g_hDC = NULL;
HGLRC g_hRC = NULL;
bool g_startFailed = false;  // a failure inside window creation: the quit ends with 3
// clang-format off
PIXELFORMATDESCRIPTOR g_pfd = {
    sizeof(PIXELFORMATDESCRIPTOR),                               // nSize: 40
    1,                                                           // nVersion
    PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER,  // dwFlags
    PFD_TYPE_RGBA,                                               // iPixelType
    16,                                                          // cColorBits
    0, 0, 0, 0, 0, 0,  // red, green, blue bits and shifts: any
    0, 0,              // no alpha buffer
    0, 0, 0, 0, 0,     // no accumulation buffer
    16,                // cDepthBits
    0,                 // no stencil buffer
    0,                 // no auxiliary buffers
    PFD_MAIN_PLANE,    // iLayerType (0)
    0, 0, 0, 0,        // bReserved, dwLayerMask, dwVisibleMask, dwDamageMask
};
// clang-format on

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "nSize is 40");
// The DEVMODEA this program was written for is 148 bytes: today's headers add the two panning
// fields at its end (WINVER 0x0500). dmSize tells Windows which version it is given, so 148 is
// still understood.
constexpr WORD kDevModeSize = 148;
static_assert(offsetof(DEVMODEA, dmPanningWidth) == kDevModeSize,
              "dmSize 148 ends before the panning fields");
static_assert(VK_ESCAPE == kKeyEscape && VK_LEFT == kKeyLeft && VK_UP == kKeyUp &&
                  VK_RIGHT == kKeyRight && VK_DOWN == kKeyDown,
              "key_table.h names the Windows virtual-key codes");

namespace {

// Change: asks for one vertical blank per swap when the driver lists WGL_EXT_swap_control. The
// function pointers exist only while a context is current, so this runs right after
// wglMakeCurrent. The result is not looked at: a driver may override the request.
void RequestVerticalSync() {
  typedef const char*(WINAPI * ExtensionsStringExt)(void);
  typedef const char*(WINAPI * ExtensionsStringArb)(HDC);
  typedef BOOL(WINAPI * SwapIntervalExt)(int);

  const char* extensions = NULL;
  if (PROC arb = wglGetProcAddress("wglGetExtensionsStringARB")) {
    extensions = reinterpret_cast<ExtensionsStringArb>(reinterpret_cast<void*>(arb))(g_hDC);
  } else if (PROC ext = wglGetProcAddress("wglGetExtensionsStringEXT")) {
    extensions = reinterpret_cast<ExtensionsStringExt>(reinterpret_cast<void*>(ext))();
  }
  if (extensions == NULL || std::strstr(extensions, "WGL_EXT_swap_control") == NULL) return;
  if (PROC proc = wglGetProcAddress("wglSwapIntervalEXT")) {
    reinterpret_cast<SwapIntervalExt>(reinterpret_cast<void*>(proc))(1);
  }
}

// A failure while the window is being created: an error message box, then a quit message that
// ends the loop in its first pass. Window creation itself goes on.
LRESULT FailCreate(const char* text) {
  MessageBoxA(NULL, text, "Error", MB_ICONERROR);
  g_startFailed = true;
  PostQuitMessage(0);
  return 0;
}

}  // namespace

LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      g_hDC = GetDC(hwnd);
      int format = ChoosePixelFormat(g_hDC, &g_pfd);
      if (format == 0) return FailCreate("Can't Find A Suitable PixelFormat.");
      if (!SetPixelFormat(g_hDC, format, &g_pfd)) return FailCreate("Can't Set The PixelFormat.");
      g_hRC = wglCreateContext(g_hDC);
      if (g_hRC == NULL) return FailCreate("Can't Create A GL Rendering Context.");
      if (!wglMakeCurrent(g_hDC, g_hRC)) return FailCreate("Can't Activate GLRC.");
      RequestVerticalSync();
      RECT rect;
      GetClientRect(hwnd, &rect);  // InitScene does not use the size
      InitScene();
      ShowCursor(FALSE);
      g_vehicle.Advance();  // settles the camera on the freshly built track
      return 0;
    }

    case WM_CLOSE:
    case WM_DESTROY:
      ChangeDisplaySettingsA(NULL, 0);  // back to the stored display mode
      ShowCursor(TRUE);
      wglMakeCurrent(g_hDC, NULL);
      wglDeleteContext(g_hRC);
      ReleaseDC(hwnd, g_hDC);
      PostQuitMessage(0);
      return 0;  // WM_CLOSE does not reach DefWindowProcA: the window lives until the process ends

    case WM_SIZE:
      ResizeScene(LOWORD(lParam), HIWORD(lParam));
      return 0;

    case WM_KEYDOWN:
      SetKey(wParam, 1);  // Change: a code of 256 or more is ignored
      return 0;

    case WM_KEYUP:
      SetKey(wParam, 0);
      return 0;

    case WM_KILLFOCUS:
      ClearKeys();  // Change: the key-up of a key held now goes to the window that takes the focus
      break;

    default:
      break;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

int RunClassic(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  (void)hPrevInstance;
  (void)lpCmdLine;
  (void)nCmdShow;

  // 1. The window class.
  WNDCLASSA windowClass;
  windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
  windowClass.lpfnWndProc = WndProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = hInstance;
  windowClass.hIcon = NULL;
  windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
  windowClass.hbrBackground = NULL;
  windowClass.lpszMenuName = NULL;
  windowClass.lpszClassName = "OpenGL WinClass";
  if (!RegisterClassA(&windowClass)) {
    MessageBoxA(NULL, "Failed To Register The Window Class.", "Error", MB_ICONERROR);
    return kExitStartFailed;
  }

  // 2. The window; WndProc's WM_CREATE runs inside this call.
  HWND hwnd = CreateWindowExA(0, "OpenGL WinClass", "Vortalux",
                              WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 1024, 768, NULL,
                              NULL, hInstance, NULL);
  if (hwnd == NULL) {
    MessageBoxA(NULL, "Window Creation Error.", "Error", MB_ICONERROR);
    return kExitStartFailed;
  }

  // 3. The display to 1024x768; colour depth and refresh rate are left as they are.
  DEVMODEA mode;
  std::memset(&mode, 0, sizeof(mode));
  mode.dmSize = kDevModeSize;
  mode.dmPelsWidth = 1024;
  mode.dmPelsHeight = 768;
  mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
  ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN);

  // 4. and 5.
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  SetFocus(hwnd);
  wglMakeCurrent(g_hDC, g_hRC);

  // 6. One pass per frame, without end.
  MSG msg;
  for (;;) {
    while (PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE)) {
      if (GetMessageA(&msg, NULL, 0, 0) == 0) {  // the quit message
        return g_startFailed ? kExitStartFailed : kExitQuit;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    ApplyHeldKeys(g_keys, g_vehicle);  // up: Advance; left: Steer(1.5); right: Steer(-1.5)
    DrawScene();
    SwapBuffers(g_hDC);
    if (TakeEscape()) SendMessageA(hwnd, WM_CLOSE, 0, 0);  // Change: a tap counts
  }
}
