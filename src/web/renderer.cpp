// The renderer: one WebGL 2 program that computes what the fixed-function pipeline of
// OpenGL 1.1 computes for the state the program uses, and the draw that hands it the waiting
// triangles with the fixed state as uniforms and WebGL switches.
//
// Per vertex, as OpenGL 1.1 lights: colour = scene ambient x material ambient + light ambient x
// material ambient + max(N.L, 0) x light diffuse x material diffuse, clamped to [0, 1], with,
// under colour material, the vertex colour standing for the tracked
// material terms. Material specular and emission keep their defaults, black, so they add nothing.
// Positions and normals arrive in eye coordinates (glEnd transformed them), so one draw serves
// triangles of any number of model-view matrices.
// The colour is interpolated across the triangle (Gouraud) and multiplied by the texel (modulate).
//
// Per fragment, the texel is filtered in the shader: WebGL has no GL_CLAMP, under which a linear
// filter tap outside the picture reads the border colour (black) instead of the edge texel. The
// shader picks the level of detail from the derivatives of the texel coordinates as OpenGL
// defines it, filters each of the two nearest levels bilinearly with the edge clamped, and scales
// each by the share of the filter that lies inside that level.
#include <GL/gl.h>
#include <webgl/webgl1.h>

#include <cstddef>

#include "web/context.h"
#include "web/lost_context.h"

namespace gl11 {

namespace {

constexpr const char* kVertexShader = R"(#version 300 es
precision highp float;
in vec4 aPosition;  // eye coordinates
in vec4 aColor;
in vec3 aNormal;  // eye coordinates
in vec2 aTexCoord;
uniform mat4 uProjection;
uniform bool uLighting;
uniform bool uLight0;
uniform bvec2 uColorMaterial;  // the vertex colour stands for the ambient, the diffuse term
uniform vec4 uLightPosition;   // eye coordinates
uniform vec4 uLightAmbient;
uniform vec4 uLightDiffuse;
uniform vec4 uSceneAmbient;
uniform vec4 uMaterialAmbient;
uniform vec4 uMaterialDiffuse;
out vec4 vColor;
out vec2 vTexCoord;
void main() {
  vec4 eye = aPosition;
  gl_Position = uProjection * eye;
  vTexCoord = aTexCoord;
  if (!uLighting) {
    vColor = clamp(aColor, 0.0, 1.0);
    return;
  }
  vec4 ambient = uColorMaterial.x ? aColor : uMaterialAmbient;
  vec4 diffuse = uColorMaterial.y ? aColor : uMaterialDiffuse;
  vec3 color = uSceneAmbient.rgb * ambient.rgb;
  if (uLight0) {
    vec3 toLight = uLightPosition.w == 0.0 ? uLightPosition.xyz
                                           : uLightPosition.xyz / uLightPosition.w - eye.xyz / eye.w;
    float lambert = max(dot(aNormal, normalize(toLight)), 0.0);
    color += uLightAmbient.rgb * ambient.rgb + lambert * uLightDiffuse.rgb * diffuse.rgb;
  }
  vColor = clamp(vec4(color, diffuse.a), 0.0, 1.0);
}
)";

constexpr const char* kFragmentShader = R"(#version 300 es
precision highp float;
in vec4 vColor;
in vec2 vTexCoord;
uniform bool uTexturing;
uniform sampler2D uTexture;
uniform vec2 uSize;       // level 0, in texels
uniform float uMaxLevel;  // 0 without mipmaps
uniform bvec2 uClamp;     // GL_CLAMP on s, t; otherwise GL_REPEAT
out vec4 fragColor;

// The share of a linear filter's two taps that falls inside a level `size` texels wide.
float Inside(float s, float size) {
  return min(1.0, s * size + 0.5) * min(1.0, (1.0 - s) * size + 0.5);
}

// The share of the filter inside the picture at `level`, on the clamped axes.
float InsideAt(vec2 st, float level) {
  vec2 size = max(floor(uSize / exp2(level)), 1.0);
  return (uClamp.x ? Inside(st.x, size.x) : 1.0) * (uClamp.y ? Inside(st.y, size.y) : 1.0);
}

void main() {
  if (!uTexturing) {
    fragColor = vColor;
    return;
  }
  vec2 texels = vTexCoord * uSize;
  float rho = max(length(dFdx(texels)), length(dFdy(texels)));
  vec2 st = vec2(uClamp.x ? clamp(vTexCoord.x, 0.0, 1.0) : vTexCoord.x,
                 uClamp.y ? clamp(vTexCoord.y, 0.0, 1.0) : vTexCoord.y);
  // One trilinear lookup at OpenGL's level of detail (0 when magnified), scaled by the share of
  // the filter inside the picture, blended between the two levels as the texels are. Exact
  // wherever both levels' shares are equal, that is everywhere but within a texel of a clamped
  // edge while minified; there the two levels' colours are nearly equal. A second lookup per
  // fragment would make it exact there too, at three times the frame's cost on SwiftShader.
  float lambda = clamp(log2(rho), 0.0, uMaxLevel);
  float lower = floor(lambda);
  float inside = mix(InsideAt(st, lower), InsideAt(st, min(lower + 1.0, uMaxLevel)), lambda - lower);
  vec4 texel = textureLod(uTexture, st, lambda) * inside;
  fragColor = vColor * texel;
}
)";

