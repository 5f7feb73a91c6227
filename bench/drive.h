// The benchmark's scripted drive: which arrows are held on each pass of the loop, from the start
// gate to the finish. Straight runs alternate with full turns to both heading limits, held there
// while the vehicle scrapes along an edge, so a drive sees the climbs, both limits and the finish.
// Portable; needs no OpenGL.
#pragma once

class Vehicle;

struct DriveKeys {
  bool up;
  bool left;
  bool right;
};

// The keys held on the given pass (0-based). The script repeats with no end of its own: the drive
// ends when the vehicle reaches the finish (DriveFinished).
DriveKeys DriveKeysAt(long pass);

// What a pass of the program's loop does with held arrows: up, then left, then right.
void ApplyDriveKeys(const DriveKeys& keys, Vehicle& vehicle);

// True once the vehicle stands at the far limit of its track, in front of the finish gate.
bool DriveFinished(const Vehicle& vehicle);

// Puts the vehicle back where the program starts it (progress 1, heading 180, centre line), then
// makes the first step the program makes after set-up, onto its built track.
void ResetToStart(Vehicle& vehicle);

// How many passes the scripted drive takes from ResetToStart to the finish on the vehicle's track,
// plus the passes it lingers there; 0 when the track is empty. It drives the vehicle itself (a
// copy would delete the shared textures when destroyed) and leaves it reset to the start.
long DrivePassCount(Vehicle& vehicle);
