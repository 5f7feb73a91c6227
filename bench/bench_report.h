// The benchmark's figures and how they are summed up and printed: medians over runs, the frame
// ratio and the start-up difference, as plain lines or as one JSON object. Pure; no OpenGL.
#pragma once

#include <string>
#include <vector>

// The most the demo's frame may cost against the floor's, and the most its start-up may add.
constexpr double kFrameRatioTarget = 1.5;
constexpr double kStartupExtraTargetMs = 50.0;

struct BenchFigures {
  std::string target;  // how frames were drawn and presented
  int width = 0;
  int height = 0;
  long framesPerRun = 0;
  // One entry per run; the demo and floor runs with the same index ran back to back.
  std::vector<double> demoFps;
  std::vector<double> floorFps;
  std::vector<double> demoDrawMs;  // milliseconds inside DrawScene per demo frame
  std::vector<double> startupDemoMs;
  std::vector<double> startupFloorMs;
};

struct BenchSummary {
  double demoFps = 0.0;
  double floorFps = 0.0;
  double demoDrawMs = 0.0;
  // Demo frame time over floor frame time: the median of the runs' own ratios, so that a change
  // of load between runs cancels out within each pair.
  double ratio = 0.0;
  double startupDemoMs = 0.0;
  double startupFloorMs = 0.0;
  double startupExtraMs = 0.0;  // median of the pairs' differences, demo minus floor
  bool frameTargetMet = false;
  bool startupTargetMet = false;
};

// The middle value, or the mean of the two middle values; 0 for no values.
double Median(std::vector<double> values);
BenchSummary Summarise(const BenchFigures& figures);
std::string PlainReport(const BenchFigures& figures, const BenchSummary& summary);
std::string JsonReport(const BenchFigures& figures, const BenchSummary& summary);
