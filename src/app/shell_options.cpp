// The Linux program's command line; see shell_options.h.
#include "app/shell_options.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

constexpr struct {
  const char* name;
  ScreenMode mode;
} kModes[] = {{"--window", ScreenMode::kWindow}, {"--classic", ScreenMode::kClassic}};

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
    const auto* known = std::find_if(std::begin(kModes), std::end(kModes), [arg](const auto& m) {
      return std::strcmp(arg, m.name) == 0;
    });
    if (known == std::end(kModes)) {
      options.outcome = ShellOptions::kError;
      options.error = std::string("unknown option '") + arg + "'";
      return options;
    }
    if (modeGiven != nullptr && known->mode != options.mode) {
      options.outcome = ShellOptions::kError;
      options.error = std::string(modeGiven) + " and " + arg + " cannot be given together";
      return options;
    }
    modeGiven = known->name;
    options.mode = known->mode;
  }
  return options;
}

std::string ShellUsage() {
  return "usage: vortalux [--window | --classic]\n"
         "A 3D driving demo: a vehicle on a generated track that climbs, dips and banks.\n"
         "\n"
         "With no option it fills the screen at the desktop's own size and leaves the screen's\n"
         "mode as it is. The vehicle takes 60 steps a second whatever the display's rate, and\n"
         "every frame is drawn between the last two steps.\n"
         "\n"
         "  --window    start in a window that can be resized\n"
         "  --classic   the program as it first was: the screen switched to 1024x768 (its mode\n"
         "              given back on exit), one step per frame, so the speed follows the frame\n"
         "              rate\n"
         "  -h, --help  this text\n"
         "\n"
         "Keys: Up drives, Left and Right turn, Escape quits. F11 or Alt+Enter switches between\n"
         "a window and full screen (not with --classic).\n";
}
