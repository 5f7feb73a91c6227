// Track generation and the three surface queries a vehicle step makes (depth, height, pitch).
#include <benchmark/benchmark.h>

#include "track/track.h"

namespace {

// Progress values spread over the whole track, fractional so every query blends two points.
constexpr int kProbes = 64;
float ProbeProgress(int i) {
  return 1.75f + static_cast<float>(i) * (296.0f / kProbes) + 0.37f;
}
float ProbeLateral(int i) {
  return -0.125f + static_cast<float>(i % 11) * 0.025f;
}

const Track& GeneratedTrack() {
  static const Track track = [] {
    Track t;
    t.Generate();
    return t;
  }();
  return track;
}

void BM_TrackGenerate(benchmark::State& state) {
  Track track;
  for (auto _ : state) {
    track.Generate();
    benchmark::DoNotOptimize(track.points[track.SegmentCount()].z);
  }
}
BENCHMARK(BM_TrackGenerate);

void BM_TrackDepthAt(benchmark::State& state) {
  const Track& track = GeneratedTrack();
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(track.DepthAt(ProbeProgress(i)));
    i = (i + 1) % kProbes;
  }
}
BENCHMARK(BM_TrackDepthAt);

void BM_TrackHeightAt(benchmark::State& state) {
  const Track& track = GeneratedTrack();
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(track.HeightAt(ProbeProgress(i), ProbeLateral(i)));
    i = (i + 1) % kProbes;
  }
}
BENCHMARK(BM_TrackHeightAt);

void BM_TrackPitchAt(benchmark::State& state) {
  const Track& track = GeneratedTrack();
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(track.PitchAt(ProbeProgress(i), ProbeLateral(i)));
    i = (i + 1) % kProbes;
  }
}
BENCHMARK(BM_TrackPitchAt);

}  // namespace
