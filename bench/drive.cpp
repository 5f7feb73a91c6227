// The scripted drive; see drive.h.
#include "drive.h"

#include "vehicle/vehicle.h"

namespace {

// One cycle, in passes. 60 turning passes of 1.5 degrees take the heading from 180 to a limit.
constexpr long kStraight = 200;
constexpr long kTurn = 60;
constexpr long kHoldAtLimit = 20;
constexpr long kHalfCycle = kStraight + 2 * kTurn + kHoldAtLimit;
constexpr long kCycle = 2 * kHalfCycle;
constexpr float kSteerStep = 1.5f;
constexpr long kLingerAtFinish = 40;  // a few frames facing the finish gate
constexpr long kPassLimit = 1000000;  // a guard against a track the vehicle never finishes

}  // namespace

DriveKeys DriveKeysAt(long pass) {
  const long inCycle = pass % kCycle;
  const bool leftFirst = inCycle < kHalfCycle;  // turn to 269 (left) first, then to 91
  const long t = inCycle % kHalfCycle;
  DriveKeys keys{true, false, false};
  if (t < kStraight) return keys;
  const long turning = t - kStraight;
  const bool away = turning < kTurn;                  // toward the limit
  const bool back = turning >= kTurn + kHoldAtLimit;  // back to 180
  const bool turnLeft = (away && leftFirst) || (back && !leftFirst);
  const bool turnRight = (away && !leftFirst) || (back && leftFirst);
  keys.left = turnLeft;
  keys.right = turnRight;
  return keys;
}

void ApplyDriveKeys(const DriveKeys& keys, Vehicle& vehicle) {
  if (keys.up) vehicle.Advance();
  if (keys.left) vehicle.Steer(kSteerStep);
  if (keys.right) vehicle.Steer(-kSteerStep);
}

bool DriveFinished(const Vehicle& vehicle) {
  const int last = vehicle.track.SegmentCount() - 1;
  return last > 0 && vehicle.progress >= static_cast<float>(last);
}

void ResetToStart(Vehicle& vehicle) {
  vehicle.progress = 1.0f;
  vehicle.heading = 180.0f;
  vehicle.lateral = 0.0f;
  vehicle.pitch = 0.0f;
  vehicle.roll = 0.0f;
  vehicle.Advance();
}

long DrivePassCount(Vehicle& vehicle) {
  if (vehicle.track.SegmentCount() <= 1) return 0;
  ResetToStart(vehicle);
  long pass = 0;
  while (!DriveFinished(vehicle) && pass < kPassLimit) ApplyDriveKeys(DriveKeysAt(pass++), vehicle);
  ResetToStart(vehicle);
  return pass + kLingerAtFinish;
}
