// The list compiler; see display_list.h.
#include "web/display_list.h"

#include <algorithm>

namespace gl11 {

namespace {

constexpr uint32_t kTriangles = 0x0004;  // GL_TRIANGLES
constexpr uint32_t kQuads = 0x0007;      // GL_QUADS

template <int n>
void Set(float (&to)[n], const float* from) {
  std::copy(from, from + n, to);
}

}  // namespace

uint8_t TexCoordOutside(const float (&st)[2]) {
  return (st[0] < 0 || st[0] > 1 ? kAxisS : 0) | (st[1] < 0 || st[1] > 1 ? kAxisT : 0);
}

uint8_t TexCoordsOutside(const Vertex* vertices, size_t count) {
  uint8_t axes = 0;
  for (size_t i = 0; i < count; ++i) axes |= TexCoordOutside(vertices[i].texCoord);
  return axes;
}

void AppendTriangles(uint32_t mode, const std::vector<Vertex>& v, std::vector<Vertex>* out) {
  if (mode == kTriangles) {
    out->insert(out->end(), v.begin(), v.begin() + static_cast<long>(v.size() / 3 * 3));
  } else if (mode == kQuads) {
    for (size_t i = 0; i + 3 < v.size(); i += 4) {
      const Vertex quad[6] = {v[i], v[i + 1], v[i + 2], v[i], v[i + 2], v[i + 3]};
      out->insert(out->end(), quad, quad + 6);
    }
  }
}

// Replays the commands as immediate mode would, into one vertex array. A new draw starts where
// the binding or the set of inherited attributes changes; attributes are only ever set, so a
// list has a few draws however long it is. An attribute first set inside a glBegin/glEnd counts
// as set for that whole primitive.
CompiledList CompileList(const std::vector<ListCommand>& commands) {
  CompiledList list;
  Vertex current = {{0, 0, 0, 1}, {}, {}, {}};
  std::vector<Vertex> primitive;
  uint32_t mode = 0;
  bool inBegin = false;
  for (const ListCommand& command : commands) {
    const float* v = command.value;
    switch (command.kind) {
      case ListCommand::kBegin:
        inBegin = true;
        mode = static_cast<uint32_t>(v[0]);
        primitive.clear();
        break;
      case ListCommand::kEnd:
        if (!inBegin) break;
        inBegin = false;
        AppendTriangles(mode, primitive, &list.vertices);
        break;
      case ListCommand::kColor:
        Set(current.color, v);
        list.sets |= kColorBit;
        break;
      case ListCommand::kNormal:
        Set(current.normal, v);
        list.sets |= kNormalBit;
        break;
      case ListCommand::kTexCoord:
        Set(current.texCoord, v);
        list.sets |= kTexCoordBit;
        break;
      case ListCommand::kVertex:
        if (!inBegin) break;
        std::copy(v, v + 3, current.position);
        primitive.push_back(current);
        break;
      case ListCommand::kBindTexture:
        list.bindsTexture = true;
        list.texture = static_cast<uint32_t>(v[0]);
        break;
    }
    // A draw covers the vertices appended under one binding and one set of attributes.
    const uint32_t size = static_cast<uint32_t>(list.vertices.size());
    const uint8_t inherited = static_cast<uint8_t>(~list.sets & 7);
    ListDraw* last = list.draws.empty() ? nullptr : &list.draws.back();
    const uint32_t drawn = last ? last->first + last->count : 0;
    if (size == drawn) continue;
    if (last && last->inherited == inherited && last->bindsTexture == list.bindsTexture &&
        last->texture == list.texture) {
      last->count = size - last->first;
    } else {
      list.draws.push_back({drawn, size - drawn, inherited, list.bindsTexture, list.texture, 0});
    }
  }
  for (ListDraw& draw : list.draws) {
    draw.texCoordsOutside = TexCoordsOutside(&list.vertices[draw.first], draw.count);
  }
  Set(list.color, current.color);
  Set(list.normal, current.normal);
  Set(list.texCoord, current.texCoord);
  return list;
}

}  // namespace gl11
