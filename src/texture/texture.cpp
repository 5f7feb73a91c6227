// Texture object lifetime and the small state operations of the track pass. The BMP loader
// lives in texture_bmp.cpp.
#include "texture/texture.h"

#include <cstring>

#include "opengl.h"

Texture::~Texture() {
  Release();
}

bool Texture::Create(const char* fileName) {
  Release();
  // Longer names are cut to the 63 characters the field holds.
  std::strncpy(name, fileName, sizeof name - 1);
  name[sizeof name - 1] = '\0';
  GLuint texture = 0;
  glGenTextures(1, &texture);
  id = texture + 1;
  glBindTexture(GL_TEXTURE_2D, id - 1);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLfloat>(GL_CLAMP));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLfloat>(GL_CLAMP));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(GL_LINEAR));
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  static_cast<GLfloat>(GL_LINEAR_MIPMAP_LINEAR));
  return true;
}

// An empty texture binds 0, OpenGL's default texture.
void Texture::Bind() const {
  glBindTexture(GL_TEXTURE_2D, id == 0 ? 0 : id - 1);
}

void Texture::Release() {
  if (id == 0) return;
  const GLuint texture = id - 1;
  glDeleteTextures(1, &texture);
  id = 0;
}

void Texture::PushState() {
  glPushAttrib(GL_TEXTURE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void Texture::PopState() {
  glPopAttrib();
}

// Screen blend: result = source + destination * (1 - source), so black adds nothing.
void Texture::EnableScreenBlend() {
  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_COLOR);
}
