// Start-up time: from the moment the benchmark starts a fresh process to that process's first
// presented frame. The child is this same program run as a probe (--startup-probe demo|floor), so
// both measurements pay the same process start and library loading; the demo's probe does what
// the program does before its first frame (InitScene: the four pictures and the track), the
// floor's loads its one picture. Linux only: the two ends are read from CLOCK_MONOTONIC, which
// every process shares.
#pragma once

#include "frame_target.h"

enum class ProbeKind { kDemo, kFloor };

// In the child: sets up, presents one frame, writes the clock's reading in nanoseconds on
// standard output. Returns the process's exit code.
int RunStartupProbe(ProbeKind probe, TargetKind target);

// In the parent: starts `program --startup-probe ...` and returns the milliseconds from just
// before the start to the child's first frame, or a negative number when the probe failed.
double TimeStartup(const char* program, ProbeKind probe, TargetKind target);
