// The renderer: WebGL 2 programs that compute what the fixed-function pipeline of OpenGL 1.1
// computes for the state the program uses, one generated per combination of the state that
// changes the computation (texturing, GL_CLAMP on each axis, lighting, light 0, colour material),
// each compiled on first use, and the draws that hand them triangles with the rest of the fixed
// state as uniforms and WebGL switches. Uniforms and WebGL state are only sent when they differ
// from what was sent last (webgl_state.h).
//
// Per vertex, as OpenGL 1.1 lights: colour = scene ambient x material ambient + light ambient x
// material ambient + max(N.L, 0) x light diffuse x material diffuse, clamped to [0, 1], with,
// under colour material, the vertex colour standing for the tracked material terms. Material
// specular and emission keep their defaults, black, so they add nothing. Positions and normals
// are taken into eye coordinates by the model-view uniform: identity for the waiting triangles,
// which glEnd transformed already, the matrix of glCallList's time for a list.
// The colour is interpolated across the triangle (Gouraud) and multiplied by the texel (modulate).
//
// Per fragment, a repeat-wrapped texture is sampled by WebGL as OpenGL would. WebGL has no
// GL_CLAMP, under which a linear filter tap outside the picture reads the border colour (black)
// instead of the edge texel, so on a clamped axis the shader picks the level of detail from the
// derivatives of the texel coordinates as OpenGL defines it, filters trilinearly with the edge
// clamped, and scales the result by the share of the filter that lies inside the picture.
#include <GL/gl.h>
#include <webgl/webgl1.h>

#include <algorithm>
#include <cstddef>
#include <string>

#include "web/context.h"
#include "web/lost_context.h"
#include "web/webgl_state.h"

namespace gl11 {

namespace {

constexpr const char* kVertexShader = R"(
in vec4 aPosition;
in vec4 aColor;
in vec3 aNormal;
in vec2 aTexCoord;
uniform mat4 uProjection;
uniform mat4 uModelView;
out vec4 vColor;
#ifdef TEXTURING
out vec2 vTexCoord;
#endif
#ifdef LIGHTING
uniform vec4 uSceneAmbient;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialDiffuse;
#endif
#ifdef LIGHT0
uniform mat3 uNormalMatrix;
uniform vec4 uLightPosition;  // eye coordinates
uniform vec4 uLightAmbient;
uniform vec4 uLightDiffuse;
#endif
void main() {
  vec4 eye = uModelView * aPosition;
  gl_Position = uProjection * eye;
#ifdef TEXTURING
  vTexCoord = aTexCoord;
#endif
#ifndef LIGHTING
  vColor = clamp(aColor, 0.0, 1.0);
#else
#ifdef AMBIENT_FROM_COLOR
  vec4 ambient = aColor;
#else
  vec4 ambient = uMaterialAmbient;
#endif
#ifdef DIFFUSE_FROM_COLOR
  vec4 diffuse = aColor;
#else
  vec4 diffuse = uMaterialDiffuse;
#endif
  vec3 color = uSceneAmbient.rgb * ambient.rgb;
#ifdef LIGHT0
  vec3 toLight = uLightPosition.w == 0.0 ? uLightPosition.xyz
                                         : uLightPosition.xyz / uLightPosition.w - eye.xyz / eye.w;
  float lambert = max(dot(uNormalMatrix * aNormal, normalize(toLight)), 0.0);
  color += uLightAmbient.rgb * ambient.rgb + lambert * uLightDiffuse.rgb * diffuse.rgb;
#endif
  vColor = clamp(vec4(color, diffuse.a), 0.0, 1.0);
#endif
}
)";

constexpr const char* kFragmentShader = R"(
in vec4 vColor;
out vec4 fragColor;
#ifdef TEXTURING
in vec2 vTexCoord;
uniform sampler2D uTexture;
#endif
#if defined(CLAMP_S) || defined(CLAMP_T)
uniform vec2 uSize;       // level 0, in texels
uniform float uMaxLevel;  // 0 without mipmaps

// The share of a linear filter's two taps that falls inside a level `size` texels wide.
float Inside(float s, float size) {
  return min(1.0, s * size + 0.5) * min(1.0, (1.0 - s) * size + 0.5);
}

// The share of the filter inside the picture at `level`, on the clamped axes.
float InsideAt(vec2 st, float level) {
  vec2 size = max(floor(uSize / exp2(level)), 1.0);
  float share = 1.0;
#ifdef CLAMP_S
  share *= Inside(st.x, size.x);
#endif
#ifdef CLAMP_T
  share *= Inside(st.y, size.y);
#endif
  return share;
}
#endif
void main() {
#if !defined(TEXTURING)
  fragColor = vColor;
#elif !defined(CLAMP_S) && !defined(CLAMP_T)
  fragColor = vColor * texture(uTexture, vTexCoord);
#else
  vec2 texels = vTexCoord * uSize;
  float rho = max(length(dFdx(texels)), length(dFdy(texels)));
  vec2 st = vTexCoord;
#ifdef CLAMP_S
  st.x = clamp(st.x, 0.0, 1.0);
#endif
#ifdef CLAMP_T
  st.y = clamp(st.y, 0.0, 1.0);
#endif
  // One trilinear lookup at OpenGL's level of detail (0 when magnified), scaled by the share of
  // the filter inside the picture, blended between the two levels as the texels are. Exact
  // wherever both levels' shares are equal, that is everywhere but within a texel of a clamped
  // edge while minified; there the two levels' colours are nearly equal. A second lookup per
  // fragment would make it exact there too, at three times the frame's cost on SwiftShader.
  float lambda = clamp(log2(rho), 0.0, uMaxLevel);
  float lower = floor(lambda);
  float inside = mix(InsideAt(st, lower), InsideAt(st, min(lower + 1.0, uMaxLevel)), lambda - lower);
  fragColor = vColor * textureLod(uTexture, st, lambda) * inside;
#endif
}
)";

