// The benchmark's command line. Pure; no OpenGL.
#pragma once

#include <string>

#include "frame_target.h"
#include "startup.h"

struct BenchOptions {
  bool json = false;
  TargetKind target = TargetKind::kOffscreen;
  int runs = 5;           // timed demo runs, each paired with a floor run
  int stride = 8;         // draw every stride-th pass of the drive
  long passes = 0;        // the first passes of the drive only; 0 for the whole drive
  int startupRuns = 7;    // start-up probes of each kind; 0 leaves start-up out
  std::string directory;  // where gfx/ is; empty: the folder holding the program
  bool probe = false;     // run as a start-up probe child
  ProbeKind probeKind = ProbeKind::kDemo;
  long leakCheckFrames = 0;  // > 0: the memory check instead of the benchmark
  long rssSlackKb = 1024;    // growth allowed from frame 100 to the last
  bool help = false;
};

// False with a message on a malformed or unknown argument.
bool ParseBenchOptions(int argc, const char* const* argv, BenchOptions* options,
                       std::string* error);
const char* BenchUsage();
