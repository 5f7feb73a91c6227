// The processor's share of a frame: the flare pass's distance test for every flare and the facing
// angles of those it draws, and the whole of the program's own work per frame (one pass of the
// loop's key steps plus that flare pass). The OpenGL calls are left out: they are the driver's.
#include <benchmark/benchmark.h>

#include <vector>

#include "drive_fixture.h"
#include "track/track.h"

namespace {

// Mirrors the loop of Track::Draw with the drawing taken out; returns how many flares it faces.
int FlarePassCpu(const Track& track, float cx, float cy, float cz) {
  const int last =
      track.SegmentCount() < kFlareCapacity ? track.SegmentCount() : kFlareCapacity - 1;
  int drawn = 0;
  for (int i = 0; i <= last; ++i) {
    const FlareView view = track.flares[i].View(cx, cy, cz);
    if (!view.drawn) continue;
    const FlareFacing facing = track.flares[i].Facing(cx, cy, cz);
    benchmark::DoNotOptimize(view);
    benchmark::DoNotOptimize(facing);
    ++drawn;
  }
  return drawn;
}

struct CameraPoint {
  float x, y, z;
};

void BM_FlarePassCpu(benchmark::State& state) {
  // Camera points every eighth pass of one whole drive, gathered before timing starts.
  DrivenVehicle driven;
  std::vector<CameraPoint> points;
  for (long pass = 0; !driven.Pass(); ++pass) {
    const Vehicle& v = driven.vehicle();
    if (pass % 8 == 0) points.push_back({v.lateral, v.height, v.depth});
  }
  const Track& track = driven.vehicle().track;
  size_t next = 0;
  long drawn = 0;
  for (auto _ : state) {
    const CameraPoint& c = points[next];
    drawn += FlarePassCpu(track, c.x, c.y, c.z);
    next = next + 1 == points.size() ? 0 : next + 1;
  }
  state.counters["flares_drawn"] =
      benchmark::Counter(static_cast<double>(drawn), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_FlarePassCpu);

void BM_FrameCpu(benchmark::State& state) {
  DrivenVehicle driven;
  for (auto _ : state) {
    driven.Pass();
    const Vehicle& v = driven.vehicle();
    benchmark::DoNotOptimize(FlarePassCpu(v.track, v.lateral, v.height, v.depth));
  }
}
BENCHMARK(BM_FrameCpu);

}  // namespace
