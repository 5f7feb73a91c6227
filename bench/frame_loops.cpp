// The timed loops; see frame_loops.h. Nothing here allocates, reads back or waits inside a loop
// beyond what FrameTarget::Present does for both loops alike.
#include "frame_loops.h"

#include <chrono>

#include "drive.h"
#include "frame_target.h"
#include "opengl.h"
#include "scene/scene.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

bool FloorScene::Load(const char* picture) {
  return texture_.LoadBMP(picture);
}

void FloorScene::Begin() {
  glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_FOG);
  glEnable(GL_TEXTURE_2D);
  texture_.Bind();
  glColor3f(1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

// The whole viewport in normalised device coordinates, the picture once across it.
void FloorScene::DrawFrame() {
  glClear(GL_DEPTH_BUFFER_BIT);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
}

void FloorScene::End() {
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
}

LoopTiming RunDemoDrive(FrameTarget& target, long passes, int stride) {
  ResetToStart(g_vehicle);
  LoopTiming timing;
  const Clock::time_point start = Clock::now();
  for (long pass = 0; pass < passes; ++pass) {
    ApplyDriveKeys(DriveKeysAt(pass), g_vehicle);
    if (pass % stride != 0) continue;
    DrawScene();
    target.Present();
    ++timing.frames;
  }
  timing.seconds = SecondsSince(start);
  return timing;
}

LoopTiming RunFloor(FrameTarget& target, FloorScene& floor, long frames) {
  floor.Begin();
  LoopTiming timing;
  const Clock::time_point start = Clock::now();
  for (long frame = 0; frame < frames; ++frame) {
    floor.DrawFrame();
    target.Present();
  }
  timing.seconds = SecondsSince(start);
  timing.frames = frames;
  floor.End();
  return timing;
}
