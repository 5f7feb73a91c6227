// The SDL program's command line; see shell_options.h.
#include "app/shell_options.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

constexpr struct {
  const char* name;
  ScreenMode mode;
} kModes[] = {{"--window", ScreenMode::kWindow}, {"--classic", ScreenMode::kClassic}};

ShellOptions Refuse(std::string error) {
  ShellOptions options;
  options.outcome = ShellOptions::kError;
  options.error = std::move(error);
  return options;
}

// A whole number from 1 to most, digits only: no sign, no space, nothing after it.
bool Count(const char* digits, long most, long* value) {
  const size_t length = std::strlen(digits);
  if (length == 0 || length > 9 || std::strspn(digits, "0123456789") != length) return false;
  *value = std::strtol(digits, nullptr, 10);
  return *value >= 1 && *value <= most;
}

}  // namespace

ShellOptions ParseShellOptions(int argc, const char* const* argv) {
  ShellOptions options;
  const char* modeGiven = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options.outcome = ShellOptions::kHelp;
      return options;
    }
    if (std::strcmp(arg, "--timedemo") == 0) {
      options.timedemo = true;
      continue;
    }
    if (std::strcmp(arg, "--frames") == 0) {
      if (i + 1 == argc) return Refuse("--frames needs a value");
      const char* value = argv[++i];
      if (!Count(value, kMostTimedemoFrames, &options.frames)) {
        return Refuse(std::string("--frames '") + value + "' is not a whole number from 1 to " +
                      std::to_string(kMostTimedemoFrames));
      }
      continue;
    }
    if (std::strcmp(arg, "--play") == 0 || std::strcmp(arg, "--record") == 0) {
      if (i + 1 == argc) return Refuse(std::string(arg) + " needs a value");
      const char* value = argv[++i];
      if (arg[2] == 'r') {
        if (value[0] == '\0') return Refuse("--record needs a file name");
        options.record = value;
        continue;
      }
      std::string why;
      if (!ParseKeySteps(value, &options.play, &why)) return Refuse("--play: " + why);
      continue;
    }
    const auto* known = std::find_if(std::begin(kModes), std::end(kModes), [arg](const auto& m) {
      return std::strcmp(arg, m.name) == 0;
    });
    if (known == std::end(kModes)) return Refuse(std::string("unknown option '") + arg + "'");
    if (modeGiven != nullptr && known->mode != options.mode) {
      return Refuse(std::string(modeGiven) + " and " + arg + " cannot be given together");
    }
    modeGiven = known->name;
    options.mode = known->mode;
  }
  if (options.timedemo && options.mode == ScreenMode::kClassic) {
    return Refuse("--timedemo and --classic cannot be given together");
  }
  if (options.timedemo && !options.play.empty()) {
    return Refuse("--timedemo and --play cannot be given together");
  }
  if (options.frames > 0 && !options.timedemo) return Refuse("--frames is for --timedemo");
  return options;
}

std::string ShellUsage() {
  return "usage: vortalux [--window | --classic] [--timedemo [--frames N] | --play STEPS]\n"
         "                [--record FILE]\n"
         "A 3D driving demo: a vehicle on a generated track that climbs, dips and banks.\n"
         "\n"
         "With no option it fills the screen at the desktop's own size, at every pixel, and\n"
         "leaves the screen's mode as it is. The vehicle takes 60 steps a second whatever the\n"
         "display's rate (on a 144 Hz display too), and every frame is drawn between the last\n"
         "two steps.\n"
         "\n"
         "  --window        start in a window that can be resized\n"
         "  --classic       the original 1024x768 program: the screen switched to 1024x768\n"
         "                  (its mode given back on exit), one step per frame, so the speed\n"
         "                  follows the frame rate (2.4 times as fast at 144 Hz as at 60)\n"
         "  --timedemo      drive the whole track, one step a frame as fast as the machine\n"
         "                  draws, then print the frames, seconds, frames per second and the\n"
         "                  frame times (median, 99th percentile, max), and exit\n"
         "  --frames N      the timedemo's first N frames only (1 to 1000000)\n"
         "  --play STEPS    play a drive back at 60 steps a second, such as\n"
         "                  'up*690 left*8 up*10' (up, left, right, none, joined by '+'); the\n"
         "                  keys drive after it\n"
         "  --record FILE   write the drive taken to FILE when the program ends, in --play's\n"
         "                  syntax\n"
         "  -h, --help      this text\n"
         "\n"
         "Keys: Up drives, Left and Right turn, Escape quits. F11 or Alt+Enter switches between\n"
         "a window and full screen (not with --classic). A gamepad drives too.\n"
         "\n"
         "Exit codes: 0 after --help or the timedemo, 1 after Escape or closing the window,\n"
         "2 for a command line it does not understand, 3 when it cannot start (no display,\n"
         "window, OpenGL context or pixel format), 4 when --record's file cannot be written.\n";
}
