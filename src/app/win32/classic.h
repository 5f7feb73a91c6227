// The Windows program as it was first written (classic.cpp), behind --classic: its WinMain body,
// given WinMain's own arguments. Returns its exit code: 1 after Escape or a closed window,
// kExitStartFailed (shell_options.h) when the window, its pixel format or its GL context could not
// be made.
#pragma once

#include <windows.h>

int RunClassic(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
