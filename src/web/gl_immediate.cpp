// Immediate mode and display lists: glBegin/glEnd with OpenGL's current-attribute semantics (a
// colour, normal or texture coordinate stays current until the next one, inside or outside
// glBegin), quads split into two triangles, and lists that record these commands and replay them
// through the same paths, so an attribute a list does not set is the one current at glCallList.
// glBindTexture is recorded too; the program compiles nothing else into a list.
#include <GL/gl.h>

#include "web/context.h"

namespace gl11 {

void Begin(Context& context, uint32_t mode) {
  context.inBegin = true;
  context.primitive = mode;
  context.primitiveVertices.clear();
}

void AddVertex(Context& context, float x, float y, float z) {
  if (!context.inBegin) return;
  Vertex v = {{x, y, z, 1},
              {context.color[0], context.color[1], context.color[2], context.color[3]},
              {context.normal[0], context.normal[1], context.normal[2]},
              {context.texCoord[0], context.texCoord[1]}};
  context.primitiveVertices.push_back(v);
}

// Into eye coordinates with the model-view matrix of glEnd, which no call inside glBegin/glEnd
// may change; normals by its inverse transpose, not renormalised (GL_NORMALIZE is off).
// Triangles go through as they are; a quad (v0 v1 v2 v3) becomes (v0 v1 v2) and (v0 v2 v3),
// both counter-clockwise when the quad is. A last incomplete primitive is dropped.
void End(Context& context) {
  if (!context.inBegin) return;
  context.inBegin = false;
  std::vector<Vertex>& v = context.primitiveVertices;
  const Matrix& modelview = context.modelview.Top();
  float normalMatrix[9];
  modelview.NormalMatrix(normalMatrix);
  for (Vertex& vertex : v) {
    const float position[4] = {vertex.position[0], vertex.position[1], vertex.position[2], 1};
    modelview.Transform(position, vertex.position);
    const float n[3] = {vertex.normal[0], vertex.normal[1], vertex.normal[2]};
    for (int row = 0; row < 3; ++row) {
      vertex.normal[row] =
          normalMatrix[row] * n[0] + normalMatrix[3 + row] * n[1] + normalMatrix[6 + row] * n[2];
    }
  }
  if (context.primitive == GL_TRIANGLES) {
    context.batch.insert(context.batch.end(), v.begin(), v.begin() + v.size() / 3 * 3);
  } else if (context.primitive == GL_QUADS) {
    for (size_t i = 0; i + 3 < v.size(); i += 4) {
      const Vertex quad[6] = {v[i], v[i + 1], v[i + 2], v[i], v[i + 2], v[i + 3]};
      context.batch.insert(context.batch.end(), quad, quad + 6);
    }
  }
}

namespace {

void SetColor(Context& context, float r, float g, float b, float a) {
  context.color[0] = r;
  context.color[1] = g;
  context.color[2] = b;
  context.color[3] = a;
}

void SetNormal(Context& context, float x, float y, float z) {
  context.normal[0] = x;
  context.normal[1] = y;
  context.normal[2] = z;
}

void SetTexCoord(Context& context, float s, float t) {
  context.texCoord[0] = s;
  context.texCoord[1] = t;
}

void Replay(Context& context, const std::vector<ListCommand>& list) {
  for (const ListCommand& command : list) {
    const float* v = command.value;
    switch (command.kind) {
      case ListCommand::kBegin:
        Begin(context, static_cast<uint32_t>(v[0]));
        break;
      case ListCommand::kEnd:
        End(context);
        break;
      case ListCommand::kColor:
        SetColor(context, v[0], v[1], v[2], v[3]);
        break;
      case ListCommand::kNormal:
        SetNormal(context, v[0], v[1], v[2]);
        break;
      case ListCommand::kTexCoord:
        SetTexCoord(context, v[0], v[1]);
        break;
      case ListCommand::kVertex:
        AddVertex(context, v[0], v[1], v[2]);
        break;
      case ListCommand::kBindTexture:
        BindTexture(context, static_cast<uint32_t>(v[0]));
        break;
    }
  }
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
  if (!Recorded(ListCommand::kColor, r, g, b, 1)) SetColor(Current(), r, g, b, 1);
}

void glNormal3fv(const GLfloat* v) {
  if (!Recorded(ListCommand::kNormal, v[0], v[1], v[2])) SetNormal(Current(), v[0], v[1], v[2]);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
  if (!Recorded(ListCommand::kTexCoord, s, t)) SetTexCoord(Current(), s, t);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
  if (!Recorded(ListCommand::kVertex, x, y, z)) AddVertex(Current(), x, y, z);
}

void glVertex3fv(const GLfloat* v) {
  glVertex3f(v[0], v[1], v[2]);
}

// Only GL_COMPILE is offered; the program never executes a list while compiling it.
void glNewList(GLuint list, GLenum mode) {
  Context& context = Current();
  if (list == 0 || mode != GL_COMPILE || context.recording != nullptr) return;
  context.recording = &context.lists[list];
  context.recording->clear();
}

void glEndList() {
  Current().recording = nullptr;
}

void glCallList(GLuint list) {
  Context& context = Current();
  const auto found = context.lists.find(list);
  if (found != context.lists.end()) Replay(context, found->second);
}