// The state a program is generated for, one bit each. Bits the rest of the state makes
// irrelevant stay 0, so that states that draw alike share one program.
enum KeyBit : unsigned {
  kTexturing = 1,
  kClampS = 2,
  kClampT = 4,
  kLighting = 8,
  kLight0 = 16,
  kAmbientFromColor = 32,
  kDiffuseFromColor = 64,
  kKeyCount = 128,
};

constexpr const char* kDefines[] = {"TEXTURING",         "CLAMP_S", "CLAMP_T",
                                    "LIGHTING",          "LIGHT0",  "AMBIENT_FROM_COLOR",
                                    "DIFFUSE_FROM_COLOR"};

enum Attribute : GLuint { kPosition, kColor, kNormal, kTexCoord, kAttributeCount };

enum UniformId {
  kProjection,
  kModelView,
  kNormalMatrix,
  kLightPosition,
  kLightAmbient,
  kLightDiffuse,
  kSceneAmbient,
  kMaterialAmbient,
  kMaterialDiffuse,
  kSize,
  kMaxLevel,
  kUniformCount,
};

constexpr const char* kUniformNames[] = {"uProjection",    "uModelView",       "uNormalMatrix",
                                         "uLightPosition", "uLightAmbient",    "uLightDiffuse",
                                         "uSceneAmbient",  "uMaterialAmbient", "uMaterialDiffuse",
                                         "uSize",          "uMaxLevel"};
constexpr int kUniformFloats[] = {16, 16, 9, 4, 4, 4, 4, 4, 4, 2, 1};

// A generated program, its uniforms' locations (-1 where its source leaves one out) and the
// values last sent to each.
struct Program {
  GLuint program = 0;
  GLint location[kUniformCount];
  float sent[kUniformCount][16];
  bool known[kUniformCount];
};

