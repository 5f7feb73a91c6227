// The layer's matrices: 4x4 column-major floats as OpenGL stores them, the products that
// glRotatef, glTranslatef and gluPerspective multiply in, and the fixed-depth stacks of
// glPushMatrix/glPopMatrix. Pure arithmetic; needs no WebGL.
#pragma once

namespace gl11 {

struct Matrix {
  float m[16];  // column-major: m[column * 4 + row]

  static Matrix Identity();
  static Matrix Rotation(float degrees, float x, float y, float z);  // the axis need not be unit
  static Matrix Translation(float x, float y, float z);
  static Matrix Perspective(double fovyDegrees, double aspect, double zNear, double zFar);

  // This * other: `other` is applied to a vertex first, as glMultMatrix does.
  Matrix operator*(const Matrix& other) const;

  // The upper 3x3 of the inverse transpose, column-major, for transforming normals; zeros when
  // that part is singular.
  void NormalMatrix(float out[9]) const;

  // (x, y, z, w) transformed by this matrix.
  void Transform(const float in[4], float out[4]) const;
};

// A matrix stack of fixed depth: the top is the current matrix. Pushing a full stack or popping
// the last matrix changes nothing, as OpenGL answers those with an error and no effect.
class MatrixStack {
 public:
  explicit MatrixStack(int depth);

  Matrix& Top() { return stack_[size_ - 1]; }
  const Matrix& Top() const { return stack_[size_ - 1]; }
  bool Push();
  bool Pop();
  int Size() const { return size_; }

 private:
  static constexpr int kMaxDepth = 32;  // GL_MAX_MODELVIEW_STACK_DEPTH's minimum
  Matrix stack_[kMaxDepth];
  int depth_;
  int size_ = 1;
};

}  // namespace gl11
