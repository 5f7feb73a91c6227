// Immediate mode and display lists: glBegin/glEnd with OpenGL's current-attribute semantics (a
// colour, normal or texture coordinate stays current until the next one, inside or outside
// glBegin), and lists that record these commands and glBindTexture, compiled at glEndList into
// one static buffer (display_list.h) that glCallList draws with the model-view matrix of its
// time. An attribute a list does not set is the one current at glCallList; one it sets is left
// current after it, as replaying the list would leave it. The program compiles nothing else into
// a list.
#include <GL/gl.h>

#include <algorithm>

#include "web/context.h"

namespace gl11 {

namespace {

template <int n>
void Set(float (&to)[n], const float* from) {
  std::copy(from, from + n, to);
}

void Begin(Context& context, uint32_t mode) {
  context.inBegin = true;
  context.primitive = mode;
  context.primitiveVertices.clear();
}

void AddVertex(Context& context, float x, float y, float z) {
  if (!context.inBegin) return;
  const FixedState& s = context.state;
  context.primitiveVertices.push_back({{x, y, z, 1},
                                       {s.color[0], s.color[1], s.color[2], s.color[3]},
                                       {s.normal[0], s.normal[1], s.normal[2]},
                                       {s.texCoord[0], s.texCoord[1]}});
}

// Into eye coordinates with the model-view matrix of glEnd, which no call inside glBegin/glEnd
// may change; normals by its inverse transpose, not renormalised (GL_NORMALIZE is off).
void End(Context& context) {
  if (!context.inBegin) return;
  context.inBegin = false;
  const Matrix& modelview = context.modelview.Top();
  float normalMatrix[9];
  modelview.NormalMatrix(normalMatrix);
  for (Vertex& vertex : context.primitiveVertices) {
    const float position[4] = {vertex.position[0], vertex.position[1], vertex.position[2], 1};
    modelview.Transform(position, vertex.position);
    const float n[3] = {vertex.normal[0], vertex.normal[1], vertex.normal[2]};
    for (int row = 0; row < 3; ++row) {
      vertex.normal[row] =
          normalMatrix[row] * n[0] + normalMatrix[3 + row] * n[1] + normalMatrix[6 + row] * n[2];
    }
  }
  AppendTriangles(context.primitive, context.primitiveVertices, &context.batch);
}

void CallList(Context& context, CompiledList& list) {
  for (const ListDraw& draw : list.draws) {
    if (draw.bindsTexture) BindTexture(context, draw.texture);
    DrawList(context, list, draw);
  }
  FixedState& s = context.state;
  if (list.sets & kColorBit) Set(s.color, list.color);
  if (list.sets & kNormalBit) Set(s.normal, list.normal);
  if (list.sets & kTexCoordBit) Set(s.texCoord, list.texCoord);
  if (list.bindsTexture) BindTexture(context, list.texture);
}

}  // namespace
}  // namespace gl11

using namespace gl11;

void glBegin(GLenum mode) {
  if (!Recorded(ListCommand::kBegin, static_cast<float>(mode))) Begin(Current(), mode);
}

void glEnd() {
  if (!Recorded(ListCommand::kEnd)) End(Current());
}

void glColor3f(GLfloat r, GLfloat g, GLfloat b) {
  const GLfloat color[4] = {r, g, b, 1};
  if (!Recorded(ListCommand::kColor, r, g, b, 1)) Set(Current().state.color, color);
}

void glNormal3fv(const GLfloat* v) {
  if (!Recorded(ListCommand::kNormal, v[0], v[1], v[2])) Set<3>(Current().state.normal, v);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
  const GLfloat coords[2] = {s, t};
  if (!Recorded(ListCommand::kTexCoord, s, t)) Set(Current().state.texCoord, coords);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  if (!Recorded(ListCommand::kVertex, x, y, z)) AddVertex(Current(), x, y, z);
}

void glVertex3fv(const GLfloat* v) {
  glVertex3f(v[0], v[1], v[2]);
}

void glVertex2f(GLfloat x, GLfloat y) {
  glVertex3f(x, y, 0);
}

// Only GL_COMPILE is offered; the program never executes a list while compiling it.
void glNewList(GLuint list, GLenum mode) {
  Context& context = Current();
  if (list == 0 || mode != GL_COMPILE || context.recordingName != 0) return;
  context.recordingName = list;
  context.recording.clear();
}

void glEndList() {
  Context& context = Current();
  if (context.recordingName == 0) return;
  CompiledList& list = context.lists[context.recordingName];
  ReleaseList(list);
  list = CompileList(context.recording);
  context.recordingName = 0;
  context.recording.clear();
  context.recording.shrink_to_fit();
}

void glCallList(GLuint list) {
  Context& context = Current();
  const auto found = context.lists.find(list);
  if (found != context.lists.end()) CallList(context, found->second);
}
