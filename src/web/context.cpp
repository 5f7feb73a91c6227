// The layer's one context and its texture table; see context.h.
#include "web/context.h"

namespace gl11 {

Context& Current() {
  static Context context;
  return context;
}

Context& ChangingState() {
  Context& context = Current();
  Flush(context);
  return context;
}

bool Recorded(ListCommand::Kind kind, float a, float b, float c, float d) {
  Context& context = Current();
  if (context.recordingName == 0) return false;
  context.recording.push_back({kind, {a, b, c, d}});
  return true;
}

TextureObject* Context::Texture(uint32_t name) {
  return name < textures.size() ? &textures[name] : nullptr;
}

TextureParameters Context::Get(uint32_t name) const {
  return name < textures.size() ? textures[name].parameters : TextureParameters{};
}

void Context::Set(uint32_t name, const TextureParameters& parameters) {
  if (name < textures.size()) textures[name].parameters = parameters;
}

}  // namespace gl11
