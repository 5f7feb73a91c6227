// vortalux-bench: the frame benchmark, the start-up probes and the long-drive memory check. See
// BenchUsage (bench_options.cpp) for what it measures and how it reports.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "app/timedemo.h"
#include "bench_options.h"
#include "bench_report.h"
#include "frame_loops.h"
#include "frame_target.h"
#include "leak_check.h"
#include "scene/scene.h"
#include "startup.h"

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr long kWarmUpFrames = 30;

std::string ProgramPath() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return std::string();
  path[n] = '\0';
  return path;
}

// The pictures are read from gfx/ under the working directory, as the program reads them.
bool EnterDirectory(const BenchOptions& options, const std::string& program) {
  std::string directory = options.directory;
  if (directory.empty()) directory = program.substr(0, program.find_last_of('/') + 1);
  if (directory.empty() || chdir(directory.c_str()) == 0) return true;
  std::fprintf(stderr, "vortalux-bench: cannot enter %s\n", directory.c_str());
  return false;
}

// The scene as the program sets it up, before its first frame.
void SetUpScene() {
  InitScene();
  ResizeScene(kWidth, kHeight);
  g_vehicle.Advance();
}

int LeakCheck(const BenchOptions& options) {
  FrameTarget target(options.target, kWidth, kHeight);
  if (!target.ok()) {
    std::fprintf(stderr, "vortalux-bench: %s\n", target.error());
    return 2;
  }
  SetUpScene();
  const LeakCheckResult result = RunLeakCheck(target, options.leakCheckFrames);
  const long slack = options.rssSlackKb;
  const bool heapFlat = result.at100.heapKb >= 0 && result.HeapGrowthKb() <= slack;
  std::printf(
      "heap in use: %ld kB at frame 100, %ld kB at frame %ld, growth %ld kB (allowed %ld "
      "kB): %s\n",
      result.at100.heapKb, result.atEnd.heapKb, result.frames, result.HeapGrowthKb(), slack,
      heapFlat ? "flat" : "GREW");
  bool residentFlat = true;
  if (ResidentSetIsMeaningful()) {
    residentFlat = result.at100.residentKb > 0 && result.ResidentGrowthKb() <= slack;
    std::printf(
        "resident anonymous memory: %ld kB at frame 100, %ld kB at frame %ld, growth %ld kB "
        "(allowed %ld kB): %s\n",
        result.at100.residentKb, result.atEnd.residentKb, result.frames, result.ResidentGrowthKb(),
        slack, residentFlat ? "flat" : "GREW");
  } else {
    std::printf(
        "resident anonymous memory: %ld kB at frame 100, %ld kB at frame %ld (not judged: "
        "AddressSanitizer's quarantine holds freed blocks)\n",
        result.at100.residentKb, result.atEnd.residentKb, result.frames);
  }
  return heapFlat && residentFlat ? 0 : 1;
}

bool MeasureStartup(const BenchOptions& options, const std::string& program,
                    BenchFigures* figures) {
  // Alternating kinds, so a change of load between starts falls on both alike.
  for (int i = 0; i < options.startupRuns; ++i) {
    const double demo = TimeStartup(program.c_str(), ProbeKind::kDemo, options.target);
    const double floor = TimeStartup(program.c_str(), ProbeKind::kFloor, options.target);
    if (demo < 0.0 || floor < 0.0) {
      std::fprintf(stderr, "vortalux-bench: a start-up probe failed\n");
      return false;
    }
    figures->startupDemoMs.push_back(demo);
    figures->startupFloorMs.push_back(floor);
  }
  return true;
}

bool MeasureFrames(const BenchOptions& options, BenchFigures* figures) {
  FrameTarget target(options.target, kWidth, kHeight);
  if (!target.ok()) {
    std::fprintf(stderr, "vortalux-bench: %s\n", target.error());
    return false;
  }
  SetUpScene();
  FloorScene floor;
  if (!floor.Load("gfx/Sky.bmp")) {
    std::fprintf(stderr, "vortalux-bench: cannot read gfx/Sky.bmp for the floor\n");
    return false;
  }
  const long drive = DriveStepCount(g_vehicle);
  const long passes = options.passes > 0 && options.passes < drive ? options.passes : drive;
  if (passes == 0) {
    std::fprintf(stderr, "vortalux-bench: the track was not built\n");
    return false;
  }
  figures->target = target.Describe();
  figures->width = kWidth;
  figures->height = kHeight;

  // Warm-up: the first frames compile shaders and fault pages in.
  RunDemoDrive(target, kWarmUpFrames * options.stride, options.stride);
  RunFloor(target, floor, kWarmUpFrames);
  // The order flips each run, so neither loop always runs on a warmer or a busier machine.
  for (int run = 0; run < options.runs; ++run) {
    LoopTiming demo;
    LoopTiming bare;
    if (run % 2 == 0) {
      demo = RunDemoDrive(target, passes, options.stride);
      bare = RunFloor(target, floor, demo.frames);
    } else {
      const long frames = (passes + options.stride - 1) / options.stride;
      bare = RunFloor(target, floor, frames);
      demo = RunDemoDrive(target, passes, options.stride);
    }
    figures->framesPerRun = demo.frames;
    figures->demoFps.push_back(demo.FramesPerSecond());
    figures->floorFps.push_back(bare.FramesPerSecond());
    figures->demoDrawMs.push_back(demo.frames > 0 ? demo.drawSeconds * 1000.0 / demo.frames : 0.0);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  BenchOptions options;
  std::string error;
  if (!ParseBenchOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "vortalux-bench: %s\n%s", error.c_str(), BenchUsage());
    return 2;
  }
  if (options.help) {
    std::fputs(BenchUsage(), stdout);
    return 0;
  }
  if (options.target == TargetKind::kWindow && !WindowTargetAvailable()) {
    std::fprintf(stderr, "vortalux-bench: this build has no window support (no SDL2)\n");
    return 2;
  }
  // A probe inherits its parent's working directory.
  if (options.probe) return RunStartupProbe(options.probeKind, options.target);

  const std::string program = ProgramPath();
  if (!EnterDirectory(options, program)) return 2;
  if (options.leakCheckFrames > 0) return LeakCheck(options);

  BenchFigures figures;
  // Start-up first, while this process holds no context of its own.
  if (!MeasureStartup(options, program, &figures)) return 2;
  if (!MeasureFrames(options, &figures)) return 2;
  const BenchSummary summary = Summarise(figures);
  const std::string report =
      options.json ? JsonReport(figures, summary) : PlainReport(figures, summary);
  std::fputs(report.c_str(), stdout);
  return 0;
}
