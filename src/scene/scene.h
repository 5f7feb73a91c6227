// The scene: the program's global objects, the fixed OpenGL state set once, the projection, and
// the order in which one frame is drawn (sky, camera, light, track). Needs a current context.
#pragma once

#include "scene/sky.h"
#include "track/track.h"
#include "vehicle/vehicle.h"

extern Vehicle g_vehicle;
extern Track g_track;
extern Sky g_sky;

// Sets the fixed state, loads the pictures, builds the track and gives the vehicle its copy.
void InitScene();
void ResizeScene(int width, int height);
void DrawScene();
void LoadTextures();
