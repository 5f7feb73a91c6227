// glPushAttrib/glPopAttrib over the fixed state; see fixed_state.h.
#include "web/fixed_state.h"

#include <algorithm>
#include <cstddef>

namespace gl11 {

namespace {

template <typename T, std::size_t n>
void Copy(T (&to)[n], const T (&from)[n]) {
  std::copy(from, from + n, to);
}

}  // namespace

bool AttribStack::Push(uint32_t mask, const FixedState& state,
                       const TextureParameterStore& textures) {
  if (size_ == kDepth) return false;
  Entry& entry = entries_[size_++];
  entry.mask = mask;
  entry.state = state;
  if (mask & kTextureBit) entry.texture = textures.Get(state.boundTexture);
  return true;
}

bool AttribStack::Pop(FixedState* state, TextureParameterStore* textures) {
  if (size_ == 0) return false;
  const Entry& entry = entries_[--size_];
  const FixedState& saved = entry.state;
  if (entry.mask & kColorBufferBit) {
    state->blend = saved.blend;
    state->blendSource = saved.blendSource;
    state->blendDestination = saved.blendDestination;
    Copy(state->clearColor, saved.clearColor);
  }
  if (entry.mask & kDepthBufferBit) {
    state->depthTest = saved.depthTest;
    state->depthFunc = saved.depthFunc;
    state->depthMask = saved.depthMask;
    state->clearDepth = saved.clearDepth;
  }
  if (entry.mask & kFogBit) state->fog = saved.fog;
  if (entry.mask & kEnableBit) {
    state->blend = saved.blend;
    state->depthTest = saved.depthTest;
    state->cullFace = saved.cullFace;
    state->texture2D = saved.texture2D;
    state->lighting = saved.lighting;
    state->light0 = saved.light0;
    state->colorMaterial = saved.colorMaterial;
    state->fog = saved.fog;
  }
  if (entry.mask & kCurrentBit) {
    Copy(state->color, saved.color);
    Copy(state->normal, saved.normal);
    Copy(state->texCoord, saved.texCoord);
  }
  if (entry.mask & kTextureBit) {
    state->texture2D = saved.texture2D;
    textures->Set(saved.boundTexture, entry.texture);
    state->boundTexture = saved.boundTexture;
  }
  return true;
}

}  // namespace gl11
