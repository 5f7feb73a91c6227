// The figures the benchmark prints: medians, the paired ratio and start-up difference, the target
// verdicts, and the JSON keys that scripts read.
#include "bench_report.h"

#include <gtest/gtest.h>

namespace {

TEST(MedianTest, OddEvenAndEmpty) {
  EXPECT_DOUBLE_EQ(Median({3.0, 1.0, 2.0}), 2.0);
  EXPECT_DOUBLE_EQ(Median({4.0, 1.0, 3.0, 2.0}), 2.5);
  EXPECT_DOUBLE_EQ(Median({}), 0.0);
}

BenchFigures TwoRuns() {
  BenchFigures figures;
  figures.target = "offscreen";
  figures.width = 1024;
  figures.height = 768;
  figures.framesPerRun = 100;
  // Load doubled between the runs: the pairs' ratios stay 1.2 and 1.4.
  figures.demoFps = {100.0, 50.0};
  figures.floorFps = {120.0, 70.0};
  figures.startupDemoMs = {130.0, 260.0, 150.0};
  figures.startupFloorMs = {100.0, 200.0, 140.0};
  return figures;
}

TEST(SummariseTest, PairsEachRunWithItsOwnFloor) {
  const BenchSummary summary = Summarise(TwoRuns());
  EXPECT_DOUBLE_EQ(summary.demoFps, 75.0);
  EXPECT_DOUBLE_EQ(summary.floorFps, 95.0);
  EXPECT_DOUBLE_EQ(summary.ratio, 1.3);
  EXPECT_DOUBLE_EQ(summary.startupExtraMs, 30.0);
  EXPECT_TRUE(summary.frameTargetMet);
  EXPECT_TRUE(summary.startupTargetMet);
}

TEST(SummariseTest, TargetsAreMissedAboveTheLimitsAndWithoutFigures) {
  BenchFigures figures = TwoRuns();
  figures.demoFps = {60.0, 30.0};  // ratios 2.0 and 2.33
  figures.startupDemoMs = {160.0, 300.0, 200.0};
  const BenchSummary summary = Summarise(figures);
  EXPECT_FALSE(summary.frameTargetMet);
  EXPECT_FALSE(summary.startupTargetMet);

  const BenchSummary none = Summarise(BenchFigures());
  EXPECT_FALSE(none.frameTargetMet);
  EXPECT_FALSE(none.startupTargetMet);
}

TEST(ReportTest, JsonIsOneObjectWithTheRatioKey) {
  const BenchFigures figures = TwoRuns();
  const std::string json = JsonReport(figures, Summarise(figures));
  EXPECT_EQ(json.front(), '{');
  EXPECT_EQ(json.substr(json.size() - 2), "}\n");
  EXPECT_NE(json.find("\"ratio\": 1.3000"), std::string::npos) << json;
  EXPECT_NE(json.find("\"startup_extra_ms\": 30.000"), std::string::npos) << json;
  EXPECT_NE(json.find("\"demo_fps\": [100.000, 50.000]"), std::string::npos) << json;
}

TEST(ReportTest, PlainLinesNameEachFigureAndVerdict) {
  BenchFigures figures = TwoRuns();
  figures.demoFps = {60.0, 30.0};
  const std::string text = PlainReport(figures, Summarise(figures));
  EXPECT_NE(text.find("demo frame: 45.0 frames/s"), std::string::npos) << text;
  EXPECT_NE(text.find("floor frame: 95.0 frames/s"), std::string::npos) << text;
  EXPECT_NE(text.find("target <= 1.5, MISSED"), std::string::npos) << text;
  EXPECT_NE(text.find("start-up difference: 30.0 ms"), std::string::npos) << text;
}

}  // namespace
