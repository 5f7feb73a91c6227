// Command-line parsing; see bench_options.h.
#include "bench_options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

bool ParseCount(const char* text, long low, long high, long* value) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

}  // namespace

const char* BenchUsage() {
  return "usage: vortalux-bench [--json] [--window] [--runs N] [--stride N] [--passes N]\n"
         "                      [--startup-runs N] [--dir DIR]\n"
         "       vortalux-bench --leak-check FRAMES [--rss-slack-kb KB] [--window] [--dir DIR]\n"
         "Times the demo's frame at 1024x768 over a scripted drive of the whole track against a\n"
         "bare loop (clear, one full-screen quad with a texture of the sky's size, present) in\n"
         "the same run, and start-up to the first frame of both, as medians of several runs.\n"
         "  --json            one JSON object instead of plain lines\n"
         "  --window          an SDL2 window (needs a display, e.g. Xvfb) instead of offscreen "
         "EGL\n"
         "  --runs N          timed runs of each loop (default 5)\n"
         "  --stride N        draw every N-th pass of the drive (default 8; 1 draws every pass)\n"
         "  --passes N        only the drive's first N passes (as the browser page's frames=N)\n"
         "  --startup-runs N  start-up probes of each kind (default 7; 0 skips start-up)\n"
         "  --dir DIR         folder holding gfx/ (default: the program's folder)\n"
         "  --leak-check N    drive N frames and compare the heap in use and resident memory at\n"
         "                    frame 100 and N; exit 1 when either grew by more than\n"
         "                    --rss-slack-kb (default 1024)\n";
}

bool ParseBenchOptions(int argc, const char* const* argv, BenchOptions* options,
                       std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
    long value = 0;
    auto count = [&](long low, long high) {
      if (!ParseCount(next, low, high, &value)) {
        *error = std::string(arg) + " needs a whole number from " + std::to_string(low) + " to " +
                 std::to_string(high);
        return false;
      }
      ++i;
      return true;
    };
    if (std::strcmp(arg, "--json") == 0) {
      options->json = true;
    } else if (std::strcmp(arg, "--window") == 0) {
      options->target = TargetKind::kWindow;
    } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
      options->help = true;
    } else if (std::strcmp(arg, "--runs") == 0) {
      if (!count(1, 1000)) return false;
      options->runs = static_cast<int>(value);
    } else if (std::strcmp(arg, "--stride") == 0) {
      if (!count(1, 100000)) return false;
      options->stride = static_cast<int>(value);
    } else if (std::strcmp(arg, "--passes") == 0) {
      if (!count(1, 100000000)) return false;
      options->passes = value;
    } else if (std::strcmp(arg, "--startup-runs") == 0) {
      if (!count(0, 1000)) return false;
      options->startupRuns = static_cast<int>(value);
    } else if (std::strcmp(arg, "--leak-check") == 0) {
      if (!count(101, 100000000)) return false;
      options->leakCheckFrames = value;
    } else if (std::strcmp(arg, "--rss-slack-kb") == 0) {
      if (!count(0, 100000000)) return false;
      options->rssSlackKb = value;
    } else if (std::strcmp(arg, "--dir") == 0) {
      if (next == nullptr) {
        *error = "--dir needs a folder";
        return false;
      }
      options->directory = next;
      ++i;
    } else if (std::strcmp(arg, "--startup-probe") == 0) {
      if (next == nullptr || (std::strcmp(next, "demo") != 0 && std::strcmp(next, "floor") != 0)) {
        *error = "--startup-probe needs demo or floor";
        return false;
      }
      options->probe = true;
      options->probeKind = std::strcmp(next, "demo") == 0 ? ProbeKind::kDemo : ProbeKind::kFloor;
      ++i;
    } else {
      *error = std::string("unknown argument: ") + arg;
      return false;
    }
  }
  return true;
}
