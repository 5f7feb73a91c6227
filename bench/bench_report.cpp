// Summing up and printing the figures; see bench_report.h.
#include "bench_report.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Format(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string JsonArray(const std::vector<double>& values) {
  std::string text = "[";
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) text += ", ";
    text += Format("%.3f", values[i]);
  }
  return text + "]";
}

}  // namespace

double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  if (values.size() % 2 == 1) return values[middle];
  return (values[middle - 1] + values[middle]) / 2.0;
}

BenchSummary Summarise(const BenchFigures& figures) {
  BenchSummary summary;
  summary.demoFps = Median(figures.demoFps);
  summary.floorFps = Median(figures.floorFps);
  summary.demoDrawMs = Median(figures.demoDrawMs);
  std::vector<double> ratios;
  for (size_t i = 0; i < figures.demoFps.size() && i < figures.floorFps.size(); ++i) {
    if (figures.demoFps[i] > 0.0) ratios.push_back(figures.floorFps[i] / figures.demoFps[i]);
  }
  summary.ratio = Median(ratios);
  summary.startupDemoMs = Median(figures.startupDemoMs);
  summary.startupFloorMs = Median(figures.startupFloorMs);
  std::vector<double> extras;
  for (size_t i = 0; i < figures.startupDemoMs.size() && i < figures.startupFloorMs.size(); ++i) {
    extras.push_back(figures.startupDemoMs[i] - figures.startupFloorMs[i]);
  }
  summary.startupExtraMs = Median(extras);
  summary.frameTargetMet = !ratios.empty() && summary.ratio <= kFrameRatioTarget;
  summary.startupTargetMet = !extras.empty() && summary.startupExtraMs <= kStartupExtraTargetMs;
  return summary;
}

std::string PlainReport(const BenchFigures& figures, const BenchSummary& summary) {
  const std::string runs = std::to_string(figures.demoFps.size());
  const std::string probes = std::to_string(figures.startupDemoMs.size());
  std::string text;
  text += "target: " + figures.target + ", " + std::to_string(figures.width) + "x" +
          std::to_string(figures.height) + ", " + std::to_string(figures.framesPerRun) +
          " frames per run\n";
  text += "demo frame: " + Format("%.1f", summary.demoFps) + " frames/s (median of " + runs +
          " runs)\n";
  text += "floor frame: " + Format("%.1f", summary.floorFps) + " frames/s (median of " + runs +
          " runs)\n";
  text += "demo draw call: " + Format("%.3f", summary.demoDrawMs) +
          " ms of DrawScene per frame (median of " + runs + " runs)\n";
  text += "frame ratio: " + Format("%.3f", summary.ratio) +
          " (demo frame time / floor frame time, median of the runs' ratios; target <= " +
          Format("%.1f", kFrameRatioTarget) + ", " + (summary.frameTargetMet ? "met" : "MISSED") +
          ")\n";
  if (!figures.startupDemoMs.empty()) {
    text += "demo start-up: " + Format("%.1f", summary.startupDemoMs) + " ms (median of " + probes +
            " starts)\n";
    text += "floor start-up: " + Format("%.1f", summary.startupFloorMs) + " ms (median of " +
            probes + " starts)\n";
    text += "start-up difference: " + Format("%.1f", summary.startupExtraMs) +
            " ms (demo minus floor, median of the pairs; target <= " +
            Format("%.0f", kStartupExtraTargetMs) + " ms, " +
            (summary.startupTargetMet ? "met" : "MISSED") + ")\n";
  }
  return text;
}

std::string JsonReport(const BenchFigures& figures, const BenchSummary& summary) {
  std::string text = "{";
  text += "\"target\": \"" + figures.target + "\", ";
  text += "\"width\": " + std::to_string(figures.width) + ", ";
  text += "\"height\": " + std::to_string(figures.height) + ", ";
  text += "\"frames_per_run\": " + std::to_string(figures.framesPerRun) + ", ";
  text += "\"demo_fps\": " + Format("%.3f", summary.demoFps) + ", ";
  text += "\"floor_fps\": " + Format("%.3f", summary.floorFps) + ", ";
  text += "\"demo_draw_ms\": " + Format("%.4f", summary.demoDrawMs) + ", ";
  text += "\"ratio\": " + Format("%.4f", summary.ratio) + ", ";
  text += "\"ratio_target\": " + Format("%.2f", kFrameRatioTarget) + ", ";
  text += "\"startup_demo_ms\": " + Format("%.3f", summary.startupDemoMs) + ", ";
  text += "\"startup_floor_ms\": " + Format("%.3f", summary.startupFloorMs) + ", ";
  text += "\"startup_extra_ms\": " + Format("%.3f", summary.startupExtraMs) + ", ";
  text += "\"startup_extra_target_ms\": " + Format("%.1f", kStartupExtraTargetMs) + ", ";
  text += std::string("\"frame_target_met\": ") + (summary.frameTargetMet ? "true" : "false");
  text += std::string(", \"startup_target_met\": ") +
          (summary.startupTargetMet ? "true" : "false") + ", ";
  text += "\"runs\": {\"demo_fps\": " + JsonArray(figures.demoFps) +
          ", \"floor_fps\": " + JsonArray(figures.floorFps) +
          ", \"startup_demo_ms\": " + JsonArray(figures.startupDemoMs) +
          ", \"startup_floor_ms\": " + JsonArray(figures.startupFloorMs) + "}";
  return text + "}\n";
}
