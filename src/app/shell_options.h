// The SDL program's command line: how it meets the screen (full screen on the desktop, a window,
// or the classic 1024x768 mode switch), what drives it (the keys, a drive played back, the
// timedemo), whether it records the drive, and its help and exit codes. Portable: the shell reads
// the result and prints the texts; nothing here opens a window.
#pragma once

#include <string>
#include <vector>

#include "app/key_steps.h"
#include "app/timedemo.h"

enum class ScreenMode {
  kDesktop,  // full screen at the desktop's own size, no mode switch (no option)
  kWindow,   // a resizable window, F11 and Alt+Enter switch to full screen and back
  kClassic,  // the 1024x768 mode switch, one step per pass: the program as it first was
};

// How the programs end, the same on every platform.
constexpr int kExitDone = 0;          // --help, or the timedemo's end
constexpr int kExitQuit = 1;          // Escape, or the window closed
constexpr int kExitUsage = 2;         // a command line it does not understand
constexpr int kExitStartFailed = 3;   // no display, window, GL context or pixel format
constexpr int kExitRecordFailed = 4;  // the drive could not be written to --record's file

struct ShellOptions {
  enum Outcome { kRun, kHelp, kError };
  Outcome outcome = kRun;
  ScreenMode mode = ScreenMode::kDesktop;
  bool timedemo = false;
  long frames = 0;             // --frames: the timedemo's frames at most; 0 for the whole drive
  std::vector<KeyGroup> play;  // --play's steps; empty without it
  std::string record;          // --record's file; empty without it
  std::string error;           // for kError: what was wrong, one line, without the program's name
};

// Reads argv[1..argc-1] in order. --help or -h stops there with kHelp; an argument that is not an
// option, an option without its value, a malformed --play, a second screen mode after another
// one, --timedemo with --play or --classic, or --frames without --timedemo or outside 1 to
// kMostTimedemoFrames, stops with kError. Giving the same mode twice is
// no conflict.
ShellOptions ParseShellOptions(int argc, const char* const* argv);

// The --help text, every option and exit code included.
std::string ShellUsage();