enum Attribute : GLuint { kPosition, kColor, kNormal, kTexCoord };

struct Program {
  GLuint program = 0;
  GLuint buffer = 0;
  GLint projection, lighting, light0, colorMaterial, lightPosition, lightAmbient, lightDiffuse,
      sceneAmbient, materialAmbient, materialDiffuse, texturing, size, maxLevel, clamp;
};

GLuint Compile(GLenum type, const char* source) {
  const GLuint shader = emscripten_glCreateShader(type);
  emscripten_glShaderSource(shader, 1, &source, nullptr);
  emscripten_glCompileShader(shader);
  return shader;
}

Program g_program;  // program 0: not made on the current context yet

// Made on the first draw, once the shell's WebGL context is current.
Program& TheProgram() {
  Program& p = g_program;
  if (p.program != 0) return p;
  p.program = emscripten_glCreateProgram();
  emscripten_glAttachShader(p.program, Compile(GL_VERTEX_SHADER, kVertexShader));
  emscripten_glAttachShader(p.program, Compile(GL_FRAGMENT_SHADER, kFragmentShader));
  emscripten_glBindAttribLocation(p.program, kPosition, "aPosition");
  emscripten_glBindAttribLocation(p.program, kColor, "aColor");
  emscripten_glBindAttribLocation(p.program, kNormal, "aNormal");
  emscripten_glBindAttribLocation(p.program, kTexCoord, "aTexCoord");
  emscripten_glLinkProgram(p.program);
  emscripten_glUseProgram(p.program);
  auto at = [&](const char* name) { return emscripten_glGetUniformLocation(p.program, name); };
  p.projection = at("uProjection");
  p.lighting = at("uLighting");
  p.light0 = at("uLight0");
  p.colorMaterial = at("uColorMaterial");
  p.lightPosition = at("uLightPosition");
  p.lightAmbient = at("uLightAmbient");
  p.lightDiffuse = at("uLightDiffuse");
  p.sceneAmbient = at("uSceneAmbient");
  p.materialAmbient = at("uMaterialAmbient");
  p.materialDiffuse = at("uMaterialDiffuse");
  p.texturing = at("uTexturing");
  p.size = at("uSize");
  p.maxLevel = at("uMaxLevel");
  p.clamp = at("uClamp");
  emscripten_glUniform1i(at("uTexture"), 0);

  emscripten_glGenBuffers(1, &p.buffer);
  emscripten_glBindBuffer(GL_ARRAY_BUFFER, p.buffer);
  const struct {
    Attribute index;
    GLint size;
    size_t offset;
  } layout[] = {{kPosition, 4, offsetof(Vertex, position)},
                {kColor, 4, offsetof(Vertex, color)},
                {kNormal, 3, offsetof(Vertex, normal)},
                {kTexCoord, 2, offsetof(Vertex, texCoord)}};
  for (const auto& a : layout) {
    emscripten_glEnableVertexAttribArray(a.index);
    emscripten_glVertexAttribPointer(a.index, a.size, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     reinterpret_cast<const void*>(a.offset));
  }
  return p;
}

