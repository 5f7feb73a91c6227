// Vehicle::Advance alone: the step the up arrow makes once per pass of the loop.
#include <benchmark/benchmark.h>

#include "app/timedemo.h"
#include "vehicle/vehicle.h"

namespace {

void BM_VehicleAdvance(benchmark::State& state) {
  Vehicle vehicle;
  vehicle.track.Generate();
  ResetToStart(vehicle);
  const int last = vehicle.track.SegmentCount() - 1;
  for (auto _ : state) {
    vehicle.Advance();
    benchmark::DoNotOptimize(vehicle.pitch);
    // Back to the start at the finish, so every step samples a different stretch of track.
    if (vehicle.progress >= static_cast<float>(last)) vehicle.progress = 1.75f;
  }
}
BENCHMARK(BM_VehicleAdvance);

}  // namespace
