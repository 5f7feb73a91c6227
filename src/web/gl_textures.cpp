// Texture objects: names handed out by the layer, their wrap and filter parameters, the
// binding, and gluBuild2DMipmaps, which builds the mipmaps on the processor (mipmap.h) and keeps
// them; each combination of wraps a texture is drawn with gets a WebGL texture of its own, made
// from them at its first draw (clamp_border.h). A texture without its full chain of levels is
// incomplete and draws untextured, as OpenGL draws it.
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

void MakeImage(const TextureObject& texture, uint8_t clamped, WebGlImage* image) {
  GLint maxSide = 0;
  emscripten_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
  image->frame = FrameFor(texture.chain, clamped & kAxisS, clamped & kAxisT, maxSide);
  image->minFilter = 0;
  emscripten_glGenTextures(1, &image->texture);
  webgl::BindTexture(image->texture);
  emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (int level = 0; level < image->frame.levels; ++level) {
    const FramedTexels texels = TexelsRead(texture.chain, image->frame, level);
    emscripten_glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, image->frame.Width(level),
                            image->frame.Height(level), 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    emscripten_glTexSubImage2D(GL_TEXTURE_2D, level, texels.x, texels.y, texels.width,
                               texels.height, GL_RGBA, GL_UNSIGNED_BYTE, texels.rgba.data());
  }
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, image->frame.levels - 1);
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S,
                             clamped & kAxisS ? GL_CLAMP_TO_EDGE : GL_REPEAT);
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T,
                             clamped & kAxisT ? GL_CLAMP_TO_EDGE : GL_REPEAT);
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void ReleaseImages(TextureObject* texture) {
  for (WebGlImage& image : texture->images) {
    if (image.texture != 0) {
      webgl::TextureDeleted(image.texture);
      emscripten_glDeleteTextures(1, &image.texture);
    }
    image = WebGlImage{};
  }
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
    ReleaseImages(texture);
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
  ReleaseImages(texture);
  texture->chain = BuildMipmaps(static_cast<const uint8_t*>(data), width, height,
                                format == GL_BGR_EXT, context.unpackAlignment, maxSide);
  return 0;
}
