// The track's static mesh, compiled once into a display list: the two gates, then per segment the
// two surface triangles and the four wall triangles, each with its own normal and texture
// coordinates. Every triangle runs counter-clockwise seen from the side its normal points to.
// Build needs a current rendering context with the textures loaded.
#include <cmath>

#include "opengl.h"
#include "track/track.h"

namespace {

constexpr float kWallHeight = 0.1f;

struct TexCoord {
  float s;
  float t;
};

// A triangle's corners carry the triangle's own texture coordinates, so two triangles of a quad
// never share a vertex record: each shows its own half of the picture.
void EmitTriangle(const float (&vertices)[9], const TexCoord (&coords)[3]) {
  float normal[3];
  Track::FaceNormal(vertices, normal);
  glNormal3fv(normal);
  for (int k = 0; k < 3; ++k) {
    glTexCoord2f(coords[k].s, coords[k].t);
    glVertex3fv(vertices + 3 * k);
  }
}

void EmitGateVertex(float s, float t, float x, float y, float z) {
  glTexCoord2f(s, t);
  glVertex3f(x, y, z);
}

}  // namespace

void Track::Build(int id) {
  listId = id;
  Generate();
  glNewList(static_cast<GLuint>(listId), GL_COMPILE);
  glColor3f(1.0f, 1.0f, 1.75f);
  DrawGates();
  surfaceTexture.Bind();  // the walls share the surface's picture
  for (int i = 0; i <= segmentCount - 1; ++i) {
    glBegin(GL_TRIANGLES);
    DrawSegmentSurface(i);
    DrawSegmentWalls(i);
    glEnd();
  }
  glEndList();
}

// Upright bands across the full width, each counter-clockwise toward the track so back-face
// culling hides them from outside. No normal: they take whatever is current.
void Track::DrawGates() const {
  const float h = halfWidth;
  const TrackPoint& start = points[0];
  const TrackPoint& finish = points[segmentCount];
  gateTexture.Bind();
  glBegin(GL_QUADS);
  EmitGateVertex(0, 1, -h, start.rightHeight + kWallHeight, start.z);
  EmitGateVertex(0, 0, -h, start.rightHeight, start.z);
  EmitGateVertex(1, 0, h, start.leftHeight, start.z);
  EmitGateVertex(1, 1, h, start.leftHeight + kWallHeight, start.z);
  glEnd();
  glBegin(GL_QUADS);
  EmitGateVertex(0, 1, h, finish.leftHeight + kWallHeight, finish.z);
  EmitGateVertex(0, 0, h, finish.leftHeight, finish.z);
  EmitGateVertex(1, 0, -h, finish.rightHeight, finish.z);
  EmitGateVertex(1, 1, -h, finish.rightHeight + kWallHeight, finish.z);
  glEnd();
}

// The quad between point i (near) and i + 1 (far), split from the near left corner to the far
// right corner. Faces up.
void Track::DrawSegmentSurface(int i) const {
  const float h = halfWidth;
  const TrackPoint& p = points[i];
  const TrackPoint& q = points[i + 1];
  EmitTriangle({-h, q.rightHeight, q.z, h, p.leftHeight, p.z, -h, p.rightHeight, p.z},
               {{0, 0}, {1, 0}, {0, 1}});
  EmitTriangle({h, q.leftHeight, q.z, h, p.leftHeight, p.z, -h, q.rightHeight, q.z},
               {{1, 0}, {1, 1}, {0, 1}});
}

// The left wall (x = +h, facing -x) then the right wall (x = -h, facing +x), each split from its
// far bottom corner to its near top corner: both face the inside of the track.
void Track::DrawSegmentWalls(int i) const {
  const float h = halfWidth;
  const TrackPoint& p = points[i];
  const TrackPoint& q = points[i + 1];
  const float pLeftTop = p.leftHeight + kWallHeight;
  const float qLeftTop = q.leftHeight + kWallHeight;
  const float pRightTop = p.rightHeight + kWallHeight;
  const float qRightTop = q.rightHeight + kWallHeight;
  EmitTriangle({h, p.leftHeight, p.z, h, q.leftHeight, q.z, h, pLeftTop, p.z},
               {{0, 0}, {0, 1}, {1, 1}});
  EmitTriangle({h, q.leftHeight, q.z, h, qLeftTop, q.z, h, pLeftTop, p.z},
               {{0, 0}, {1, 1}, {1, 0}});
  EmitTriangle({-h, q.rightHeight, q.z, -h, p.rightHeight, p.z, -h, pRightTop, p.z},
               {{0, 1}, {0, 0}, {1, 1}});
  EmitTriangle({-h, q.rightHeight, q.z, -h, pRightTop, p.z, -h, qRightTop, q.z},
               {{0, 1}, {1, 1}, {1, 0}});
}

// (V1 - V2) x (V2 - V3), which equals the counter-clockwise normal (V2 - V1) x (V3 - V1).
void Track::FaceNormal(const float vertices[9], float normal[3]) {
  float a[3];
  float b[3];
  for (int k = 0; k < 3; ++k) {
    a[k] = vertices[k] - vertices[3 + k];
    b[k] = vertices[3 + k] - vertices[6 + k];
  }
  CrossProduct(a, b, normal);
  Normalize(normal);
}

// Products of two floats are exact in double, so each component is rounded once.
void Track::CrossProduct(const float a[3], const float b[3], float result[3]) {
  const double ax = a[0], ay = a[1], az = a[2];
  result[0] = static_cast<float>(ay * b[2] - az * b[1]);
  result[1] = static_cast<float>(az * b[0] - ax * b[2]);
  result[2] = static_cast<float>(ax * b[1] - ay * b[0]);
}

// The length is taken in double so an axis-aligned vector comes out exactly unit. A zero vector
// stays zero.
void Track::Normalize(float v[3]) {
  const double x = v[0], y = v[1], z = v[2];
  double length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0) length = 1.0;
  v[0] = static_cast<float>(x / length);
  v[1] = static_cast<float>(y / length);
  v[2] = static_cast<float>(z / length);
}
