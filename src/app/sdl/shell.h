// The SDL shell (sdl/main.cpp) as a function, so that each platform's entry point reads its own
// command line and then runs it: main() on Linux (sdl/linux_main.cpp), the project's WinMain on
// Windows (win32/main.cpp). Includes no SDL header.
#pragma once

#include "app/shell_options.h"

// Runs the demo with options whose outcome is ShellOptions::kRun, and returns the process's exit
// code (shell_options.h). Prints the timedemo's figures on standard output and start-up failures
// on standard error as well as in a message box.
int RunSdlShell(const ShellOptions& options);
