// The matrix entry points: the two stacks of glMatrixMode, and gluPerspective, which multiplies
// the current matrix like the rest. glEnd takes vertices into eye coordinates with the
// model-view top; the renderer reads the projection top when it draws, so only a change of that
// one draws the waiting triangles first.
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "web/context.h"

using namespace gl11;

namespace {

MatrixStack& CurrentStack() {
  Context& context = Current();
  if (context.matrices == &context.projection) Flush(context);
  return *context.matrices;
}

void MultiplyCurrent(const Matrix& by) {
  Matrix& top = CurrentStack().Top();
  top = top * by;
}

}  // namespace

void glMatrixMode(GLenum mode) {
  Context& context = Current();
  if (mode == GL_MODELVIEW) context.matrices = &context.modelview;
  if (mode == GL_PROJECTION) context.matrices = &context.projection;
}

void glLoadIdentity() {
  CurrentStack().Top() = Matrix::Identity();
}

void glPushMatrix() {
  CurrentStack().Push();
}

void glPopMatrix() {
  CurrentStack().Pop();
}

void glRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z) {
  MultiplyCurrent(Matrix::Rotation(degrees, x, y, z));
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
  MultiplyCurrent(Matrix::Translation(x, y, z));
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
  if (zNear == zFar || aspect == 0 || std::sin(fovy / 2 * 3.14159265358979323846 / 180) == 0) {
    return;  // GLU leaves the matrix alone for a degenerate frustum
  }
  MultiplyCurrent(Matrix::Perspective(fovy, aspect, zNear, zFar));
}
