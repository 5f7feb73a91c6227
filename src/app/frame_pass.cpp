// The loop's key steps; see frame_pass.h.
#include "app/frame_pass.h"

#include "vehicle/vehicle.h"

void ApplyHeldKeys(const int* keys, Vehicle& vehicle) {
  ApplyArrows(ArrowsHeldIn(keys), vehicle);
}

Arrows ArrowsHeldIn(const int* keys) {
  return {keys[kKeyUp] != 0, keys[kKeyLeft] != 0, keys[kKeyRight] != 0};
}

void ApplyArrows(const Arrows& arrows, Vehicle& vehicle) {
  if (arrows.up) vehicle.Advance();
  if (arrows.left) vehicle.Steer(kSteerStep);
  if (arrows.right) vehicle.Steer(-kSteerStep);
}
