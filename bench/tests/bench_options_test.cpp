// The benchmark's command line: defaults, each option, and refusals of malformed values.
#include "bench_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool Parse(std::vector<const char*> args, BenchOptions* options, std::string* error) {
  args.insert(args.begin(), "vortalux-bench");
  return ParseBenchOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(BenchOptionsTest, EveryOptionSetsItsField) {
  BenchOptions options;
  std::string error;
  ASSERT_TRUE(Parse(
      {"--json", "--window", "--runs", "3", "--stride", "1", "--passes", "1200", "--startup-runs",
       "0", "--dir", "/tmp", "--leak-check", "1000", "--rss-slack-kb", "64"},
      &options, &error))
      << error;
  EXPECT_TRUE(options.json);
  EXPECT_EQ(options.target, TargetKind::kWindow);
  EXPECT_EQ(options.runs, 3);
  EXPECT_EQ(options.stride, 1);
  EXPECT_EQ(options.passes, 1200);
  EXPECT_EQ(options.startupRuns, 0);
  EXPECT_EQ(options.directory, "/tmp");
  EXPECT_EQ(options.leakCheckFrames, 1000);
  EXPECT_EQ(options.rssSlackKb, 64);

  BenchOptions probe;
  ASSERT_TRUE(Parse({"--startup-probe", "floor"}, &probe, &error));
  EXPECT_TRUE(probe.probe);
  EXPECT_EQ(probe.probeKind, ProbeKind::kFloor);
}

TEST(BenchOptionsTest, RefusesMalformedValues) {
  const std::vector<std::vector<const char*>> bad = {
      {"--runs"},         {"--runs", "0"},         {"--runs", "3x"},
      {"--stride", "-1"}, {"--leak-check", "100"}, {"--startup-probe", "both"},
      {"--dir"},          {"--frames", "10"},      {"--runs", "99999999999999999999"}};
  for (const auto& args : bad) {
    BenchOptions options;
    std::string error;
    EXPECT_FALSE(Parse(args, &options, &error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
