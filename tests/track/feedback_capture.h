// Reads back what OpenGL would rasterise, in feedback mode: each polygon with its vertices'
// window positions, colours and texture coordinates. Needs a current context; used by the
// rendering tests to compare a display list's geometry with the track's points.
#pragma once

#include <vector>

#include "opengl.h"

struct FeedbackVertex {
  float x, y, z;     // window coordinates
  float r, g, b, a;  // colour after lighting, clamped
  float s, t;        // texture coordinates (r and q are dropped)
};

using FeedbackPolygon = std::vector<FeedbackVertex>;

// Runs draw() in GL_FEEDBACK mode with GL_3D_COLOR_TEXTURE and returns the polygons it produced.
// Points, lines and pass-through markers are skipped. An overflow returns what fitted.
template <typename Draw>
std::vector<FeedbackPolygon> CapturePolygons(Draw draw, size_t capacity = 1u << 20) {
  std::vector<GLfloat> buffer(capacity);
  glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  GLint used = glRenderMode(GL_RENDER);
  if (used < 0) used = static_cast<GLint>(buffer.size());  // overflow

  constexpr int kVertexFloats = 3 + 4 + 4;
  std::vector<FeedbackPolygon> polygons;
  GLint i = 0;
  auto vertex = [&buffer](GLint at) {
    const GLfloat* v = buffer.data() + at;
    return FeedbackVertex{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
  };
  while (i < used) {
    const auto token = static_cast<GLenum>(buffer[static_cast<size_t>(i++)]);
    if (token == GL_POLYGON_TOKEN) {
      const auto count = static_cast<GLint>(buffer[static_cast<size_t>(i++)]);
      FeedbackPolygon polygon;
      for (GLint k = 0; k < count && i + kVertexFloats <= used; ++k, i += kVertexFloats) {
        polygon.push_back(vertex(i));
      }
      polygons.push_back(polygon);
    } else if (token == GL_POINT_TOKEN || token == GL_BITMAP_TOKEN ||
               token == GL_DRAW_PIXEL_TOKEN || token == GL_COPY_PIXEL_TOKEN) {
      i += kVertexFloats;
    } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
      i += 2 * kVertexFloats;
    } else if (token == GL_PASS_THROUGH_TOKEN) {
      i += 1;
    } else {
      break;  // not a token: the buffer is out of step
    }
  }
  return polygons;
}
