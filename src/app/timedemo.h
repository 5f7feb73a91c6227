// The timedemo: the demo's own fixed drive from the start gate to the finish, played one step a
// frame as fast as the machine draws it, and the figures it ends with. Straight runs alternate
// with full turns to both heading limits, held there while the vehicle scrapes along an edge, so
// the drive sees the climbs, both limits and the finish. Portable; needs no OpenGL.
#pragma once

#include <string>
#include <vector>

#include "app/key_table.h"

class Vehicle;

// The most frames a timed run may be limited to: the program's --frames, the page's &frames.
constexpr long kMostTimedemoFrames = 1000000;

// The arrows held on the given step (0-based). The script repeats with no end of its own: the
// drive ends when the vehicle reaches the finish (DriveFinished).
Arrows DriveArrowsAt(long step);

// True once the vehicle stands at the far limit of its track, in front of the finish gate.
bool DriveFinished(const Vehicle& vehicle);

// Puts the vehicle back where the program starts it (progress 1, heading 180, centre line), then
// makes the first step the program makes after set-up, onto its built track.
void ResetToStart(Vehicle& vehicle);

// How many steps the drive takes from ResetToStart to the finish on the vehicle's track, plus the
// steps it lingers there; 0 when the track is empty. It drives the vehicle itself (a copy would
// delete the shared textures when destroyed) and leaves it reset to the start.
long DriveStepCount(Vehicle& vehicle);

// What a timed run of frames comes to. Each frame's time runs from the start of its pass to the
// start of the next, so it holds the drawing, the swap and whatever the shell waited for.
struct FrameFigures {
  long frames = 0;
  double seconds = 0;
  double fps = 0;
  double medianMs = 0;
  double p99Ms = 0;  // the frame time that 99% of the frames do not exceed
  double maxMs = 0;
};

FrameFigures SumUpFrames(std::vector<double> frameMs);

// One line: "timedemo: 4566 frames in 12.34 s, 300.1 frames/s; frame time median 3.21 ms,
// 99th percentile 5.43 ms, max 9.87 ms".
std::string FiguresLine(const FrameFigures& figures);
