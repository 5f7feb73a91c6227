// The scene: the program's global objects, the fixed OpenGL state set once, the projection, and
// the order in which one frame is drawn (sky, camera, light, track). Needs a current context.
#pragma once

#include <string>
#include <vector>

#include "scene/sky.h"
#include "track/track.h"
#include "vehicle/vehicle.h"
#include "vehicle/vehicle_view.h"

extern Vehicle g_vehicle;
extern Track g_track;
extern Sky g_sky;

// Where the pictures are read from: "gfx/" under the working directory unless a shell finds
// them elsewhere. Ends with a '/'.
extern std::string g_pictureFolder;

// Sets the fixed state, loads the pictures, builds the track and gives the vehicle its copy. A
// picture that cannot be loaded leaves its surface untextured; the paths of those are returned.
std::vector<std::string> InitScene();
// Sets the viewport and the projection for a client area of any shape: the vertical field stays
// 120 degrees, so a wider view sees more at the sides.
void ResizeScene(int width, int height);
// One frame of g_vehicle as it stands.
void DrawScene();
// One frame of the vehicle as `view` shows it, with the same calls in the same order.
void DrawScene(const VehicleView& view);
// Loads the four pictures from g_pictureFolder; returns the paths of those that failed.
std::vector<std::string> LoadTextures();
