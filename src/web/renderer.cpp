// The renderer: the layer's programs (shaders.h), each compiled on first use and checked, the
// first one the driver refuses kept for the shell (failure.h), and the draws that hand them
// triangles with the rest of the fixed state as uniforms and WebGL switches, and textures as
// WebGL images made for their wraps (clamp_border.h). Uniforms and WebGL state are only sent when
// they differ from what was sent last (webgl_state.h).
#include <GL/gl.h>
#include <emscripten/html5.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "web/context.h"
#include "web/failure.h"
#include "web/lost_context.h"
#include "web/shaders.h"
#include "web/webgl_state.h"

namespace gl11 {

namespace {

// A generated program, its uniforms' locations (-1 where its source leaves one out) and the
// values last sent to each.
struct Program {
  GLuint program = 0;
  bool linked = false;  // compiled and linked: false draws nothing
  GLint location[kUniformCount];
  float sent[kUniformCount][16];
  bool known[kUniformCount];
};

constexpr float kIdentity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// What the layer holds on the current WebGL context; all of it made again after a lost one.
Program g_programs[kProgramCount];
GLuint g_streamBuffer = 0;  // the waiting triangles, uploaded at each Flush
GLuint g_attributesOf = 0;  // the buffer the vertex attribute pointers point into

std::string g_failure;  // the first refusal, for Failure(); kept for the page's life

// The driver's log of a shader or program, on one line.
std::string InfoLog(GLuint object, bool program) {
  GLint length = 0;
  if (program) {
    emscripten_glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
  } else {
    emscripten_glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
  }
  std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
  GLsizei written = 0;
  if (program) {
    emscripten_glGetProgramInfoLog(object, length, &written, &log[0]);
  } else {
    emscripten_glGetShaderInfoLog(object, length, &written, &log[0]);
  }
  log.resize(static_cast<size_t>(std::max(written, 0)));
  std::replace(log.begin(), log.end(), '\n', ' ');
  while (!log.empty() && (log.back() == ' ' || log.back() == '\0')) log.pop_back();
  return log.empty() ? "the driver gave no log" : log;
}

// Keeps the first failure, unless the context is lost: every status then reads as failed.
void Fail(const std::string& what, GLuint object, bool program) {
  if (!g_failure.empty() ||
      emscripten_is_webgl_context_lost(emscripten_webgl_get_current_context())) {
    return;
  }
  g_failure = what + ": " + InfoLog(object, program);
}

// True when the shader compiled.
bool Compile(GLuint shader, GLenum type, unsigned key) {
  const std::string source =
      type == GL_VERTEX_SHADER ? VertexShaderSource(key) : FragmentShaderSource(key);
  const char* text = source.c_str();
  emscripten_glShaderSource(shader, 1, &text, nullptr);
  emscripten_glCompileShader(shader);
  GLint compiled = GL_FALSE;
  emscripten_glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
  if (compiled) return true;
  Fail(std::string(type == GL_VERTEX_SHADER ? "the vertex" : "the fragment") + " shader of " +
           ProgramName(key) + " did not compile",
       shader, false);
  return false;
}

Program& ProgramFor(unsigned key) {
  Program& p = g_programs[key];
  if (p.program != 0) return p;
  p.program = emscripten_glCreateProgram();
  const GLuint shaders[] = {emscripten_glCreateShader(GL_VERTEX_SHADER),
                            emscripten_glCreateShader(GL_FRAGMENT_SHADER)};
  const bool vertexCompiled = Compile(shaders[0], GL_VERTEX_SHADER, key);
  const bool fragmentCompiled = Compile(shaders[1], GL_FRAGMENT_SHADER, key);
  for (GLuint shader : shaders) emscripten_glAttachShader(p.program, shader);
  for (GLuint a = 0; a < kAttributeCount; ++a) {
    emscripten_glBindAttribLocation(p.program, a, kAttributeNames[a]);
  }
  if (vertexCompiled && fragmentCompiled) {
    emscripten_glLinkProgram(p.program);
    GLint linked = GL_FALSE;
    emscripten_glGetProgramiv(p.program, GL_LINK_STATUS, &linked);
    p.linked = linked != GL_FALSE;
    if (!p.linked) Fail(ProgramName(key) + " did not link", p.program, true);
  }
  for (GLuint shader : shaders) emscripten_glDeleteShader(shader);  // freed with the program
  for (int u = 0; u < kUniformCount; ++u) {
    p.location[u] = p.linked ? emscripten_glGetUniformLocation(p.program, kUniformNames[u]) : -1;
    p.known[u] = false;
  }
  return p;  // uTexture keeps its default, unit 0
}

void SetUniform(Program& p, UniformId id, const float* value) {
  const GLint at = p.location[id];
  const int n = kUniformFloats[id];
  if (at < 0 || (p.known[id] && std::equal(value, value + n, p.sent[id]))) return;
  std::copy(value, value + n, p.sent[id]);
  p.known[id] = true;
  switch (n) {
    case 16:
      emscripten_glUniformMatrix4fv(at, 1, GL_FALSE, value);
      break;
    case 9:
      emscripten_glUniformMatrix3fv(at, 1, GL_FALSE, value);
      break;
    default:
      emscripten_glUniform4fv(at, 1, value);
  }
}

// The texture to draw with, or null when texturing is off or the bound texture is incomplete.
TextureObject* DrawnTexture(Context& context) {
  const FixedState& s = context.state;
  TextureObject* texture = s.texture2D ? context.Texture(s.boundTexture) : nullptr;
  return texture != nullptr && !texture->chain.levels.empty() ? texture : nullptr;
}

uint8_t ClampedAxes(const TextureParameters& parameters) {
  return (parameters.wrapS != GL_REPEAT ? kAxisS : 0) |
         (parameters.wrapT != GL_REPEAT ? kAxisT : 0);
}

// `outside`: the axes on which the drawn texture coordinates leave [0, 1].
unsigned KeyFor(const FixedState& s, const TextureObject* texture, uint8_t outside) {
  unsigned key = 0;
  if (texture != nullptr) {
    key |= kTexturing;
    if (ClampedAxes(texture->parameters) & outside) key |= kClampedCoordinates;
  }
  if (s.lighting) {
    key |= kLighting;
    if (s.light0) key |= kLight0;
    const uint32_t mode = s.colorMaterialMode;
    if (s.colorMaterial && (mode == GL_AMBIENT || mode == GL_AMBIENT_AND_DIFFUSE)) {
      key |= kAmbientFromColor;
    }
    if (s.colorMaterial && (mode == GL_DIFFUSE || mode == GL_AMBIENT_AND_DIFFUSE)) {
      key |= kDiffuseFromColor;
    }
  }
  return key;
}

// Binds the WebGL image that draws the texture with its wraps, made at its first such draw, with
// the texture's minification filter, and sends where the picture lies in it.
void UseTexture(Program& p, TextureObject* texture) {
  const TextureParameters& parameters = texture->parameters;
  const uint8_t clamped = ClampedAxes(parameters);
  WebGlImage& image = texture->images[clamped];
  if (image.texture == 0) MakeImage(*texture, clamped, &image);
  webgl::BindTexture(image.texture);
  const bool mipmapped = parameters.minFilter != GL_LINEAR && parameters.minFilter != GL_NEAREST;
  const uint32_t minFilter = mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
  if (image.minFilter != minFilter) {
    image.minFilter = minFilter;
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
  }
  SetUniform(p, kTexMap, image.frame.map);
  SetUniform(p, kTexRange, image.frame.range);
}

// Points the attributes into `buffer`; those in `inherited` read the current values instead.
void UseVertices(const FixedState& s, GLuint buffer, uint8_t inherited) {
  webgl::BindArrayBuffer(buffer);
  if (g_attributesOf != buffer) {
    g_attributesOf = buffer;
    const size_t offsets[] = {offsetof(Vertex, position), offsetof(Vertex, color),
                              offsetof(Vertex, normal), offsetof(Vertex, texCoord)};
    const GLint sizes[] = {4, 4, 3, 2};
    for (GLuint a = 0; a < kAttributeCount; ++a) {
      emscripten_glVertexAttribPointer(a, sizes[a], GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                       reinterpret_cast<const void*>(offsets[a]));
    }
  }
  webgl::VertexArray(kPosition, true);
  const struct {
    Attribute index;
    AttributeBit bit;
  } current[] = {{kColor, kColorBit}, {kNormal, kNormalBit}, {kTexCoord, kTexCoordBit}};
  for (const auto& a : current) webgl::VertexArray(a.index, !(inherited & a.bit));
  if (inherited & kColorBit) emscripten_glVertexAttrib4fv(kColor, s.color);
  if (inherited & kNormalBit) emscripten_glVertexAttrib3fv(kNormal, s.normal);
  if (inherited & kTexCoordBit) emscripten_glVertexAttrib2fv(kTexCoord, s.texCoord);
}

// Draws vertices [first, first + count) of `buffer` with the state as it stands; `outside` as
// for KeyFor.
void Draw(Context& context, GLuint buffer, const Matrix& modelview, const float* normalMatrix,
          GLint first, GLsizei count, uint8_t inherited, uint8_t outside) {
  const FixedState& s = context.state;
  TextureObject* texture = DrawnTexture(context);
  Program& p = ProgramFor(KeyFor(s, texture, outside));
  if (!p.linked) return;  // the shell hears of it through Failure()
  webgl::UseProgram(p.program);
  webgl::Viewport(context.viewport);
  webgl::Enable(GL_BLEND, s.blend);
  if (s.blend) webgl::BlendFunc(s.blendSource, s.blendDestination);
  webgl::Enable(GL_DEPTH_TEST, s.depthTest);
  if (s.depthTest) webgl::DepthFunc(s.depthFunc);
  webgl::DepthMask(s.depthMask);
  webgl::Enable(GL_CULL_FACE, s.cullFace);

  SetUniform(p, kProjection, context.projection.Top().m);
  SetUniform(p, kModelView, modelview.m);
  SetUniform(p, kNormalMatrix, normalMatrix);
  SetUniform(p, kLightPosition, s.lightPosition);
  SetUniform(p, kLightAmbient, s.lightAmbient);
  SetUniform(p, kLightDiffuse, s.lightDiffuse);
  SetUniform(p, kSceneAmbient, s.sceneAmbient);
  SetUniform(p, kMaterialAmbient, s.materialAmbient);
  SetUniform(p, kMaterialDiffuse, s.materialDiffuse);
  if (texture != nullptr) UseTexture(p, texture);

  UseVertices(s, buffer, inherited);
  emscripten_glDrawArrays(GL_TRIANGLES, first, count);
}

}  // namespace

const char* Failure() {
  return g_failure.c_str();
}

void ForgetWebGlObjects() {
  for (Program& p : g_programs) p = Program{};
  g_streamBuffer = 0;
  g_attributesOf = 0;
  webgl::Forget();
  Context& context = Current();
  context.batch.clear();
  for (TextureObject& texture : context.textures) {
    texture.chain = MipChain{};
    for (WebGlImage& image : texture.images) image = WebGlImage{};
  }
  for (auto& entry : context.lists) entry.second.webglBuffer = 0;  // rebuilt from the CPU copy
}

void Flush(Context& context) {
  if (context.batch.empty()) return;
  if (g_streamBuffer == 0) emscripten_glGenBuffers(1, &g_streamBuffer);
  webgl::BindArrayBuffer(g_streamBuffer);
  emscripten_glBufferData(GL_ARRAY_BUFFER, context.batch.size() * sizeof(Vertex),
                          context.batch.data(), GL_STREAM_DRAW);
  Draw(context, g_streamBuffer, Matrix::Identity(), kIdentity3, 0,
       static_cast<GLsizei>(context.batch.size()), 0,
       TexCoordsOutside(context.batch.data(), context.batch.size()));
  context.batch.clear();
}

void DrawList(Context& context, CompiledList& list, const ListDraw& draw) {
  Flush(context);
  if (list.webglBuffer == 0) {
    emscripten_glGenBuffers(1, &list.webglBuffer);
    webgl::BindArrayBuffer(list.webglBuffer);
    emscripten_glBufferData(GL_ARRAY_BUFFER, list.vertices.size() * sizeof(Vertex),
                            list.vertices.data(), GL_STATIC_DRAW);
  }
  const Matrix& modelview = context.modelview.Top();
  float normalMatrix[9];
  modelview.NormalMatrix(normalMatrix);
  const uint8_t outside = draw.inherited & kTexCoordBit ? TexCoordOutside(context.state.texCoord)
                                                        : draw.texCoordsOutside;
  Draw(context, list.webglBuffer, modelview, normalMatrix, static_cast<GLint>(draw.first),
       static_cast<GLsizei>(draw.count), draw.inherited, outside);
}

void ReleaseList(CompiledList& list) {
  if (list.webglBuffer == 0) return;
  if (g_attributesOf == list.webglBuffer) g_attributesOf = 0;
  emscripten_glDeleteBuffers(1, &list.webglBuffer);
  list.webglBuffer = 0;
}

void ClearBuffers(const Context& context, uint32_t mask) {
  const FixedState& s = context.state;
  webgl::ClearColor(s.clearColor);
  webgl::ClearDepth(s.clearDepth);
  webgl::DepthMask(s.depthMask);
  emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

}  // namespace gl11
