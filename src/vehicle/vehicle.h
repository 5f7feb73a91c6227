// Vehicle: the player's position, heading and sampled surface on its own copy of the track, and
// the camera transform made from them. Only ApplyCamera needs OpenGL.
#pragma once

#include "track/track.h"

class Vehicle {
 public:
  Vehicle();
  virtual ~Vehicle() = default;

  // Turns by the given degrees, held within [91, 269] so every step moves forward.
  void Steer(float degrees);
  // One forward step along the heading, then samples the surface.
  void Advance();
  // Multiplies the current matrix by the camera: pitch, heading, roll, then the eye position.
  void ApplyCamera() const;

  float roll;
  float progress;  // along the track, in point indices
  Track track;     // a copy of the drawn track, used only for surface queries
  float pitch;     // degrees in [0, 360)
  float heading;   // degrees in [91, 269]; 180 looks along +z
  float lateral;
  float height;
  float depth;
  float eyeHeight;
  float forwardStep;
  float sideStep;
};
