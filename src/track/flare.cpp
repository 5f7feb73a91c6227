// Flare markers. Each frame a flare within 6.0 of the camera point is drawn as a small textured
// square that fades in from the cut-off, grows with distance (so it always spans the same angle of
// view) and is turned toward the camera point. The square's front faces the camera only when the
// flare lies level with or ahead of it along +z; flares behind are back-facing and culled.
#include "track/flare.h"

#include <cmath>

#include "opengl.h"

namespace {

constexpr float kCutOff = 6.0f;
constexpr float kFadeOffset = 5.0f;
constexpr float kSizeFactor = 0.1f;
constexpr double kDegreesPerRadian = 57.29578f;

// asin(opposite / hypotenuse) with the 0/0 of a flare that shares both coordinates with the
// camera point taken as 0: the square then simply keeps that axis unturned.
double AngleOf(double opposite, double adjacent) {
  const double hypotenuse = std::sqrt(opposite * opposite + adjacent * adjacent);
  return hypotenuse == 0.0 ? 0.0 : std::asin(opposite / hypotenuse);
}

}  // namespace

FlareView Flare::View(float cx, float cy, float cz) const {
  const double dx = std::fabs(static_cast<double>(cx) - x);
  const double dy = std::fabs(static_cast<double>(cy) - y);
  const double dz = std::fabs(static_cast<double>(cz) - z);
  const float distance = static_cast<float>(std::sqrt(dz * dz + dy * dy + dx * dx));
  FlareView view;
  view.drawn = distance <= kCutOff;  // exactly 6.0 is drawn, at grey 0; NaN is not
  view.distance = distance;
  view.grey = 1.0f - (distance - kFadeOffset);
  view.halfSize = distance * kSizeFactor;
  return view;
}

// The signs put the square's counter-clockwise (-z) side toward a camera point at lower or equal
// depth, and its back toward one at higher depth.
FlareFacing Flare::Facing(float cx, float cy, float cz) const {
  const double dz = std::fabs(static_cast<double>(z) - cz);
  double ax = -AngleOf(std::fabs(static_cast<double>(y) - cy), dz);
  if (z < cz) ax = -ax;
  if (y < cy) ax = -ax;
  double ay = AngleOf(std::fabs(static_cast<double>(x) - cx), dz);
  if (x < cx) ay = -ay;
  if (z < cz) ay = -ay;
  return {static_cast<float>(ax * kDegreesPerRadian), static_cast<float>(ay * kDegreesPerRadian)};
}

void Flare::Draw(float cx, float cy, float cz) const {
  const FlareView view = View(cx, cy, cz);
  if (!view.drawn) return;
  const float h = view.halfSize;
  glColor3f(view.grey, view.grey, view.grey);  // unclamped: lighting clamps the lit result
  glPushMatrix();
  glTranslatef(x, y, z);
  FaceCamera(cx, cy, cz);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 1);
  glVertex3f(h, -h, 0);
  glTexCoord2f(1, 1);
  glVertex3f(-h, -h, 0);
  glTexCoord2f(1, 0);
  glVertex3f(-h, h, 0);
  glTexCoord2f(0, 0);
  glVertex3f(h, h, 0);
  glEnd();
  glPopMatrix();
}

void Flare::FaceCamera(float cx, float cy, float cz) const {
  const FlareFacing facing = Facing(cx, cy, cz);
  glRotatef(facing.angleX, 1.0f, 0.0f, 0.0f);
  glRotatef(facing.angleY, 0.0f, 1.0f, 0.0f);
}
