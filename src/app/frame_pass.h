// Steps 2 to 4 of a pass of the main loop, shared by every shell: the held arrows move
// and turn the vehicle. Portable; needs no OpenGL.
#pragma once

#include "app/key_table.h"

class Vehicle;

// The degrees one pass turns the vehicle while a side arrow is held: + for left, - for right.
constexpr float kSteerStep = 1.5f;

// In this order: up held -> vehicle.Advance(); left held -> vehicle.Steer(1.5); right held ->
// vehicle.Steer(-1.5). With left and right held together both turns apply, left first. Down has
// no effect. keys is the 256-entry table indexed by Windows virtual-key code.
void ApplyHeldKeys(const int* keys, Vehicle& vehicle);

// The arrows the table holds now, without the presses TakeArrows keeps.
Arrows ArrowsHeldIn(const int* keys);

// The same step for the arrows taken from the table (TakeArrows).
void ApplyArrows(const Arrows& arrows, Vehicle& vehicle);
