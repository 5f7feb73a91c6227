// A vehicle on a generated track for the micro-benchmarks, driven by the benchmark's script so the
// measured steps see the same mix of straights, turns and edge scrapes as the frame benchmark.
// Needs no OpenGL: the track has no textures or display list.
#pragma once

#include "app/frame_pass.h"
#include "app/timedemo.h"
#include "vehicle/vehicle.h"

class DrivenVehicle {
 public:
  DrivenVehicle() {
    vehicle_.track.Generate();
    ResetToStart(vehicle_);
  }

  // One pass of the loop's key steps; at the finish the drive starts again and this returns true.
  bool Pass() {
    ApplyArrows(DriveArrowsAt(pass_++), vehicle_);
    if (!DriveFinished(vehicle_)) return false;
    ResetToStart(vehicle_);
    pass_ = 0;
    return true;
  }

  const Vehicle& vehicle() const { return vehicle_; }

 private:
  Vehicle vehicle_;
  long pass_ = 0;
};
