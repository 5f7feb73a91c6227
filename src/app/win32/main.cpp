// The Windows program's one entry point. WinMain reads the command line (shell_options.h), and
// then runs either the SDL shell (sdl/shell.h), full screen on the desktop at every device pixel
// by default, or with --classic the original Win32 program (classic.h) with WinMain's own
// arguments, where nothing of SDL is initialised. main() is not SDL2main's: SDL_MAIN_HANDLED.
//
// A GUI program has no console of its own, so --help, a command line it does not understand and
// the timedemo's figures reach the person the way they can: through the standard handle if it was
// redirected (a file or a pipe: `vortalux --help > help.txt`), else through the console of the
// program it was started from (cmd or PowerShell) if it has one, else, for --help and a refusal,
// in a message box. The exit codes are the Linux program's.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/sdl/shell.h"
#include "app/shell_options.h"
#include "app/win32/classic.h"

namespace {

// A standard handle that leads somewhere: a file, a pipe or a character device such as NUL.
bool Redirected(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle != NULL && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// stdout and stderr where they were not redirected go to the console of the parent process, if
// it has one. True when both now reach someone.
bool ConnectStandardStreams() {
  const bool out = Redirected(STD_OUTPUT_HANDLE);
  const bool err = Redirected(STD_ERROR_HANDLE);
  if (out && err) return true;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  if (!out && std::freopen("CONOUT$", "w", stdout) == nullptr) return false;
  if (!err && std::freopen("CONOUT$", "w", stderr) == nullptr) return false;
  return true;
}

// --help and the refusal of a command line: on the stream, or in a message box where no stream
// reaches anyone.
int Tell(bool streams, std::FILE* stream, const std::string& text, UINT icon, int code) {
  if (streams) {
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
  } else {
    MessageBoxA(NULL, text.c_str(), "Vortalux", icon);
  }
  return code;
}

// The frame cap (frame_cap.h) waits with std::this_thread::sleep_for, which sleeps in whole
// milliseconds on Windows, and Windows wakes a sleeping thread only on its timer's tick: ~15.6 ms
// by default, a whole frame at 60 Hz. timeBeginPeriod(1) makes the tick 1 ms for as long as the
// program runs (SDL asks for the same by default; requests are counted, so each ends its own).
class FineTimer {
 public:
  FineTimer() : granted_(timeBeginPeriod(1) == TIMERR_NOERROR) {}
  ~FineTimer() {
    if (granted_) timeEndPeriod(1);
  }
  FineTimer(const FineTimer&) = delete;
  FineTimer& operator=(const FineTimer&) = delete;

 private:
  bool granted_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
  // The C runtime has split the command line already, in the ANSI code page that the standard
  // library's narrow file names (--record FILE) are read in.
  const ShellOptions options = ParseShellOptions(__argc, __argv);
  const bool streams = ConnectStandardStreams();
  if (options.outcome == ShellOptions::kHelp) {
    return Tell(streams, stdout, ShellUsage(), MB_ICONINFORMATION, kExitDone);
  }
  std::string refusal = options.error;
  // The original program has no clock, so nothing to play a drive back on or record it with.
  if (options.outcome == ShellOptions::kRun && options.mode == ScreenMode::kClassic &&
      (!options.play.empty() || !options.record.empty())) {
    refusal = "--play and --record cannot be given with --classic on Windows";
  }
  if (options.outcome == ShellOptions::kError || !refusal.empty()) {
    return Tell(streams, stderr,
                "vortalux: " + refusal + "\nTry 'vortalux --help' for the options.\n", MB_ICONERROR,
                kExitUsage);
  }
  if (options.mode == ScreenMode::kClassic) {
    return RunClassic(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
  }
  FineTimer timer;
  return RunSdlShell(options);
}
