// The sky backdrop: one quad in eye coordinates that overfills the view, drawn first every frame
// with no depth test. Turning scrolls the picture sideways by 1/180 of its width per degree and
// pitching scrolls it vertically; a repeat wrap, set only inside the attribute bracket, tiles it.
#include "scene/sky.h"

#include <cmath>

#include "opengl.h"

namespace {

constexpr float kTexturePerDegree = 0.0055555557f;  // 1/180 as stored in a float
constexpr float kHalfWidth = 4.0f;
constexpr float kHalfHeight = 3.0f;

}  // namespace

SkyOffset SkyOffsetFor(float pitch, float heading) {
  return {heading * kTexturePerDegree, pitch * kTexturePerDegree};
}

SkyQuad SkyQuadFor(float pitch, float heading, double aspect) {
  const SkyOffset offset = SkyOffsetFor(pitch, heading);
  const float u = offset.u;
  const float v = offset.v;
  // Copies added on each side; none wherever the quad fills the view by itself.
  float k = 0.0f;
  if (aspect > kSkyQuadWidestAspect) {
    const double uncovered = (aspect / kSkyQuadWidestAspect - 1.0) * kHalfWidth;
    k = static_cast<float>(std::ceil(uncovered / (2.0 * kHalfWidth)));
  }
  const float x = kHalfWidth + 2.0f * kHalfWidth * k;
  return {{{-u - k, -v, -x, -kHalfHeight},
           {1.0f - u + k, -v, x, -kHalfHeight},
           {1.0f - u + k, 1.0f - v, x, kHalfHeight},
           {-u - k, 1.0f - v, -x, kHalfHeight}}};
}

void Sky::Draw(float pitch, float heading, double aspect) {
  const SkyQuad quad = SkyQuadFor(pitch, heading, aspect);
  texture.Bind();
  glColor3f(1.0f, 1.0f, 1.0f);

  glPushAttrib(GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_FOG_BIT);
  glDisable(GL_FOG);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
  glBegin(GL_QUADS);
  for (const SkyQuad::Corner& corner : quad.corners) {
    glTexCoord2f(corner.s, corner.t);
    glVertex3f(corner.x, corner.y, -1.5f);
  }
  glEnd();
  glPopAttrib();
}