void Switch(GLenum capability, bool on) {
  if (on) {
    emscripten_glEnable(capability);
  } else {
    emscripten_glDisable(capability);
  }
}

GLint WebGlWrap(uint32_t wrap) {
  return wrap == GL_REPEAT ? GL_REPEAT : GL_CLAMP_TO_EDGE;
}

// The texture to draw with, set up on unit 0, or null when texturing is off or the bound
// texture is incomplete.
const TextureObject* BindForDraw(Context& context, const Program& p) {
  const FixedState& s = context.state;
  const TextureObject* texture = s.texture2D ? context.Texture(s.boundTexture) : nullptr;
  if (texture == nullptr || texture->levels == 0) {
    emscripten_glUniform1i(p.texturing, 0);
    return nullptr;
  }
  const TextureParameters& parameters = texture->parameters;
  const bool mipmapped = parameters.minFilter != GL_LINEAR && parameters.minFilter != GL_NEAREST;
  emscripten_glBindTexture(GL_TEXTURE_2D, texture->webgl);
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, WebGlWrap(parameters.wrapS));
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, WebGlWrap(parameters.wrapT));
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  emscripten_glUniform1i(p.texturing, 1);
  emscripten_glUniform2f(p.size, static_cast<float>(texture->width),
                         static_cast<float>(texture->height));
  emscripten_glUniform1f(p.maxLevel, mipmapped ? static_cast<float>(texture->levels - 1) : 0.0f);
  emscripten_glUniform2i(p.clamp, parameters.wrapS != GL_REPEAT, parameters.wrapT != GL_REPEAT);
  return texture;
}

}  // namespace

void ForgetWebGlObjects() {
  g_program = Program{};
  Context& context = Current();
  context.batch.clear();
  for (TextureObject& texture : context.textures) {
    texture.webgl = 0;
    texture.levels = 0;
  }
}

void Flush(Context& context) {
  if (context.batch.empty()) return;
  const Program& p = TheProgram();
  const FixedState& s = context.state;
  const int* viewport = context.viewport;
  emscripten_glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
  Switch(GL_BLEND, s.blend);
  emscripten_glBlendFunc(s.blendSource, s.blendDestination);
  Switch(GL_DEPTH_TEST, s.depthTest);
  emscripten_glDepthFunc(s.depthFunc);
  emscripten_glDepthMask(s.depthMask);
  Switch(GL_CULL_FACE, s.cullFace);

  emscripten_glUniformMatrix4fv(p.projection, 1, GL_FALSE, context.projection.Top().m);
  const uint32_t mode = s.colorMaterialMode;
  emscripten_glUniform1i(p.lighting, s.lighting);
  emscripten_glUniform1i(p.light0, s.light0);
  emscripten_glUniform2i(p.colorMaterial,
                         s.colorMaterial && (mode == GL_AMBIENT || mode == GL_AMBIENT_AND_DIFFUSE),
                         s.colorMaterial && (mode == GL_DIFFUSE || mode == GL_AMBIENT_AND_DIFFUSE));
  emscripten_glUniform4fv(p.lightPosition, 1, s.lightPosition);
  emscripten_glUniform4fv(p.lightAmbient, 1, s.lightAmbient);
  emscripten_glUniform4fv(p.lightDiffuse, 1, s.lightDiffuse);
  emscripten_glUniform4fv(p.sceneAmbient, 1, s.sceneAmbient);
  emscripten_glUniform4fv(p.materialAmbient, 1, s.materialAmbient);
  emscripten_glUniform4fv(p.materialDiffuse, 1, s.materialDiffuse);
  BindForDraw(context, p);

  emscripten_glBufferData(GL_ARRAY_BUFFER, context.batch.size() * sizeof(Vertex),
                          context.batch.data(), GL_STREAM_DRAW);
  emscripten_glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(context.batch.size()));
  context.batch.clear();
}

void ClearBuffers(const Context& context, uint32_t mask) {
  const FixedState& s = context.state;
  emscripten_glClearColor(s.clearColor[0], s.clearColor[1], s.clearColor[2], s.clearColor[3]);
  emscripten_glClearDepthf(s.clearDepth);
  emscripten_glDepthMask(s.depthMask);
  emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

}  // namespace gl11
