// Texture objects: names handed out by the layer, their wrap and filter parameters, the
// binding, and gluBuild2DMipmaps, which builds the mipmaps on the processor (mipmap.h) and uploads
// every level to one WebGL texture. A texture without its full chain of levels is incomplete and
// draws untextured, as OpenGL draws it.
#include <GL/gl.h>
#include <GL/glu.h>
#include <webgl/webgl1.h>

#include <algorithm>

#include "web/context.h"
#include "web/mipmap.h"
#include "web/webgl_state.h"

namespace gl11 {

void BindTexture(Context& context, uint32_t name) {
  Flush(context);
  if (name >= context.textures.size()) context.textures.resize(name + 1);  // bound, so it exists
  context.state.boundTexture = name;
}

void UploadLevels(TextureObject* texture, const MipChain& chain) {
  if (texture->webgl == 0) {
    emscripten_glGenTextures(1, &texture->webgl);
    std::fill(texture->webglParameters, texture->webglParameters + 4, 0);
  }
  webgl::BindTexture(texture->webgl);
  emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  int w = chain.width;
  int h = chain.height;
  for (size_t level = 0; level < chain.levels.size(); ++level) {
    emscripten_glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA, w, h, 0, GL_RGBA,
                            GL_UNSIGNED_BYTE, chain.levels[level].data());
    w = w > 1 ? w / 2 : 1;
    h = h > 1 ? h / 2 : 1;
  }
  texture->width = chain.width;
  texture->height = chain.height;
  texture->levels = static_cast<int>(chain.levels.size());
}

}  // namespace gl11

using namespace gl11;

void glGenTextures(GLsizei count, GLuint* names) {
  Context& context = Current();
  for (GLsizei i = 0; i < count; ++i) {
    names[i] = static_cast<GLuint>(context.textures.size());
    context.textures.emplace_back();
  }
}

void glBindTexture(GLenum target, GLuint name) {
  if (target != GL_TEXTURE_2D) return;
  if (!Recorded(ListCommand::kBindTexture, static_cast<float>(name))) BindTexture(Current(), name);
}

// A deleted name goes back to an empty object, so a stale binding draws untextured.
void glDeleteTextures(GLsizei count, const GLuint* names) {
  Context& context = ChangingState();
  for (GLsizei i = 0; i < count; ++i) {
    TextureObject* texture = context.Texture(names[i]);
    if (texture == nullptr || names[i] == 0) continue;
    if (texture->webgl != 0) {
      webgl::TextureDeleted(texture->webgl);
      emscripten_glDeleteTextures(1, &texture->webgl);
    }
    *texture = TextureObject{};
    if (context.state.boundTexture == names[i]) context.state.boundTexture = 0;
  }
}

void glTexParameterf(GLenum target, GLenum name, GLfloat value) {
  Context& context = ChangingState();
  TextureObject* texture = context.Texture(context.state.boundTexture);
  if (target != GL_TEXTURE_2D || texture == nullptr) return;
  const uint32_t v = static_cast<uint32_t>(value);
  if (name == GL_TEXTURE_WRAP_S) texture->parameters.wrapS = v;
  if (name == GL_TEXTURE_WRAP_T) texture->parameters.wrapT = v;
  if (name == GL_TEXTURE_MIN_FILTER) texture->parameters.minFilter = v;
  if (name == GL_TEXTURE_MAG_FILTER) texture->parameters.magFilter = v;
}

// Only the alignment shapes how gluBuild2DMipmaps reads rows; the program sets the others to their
// defaults (no row length, no skipped rows or pixels).
void glPixelStorei(GLenum name, GLint value) {
  if (name == GL_UNPACK_ALIGNMENT && (value == 1 || value == 2 || value == 4 || value == 8)) {
    Current().unpackAlignment = value;
  }
}

GLint gluBuild2DMipmaps(GLenum target, GLint components, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data) {
  if (width < 1 || height < 1 || components < 1) return GLU_INVALID_VALUE;
  if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE ||
      (format != GL_RGB && format != GL_BGR_EXT)) {
    return GLU_INVALID_ENUM;
  }
  Context& context = ChangingState();
  TextureObject* texture = context.Texture(context.state.boundTexture);
  GLint maxSide = 0;
  emscripten_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  const MipChain chain = BuildMipmaps(static_cast<const uint8_t*>(data), width, height,
                                      format == GL_BGR_EXT, context.unpackAlignment, maxSide);
  UploadLevels(texture, chain);
  return 0;
}
