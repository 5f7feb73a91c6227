// The sky backdrop: one quad in eye coordinates that overfills the view, drawn first every frame
// with no depth test. Turning scrolls the picture sideways by 1/180 of its width per degree and
// pitching scrolls it vertically; a repeat wrap, set only inside the attribute bracket, tiles it.
#include "scene/sky.h"

#include "opengl.h"

namespace {

constexpr float kTexturePerDegree = 0.0055555557f;  // 1/180 as stored in a float

}  // namespace

SkyOffset SkyOffsetFor(float pitch, float heading) {
  return {heading * kTexturePerDegree, pitch * kTexturePerDegree};
}

void Sky::Draw(float pitch, float heading) {
  const SkyOffset offset = SkyOffsetFor(pitch, heading);
  const float u = offset.u;
  const float v = offset.v;
  texture.Bind();
  glColor3f(1.0f, 1.0f, 1.0f);

  glPushAttrib(GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_FOG_BIT);
  glDisable(GL_FOG);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_REPEAT));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_REPEAT));
  glBegin(GL_QUADS);
  glTexCoord2f(-u, -v);
  glVertex3f(-4.0f, -3.0f, -1.5f);
  glTexCoord2f(1.0f - u, -v);
  glVertex3f(4.0f, -3.0f, -1.5f);
  glTexCoord2f(1.0f - u, 1.0f - v);
  glVertex3f(4.0f, 3.0f, -1.5f);
  glTexCoord2f(-u, 1.0f - v);
  glVertex3f(-4.0f, 3.0f, -1.5f);
  glEnd();
  glPopAttrib();
}
