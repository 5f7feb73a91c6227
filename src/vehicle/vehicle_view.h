// The vehicle as a frame draws it: where it stands, where it looks and the surface sampled there,
// apart from the Vehicle itself. A Vehicle holds a whole track whose textures delete their OpenGL
// names when destroyed, so a copy of one must never be made to draw from; a view is small, plain
// data. The paced shells draw views between two steps.
#pragma once

class Vehicle;

struct VehicleView {
  float progress;
  float lateral;
  float height;
  float depth;
  float heading;  // degrees in [91, 269]
  float pitch;    // degrees in [0, 360)
  float roll;
  float eyeHeight;
};

VehicleView ViewOf(const Vehicle& vehicle);

// Puts the vehicle back where the view saw it: the fields a step changes, exactly.
void Restore(const VehicleView& view, Vehicle& vehicle);

// The view a fraction t of the way from `from` to `to`: linear in every field but the pitch,
// which turns the shorter way round the circle, since it wraps at 360. t = 0 gives `from` and
// t = 1 gives `to`, both exactly, and so does any t when the two are equal.
VehicleView Between(const VehicleView& from, const VehicleView& to, double t);

// Multiplies the current matrix by the view's camera, with the calls Vehicle::ApplyCamera makes.
void ApplyCamera(const VehicleView& view);