constexpr float kIdentity3[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

// What the layer holds on the current WebGL context; all of it made again after a lost one.
Program g_programs[kKeyCount];
GLuint g_streamBuffer = 0;  // the waiting triangles, uploaded at each Flush
GLuint g_attributesOf = 0;  // the buffer the vertex attribute pointers point into

GLuint Compile(GLenum type, unsigned key, const char* body) {
  std::string source = "#version 300 es\nprecision highp float;\n";
  for (unsigned bit = 0; (1u << bit) < kKeyCount; ++bit) {
    if (key & (1u << bit)) source += std::string("#define ") + kDefines[bit] + "\n";
  }
  source += body;
  const char* text = source.c_str();
  const GLuint shader = emscripten_glCreateShader(type);
  emscripten_glShaderSource(shader, 1, &text, nullptr);
  emscripten_glCompileShader(shader);
  return shader;
}

Program& ProgramFor(unsigned key) {
  Program& p = g_programs[key];
  if (p.program != 0) return p;
  p.program = emscripten_glCreateProgram();
  const GLuint shaders[] = {Compile(GL_VERTEX_SHADER, key, kVertexShader),
                            Compile(GL_FRAGMENT_SHADER, key, kFragmentShader)};
  for (GLuint shader : shaders) emscripten_glAttachShader(p.program, shader);
  const char* const attributes[] = {"aPosition", "aColor", "aNormal", "aTexCoord"};
  for (GLuint a = 0; a < kAttributeCount; ++a) {
    emscripten_glBindAttribLocation(p.program, a, attributes[a]);
  }
  emscripten_glLinkProgram(p.program);
  for (GLuint shader : shaders) emscripten_glDeleteShader(shader);  // freed with the program
  for (int u = 0; u < kUniformCount; ++u) {
    p.location[u] = emscripten_glGetUniformLocation(p.program, kUniformNames[u]);
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
    case 4:
      emscripten_glUniform4fv(at, 1, value);
      break;
    case 2:
      emscripten_glUniform2fv(at, 1, value);
      break;
    default:
      emscripten_glUniform1fv(at, 1, value);
  }
}

// The texture to draw with, or null when texturing is off or the bound texture is incomplete.
TextureObject* DrawnTexture(Context& context) {
  const FixedState& s = context.state;
  TextureObject* texture = s.texture2D ? context.Texture(s.boundTexture) : nullptr;
  return texture != nullptr && texture->levels > 0 ? texture : nullptr;
}

unsigned KeyFor(const FixedState& s, const TextureObject* texture) {
  unsigned key = 0;
  if (texture != nullptr) {
    key |= kTexturing;
    if (texture->parameters.wrapS != GL_REPEAT) key |= kClampS;
    if (texture->parameters.wrapT != GL_REPEAT) key |= kClampT;
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

void TextureParameter(TextureObject* texture, int index, GLenum name, uint32_t value) {
  if (texture->webglParameters[index] == value) return;
  texture->webglParameters[index] = value;
  emscripten_glTexParameteri(GL_TEXTURE_2D, name, static_cast<GLint>(value));
}

// The texture on unit 0 with its wrap and filters, and the uniforms of the clamped filter.
void UseTexture(Program& p, TextureObject* texture) {
  const TextureParameters& parameters = texture->parameters;
  const bool mipmapped = parameters.minFilter != GL_LINEAR && parameters.minFilter != GL_NEAREST;
  webgl::BindTexture(texture->webgl);
  TextureParameter(texture, 0, GL_TEXTURE_WRAP_S,
                   parameters.wrapS == GL_REPEAT ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  TextureParameter(texture, 1, GL_TEXTURE_WRAP_T,
                   parameters.wrapT == GL_REPEAT ? GL_REPEAT : GL_CLAMP_TO_EDGE);
  TextureParameter(texture, 2, GL_TEXTURE_MIN_FILTER,
                   mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
  TextureParameter(texture, 3, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  const float size[2] = {static_cast<float>(texture->width), static_cast<float>(texture->height)};
  const float maxLevel = mipmapped ? static_cast<float>(texture->levels - 1) : 0.0f;
  SetUniform(p, kSize, size);
  SetUniform(p, kMaxLevel, &maxLevel);
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

// Draws vertices [first, first + count) of `buffer` with the state as it stands.
void Draw(Context& context, GLuint buffer, const Matrix& modelview, const float* normalMatrix,
          GLint first, GLsizei count, uint8_t inherited) {
  const FixedState& s = context.state;
  TextureObject* texture = DrawnTexture(context);
  Program& p = ProgramFor(KeyFor(s, texture));
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

void ForgetWebGlObjects() {
  for (Program& p : g_programs) p = Program{};
  g_streamBuffer = 0;
  g_attributesOf = 0;
  webgl::Forget();
  Context& context = Current();
  context.batch.clear();
  for (TextureObject& texture : context.textures) {
    texture.webgl = 0;
    texture.levels = 0;
    std::fill(texture.webglParameters, texture.webglParameters + 4, 0);
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
       static_cast<GLsizei>(context.batch.size()), 0);
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
  Draw(context, list.webglBuffer, modelview, normalMatrix, static_cast<GLint>(draw.first),
       static_cast<GLsizei>(draw.count), draw.inherited);
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
