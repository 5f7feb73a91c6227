// The state entry points: switches, blend, the light and the material, glPushAttrib/glPopAttrib,
// the viewport and glClear. They change the layer's fixed state; the renderer hands it to WebGL
// when it draws. glPolygonMode and glDrawBuffer are accepted where they restate the defaults
// (filled polygons, drawing into the back buffer), the only use the program makes of them; fog
// is a switch that nothing turns on.
#include <GL/gl.h>

#include <algorithm>

#include "web/context.h"

using namespace gl11;

namespace {

bool* Switch(FixedState& state, GLenum capability) {
  switch (capability) {
    case GL_BLEND:
      return &state.blend;
    case GL_DEPTH_TEST:
      return &state.depthTest;
    case GL_CULL_FACE:
      return &state.cullFace;
    case GL_TEXTURE_2D:
      return &state.texture2D;
    case GL_LIGHTING:
      return &state.lighting;
    case GL_LIGHT0:
      return &state.light0;
    case GL_COLOR_MATERIAL:
      return &state.colorMaterial;
    case GL_FOG:
      return &state.fog;
    default:
      return nullptr;
  }
}

void Enable(GLenum capability, bool on) {
  if (bool* flag = Switch(ChangingState().state, capability)) *flag = on;
}

void Copy4(float* to, const GLfloat* from) {
  std::copy(from, from + 4, to);
}

}  // namespace

void glEnable(GLenum capability) {
  Enable(capability, true);
}

void glDisable(GLenum capability) {
  Enable(capability, false);
}

void glBlendFunc(GLenum source, GLenum destination) {
  FixedState& state = ChangingState().state;
  state.blendSource = source;
  state.blendDestination = destination;
}

void glPolygonMode(GLenum, GLenum) {}
void glDrawBuffer(GLenum) {}

// The light's position is kept in eye coordinates: OpenGL transforms it by the model-view matrix
// current at this call, so a later camera change does not move it.
void glLightfv(GLenum light, GLenum name, const GLfloat* value) {
  Context& context = ChangingState();
  if (light != GL_LIGHT0) return;
  FixedState& state = context.state;
  if (name == GL_AMBIENT) Copy4(state.lightAmbient, value);
  if (name == GL_DIFFUSE) Copy4(state.lightDiffuse, value);
  if (name == GL_POSITION) context.modelview.Top().Transform(value, state.lightPosition);
}

void glMaterialfv(GLenum face, GLenum name, const GLfloat* value) {
  FixedState& state = ChangingState().state;
  if (face != GL_FRONT && face != GL_FRONT_AND_BACK) return;
  if (name == GL_AMBIENT || name == GL_AMBIENT_AND_DIFFUSE) Copy4(state.materialAmbient, value);
  if (name == GL_DIFFUSE || name == GL_AMBIENT_AND_DIFFUSE) Copy4(state.materialDiffuse, value);
}

void glColorMaterial(GLenum, GLenum mode) {
  ChangingState().state.colorMaterialMode = mode;
}

void glPushAttrib(GLbitfield mask) {
  Context& context = ChangingState();
  context.attribs.Push(mask, context.state, context);
}

void glPopAttrib() {
  Context& context = ChangingState();
  context.attribs.Pop(&context.state, &context);
}

void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
  const GLfloat color[4] = {r, g, b, a};
  Copy4(Current().state.clearColor, color);
}

void glClear(GLbitfield mask) {
  Context& context = ChangingState();
  ClearBuffers(context, mask);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
  int* viewport = ChangingState().viewport;
  viewport[0] = x;
  viewport[1] = y;
  viewport[2] = width;
  viewport[3] = height;
}
