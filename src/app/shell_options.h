// The Linux program's command line: how it meets the screen (full screen on the desktop, a
// window, or the classic 1024x768 mode switch) and its help. Portable: the shell reads the result
// and prints the texts; nothing here opens a window.
#pragma once

#include <string>

enum class ScreenMode {
  kDesktop,  // full screen at the desktop's own size, no mode switch (no option)
  kWindow,   // a resizable window, F11 and Alt+Enter switch to full screen and back
  kClassic,  // the 1024x768 mode switch, one step per pass: the program as it first was
};

struct ShellOptions {
  enum Outcome { kRun, kHelp, kError };
  Outcome outcome = kRun;
  ScreenMode mode = ScreenMode::kDesktop;
  std::string error;  // for kError: what was wrong, one line, without the program's name
};

// Reads argv[1..argc-1] in order. --help or -h stops there with kHelp; an argument that is not an
// option, or a second screen mode after another one, stops with kError. Giving the same mode
// twice is no conflict.
ShellOptions ParseShellOptions(int argc, const char* const* argv);

// The --help text, every option included.
std::string ShellUsage();
