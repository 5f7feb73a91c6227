// The layer's matrices; see matrix.h. Products run in double and are stored back as floats.
#include "web/matrix.h"

#include <cmath>

namespace gl11 {

Matrix Matrix::Identity() {
  return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

// The rotation matrix that glRotate documents, about the normalised axis.
Matrix Matrix::Rotation(float degrees, float x, float y, float z) {
  Matrix r = Identity();
  const double length = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
  if (length == 0.0) return r;
  const double ux = x / length, uy = y / length, uz = z / length;
  const double radians = degrees * (3.14159265358979323846 / 180.0);
  const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
  const double rows[3][3] = {{ux * ux * t + c, ux * uy * t - uz * s, ux * uz * t + uy * s},
                             {uy * ux * t + uz * s, uy * uy * t + c, uy * uz * t - ux * s},
                             {uz * ux * t - uy * s, uz * uy * t + ux * s, uz * uz * t + c}};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      r.m[column * 4 + row] = static_cast<float>(rows[row][column]);
    }
  }
  return r;
}

Matrix Matrix::Translation(float x, float y, float z) {
  Matrix t = Identity();
  t.m[12] = x;
  t.m[13] = y;
  t.m[14] = z;
  return t;
}

// The frustum that gluPerspective describes (fovy is the full vertical angle), computed in
// double as GLU does.
Matrix Matrix::Perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
  Matrix p = {};
  const double radians = fovyDegrees / 2 * 3.14159265358979323846 / 180;
  const double depth = zFar - zNear;
  const double cotangent = std::cos(radians) / std::sin(radians);
  p.m[0] = static_cast<float>(cotangent / aspect);
  p.m[5] = static_cast<float>(cotangent);
  p.m[10] = static_cast<float>(-(zFar + zNear) / depth);
  p.m[11] = -1.0f;
  p.m[14] = static_cast<float>(-2 * zNear * zFar / depth);
  return p;
}

Matrix Matrix::operator*(const Matrix& other) const {
  Matrix product;
  for (int column = 0; column < 4; ++column) {
    for (int row = 0; row < 4; ++row) {
      double sum = 0.0;
      for (int k = 0; k < 4; ++k) sum += double(m[k * 4 + row]) * other.m[column * 4 + k];
      product.m[column * 4 + row] = static_cast<float>(sum);
    }
  }
  return product;
}

void Matrix::NormalMatrix(float out[9]) const {
  auto a = [this](int row, int column) { return double(m[column * 4 + row]); };
  // Cofactors of the upper 3x3 over its determinant: the inverse transpose, directly.
  const double c[3][3] = {
      {a(1, 1) * a(2, 2) - a(1, 2) * a(2, 1), a(1, 2) * a(2, 0) - a(1, 0) * a(2, 2),
       a(1, 0) * a(2, 1) - a(1, 1) * a(2, 0)},
      {a(0, 2) * a(2, 1) - a(0, 1) * a(2, 2), a(0, 0) * a(2, 2) - a(0, 2) * a(2, 0),
       a(0, 1) * a(2, 0) - a(0, 0) * a(2, 1)},
      {a(0, 1) * a(1, 2) - a(0, 2) * a(1, 1), a(0, 2) * a(1, 0) - a(0, 0) * a(1, 2),
       a(0, 0) * a(1, 1) - a(0, 1) * a(1, 0)}};
  const double det = a(0, 0) * c[0][0] + a(0, 1) * c[0][1] + a(0, 2) * c[0][2];
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      out[column * 3 + row] = det == 0.0 ? 0.0f : static_cast<float>(c[row][column] / det);
    }
  }
}

void Matrix::Transform(const float in[4], float out[4]) const {
  for (int row = 0; row < 4; ++row) {
    double sum = 0.0;
    for (int k = 0; k < 4; ++k) sum += double(m[k * 4 + row]) * in[k];
    out[row] = static_cast<float>(sum);
  }
}

MatrixStack::MatrixStack(int depth)
    : depth_(depth < 1           ? 1
             : depth > kMaxDepth ? kMaxDepth
                                 : depth) {
  stack_[0] = Matrix::Identity();
}

bool MatrixStack::Push() {
  if (size_ == depth_) return false;
  stack_[size_] = stack_[size_ - 1];
  ++size_;
  return true;
}

bool MatrixStack::Pop() {
  if (size_ == 1) return false;
  --size_;
  return true;
}

}  // namespace gl11
