// The loop's key steps; see frame_pass.h.
#include "app/frame_pass.h"

#include "app/key_table.h"
#include "vehicle/vehicle.h"

void ApplyHeldKeys(const int* keys, Vehicle& vehicle) {
  if (keys[kKeyUp]) vehicle.Advance();
  if (keys[kKeyLeft]) vehicle.Steer(kSteerStep);
  if (keys[kKeyRight]) vehicle.Steer(-kSteerStep);
}
