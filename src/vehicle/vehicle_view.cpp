// The vehicle as drawn; see vehicle_view.h.
#include "vehicle/vehicle_view.h"

#include "opengl.h"
#include "vehicle/vehicle.h"

namespace {

// Exact at both ends and wherever a equals b; in between, computed in double and stored as float
// as every other quantity of the vehicle.
float Mix(float a, float b, double t) {
  if (t <= 0 || a == b) return a;
  if (t >= 1) return b;
  return static_cast<float>(a + (static_cast<double>(b) - a) * t);
}

float MixDegrees(float a, float b, double t) {
  if (t <= 0 || a == b) return a;
  if (t >= 1) return b;
  double turn = static_cast<double>(b) - a;
  if (turn > 180) turn -= 360;
  if (turn < -180) turn += 360;
  double angle = a + turn * t;
  if (angle < 0) angle += 360;
  if (angle >= 360) angle -= 360;
  const float stored = static_cast<float>(angle);
  return stored < 360.0f ? stored : 0.0f;  // a value just below 360 may round up to it
}

}  // namespace

VehicleView ViewOf(const Vehicle& vehicle) {
  return {vehicle.progress, vehicle.lateral, vehicle.height, vehicle.depth,
          vehicle.heading,  vehicle.pitch,   vehicle.roll,   vehicle.eyeHeight};
}

void Restore(const VehicleView& view, Vehicle& vehicle) {
  vehicle.progress = view.progress;
  vehicle.lateral = view.lateral;
  vehicle.height = view.height;
  vehicle.depth = view.depth;
  vehicle.heading = view.heading;
  vehicle.pitch = view.pitch;
}

VehicleView Between(const VehicleView& from, const VehicleView& to, double t) {
  return {Mix(from.progress, to.progress, t),
          Mix(from.lateral, to.lateral, t),
          Mix(from.height, to.height, t),
          Mix(from.depth, to.depth, t),
          Mix(from.heading, to.heading, t),
          MixDegrees(from.pitch, to.pitch, t),
          to.roll,
          to.eyeHeight};
}

void ApplyCamera(const VehicleView& view) {
  glRotatef(view.pitch, 1.0f, 0.0f, 0.0f);
  glRotatef(360.0f - view.heading, 0.0f, 1.0f, 0.0f);
  glRotatef(360.0f - view.roll, 0.0f, 0.0f, 1.0f);
  glTranslatef(-view.lateral, -view.height - view.eyeHeight, -view.depth);
}
