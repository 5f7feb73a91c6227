// The shaders; see shaders.h. They compute what the fixed-function pipeline of OpenGL 1.1 computes
// for the state the program uses.
//
// Per vertex, as OpenGL 1.1 lights: colour = scene ambient x material ambient + light ambient x
// material ambient + max(N.L, 0) x light diffuse x material diffuse, clamped to [0, 1], with,
// under colour material, the vertex colour standing for the tracked material terms. Material
// specular and emission keep their defaults, black, so they add nothing. Positions and normals
// are taken into eye coordinates by the model-view uniform: identity for the waiting triangles,
// which glEnd transformed already, the matrix of glCallList's time for a list.
// The colour is interpolated across the triangle (Gouraud) and multiplied by the texel (modulate).
//
// Per fragment, the texel is WebGL's own lookup. A texture that clamps is drawn from an image whose
// levels are framed in the border colour (clamp_border.h), and the vertex shader maps the
// coordinates into it. Inside a triangle whose corners' coordinates lie in [0, 1] the lookup then
// is OpenGL's GL_CLAMP lookup; the coordinates of the pixels just outside it, which only feed the
// derivatives, run on unclamped as OpenGL's do. A draw whose coordinates leave [0, 1] on a clamped
// axis clamps them per fragment, and passes the derivatives of the unclamped ones, from which
// OpenGL takes the level of detail.
#include "web/shaders.h"

namespace gl11 {

const char* const kAttributeNames[kAttributeCount] = {"aPosition", "aColor", "aNormal",
                                                      "aTexCoord"};

const char* const kUniformNames[kUniformCount] = {
    "uProjection",      "uModelView",    "uNormalMatrix", "uLightPosition",
    "uLightAmbient",    "uLightDiffuse", "uSceneAmbient", "uMaterialAmbient",
    "uMaterialDiffuse", "uTexMap",       "uTexRange"};

const int kUniformFloats[kUniformCount] = {16, 16, 9, 4, 4, 4, 4, 4, 4, 4, 4};

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
uniform vec4 uTexMap;
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
  vTexCoord = aTexCoord * uTexMap.xy + uTexMap.zw;
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
#ifdef CLAMPED_COORDINATES
uniform vec4 uTexRange;
#endif
void main() {
#if !defined(TEXTURING)
  fragColor = vColor;
#elif !defined(CLAMPED_COORDINATES)
  fragColor = vColor * texture(uTexture, vTexCoord);
#else
  vec2 st = clamp(vTexCoord, uTexRange.xy, uTexRange.zw);
  fragColor = vColor * textureGrad(uTexture, st, dFdx(vTexCoord), dFdy(vTexCoord));
#endif
}
)";

constexpr const char* kDefines[] = {"TEXTURING", "CLAMPED_COORDINATES", "LIGHTING",
                                    "LIGHT0",    "AMBIENT_FROM_COLOR",  "DIFFUSE_FROM_COLOR"};

std::string Source(unsigned program, const char* body) {
  std::string source = "#version 300 es\nprecision highp float;\n";
  for (unsigned bit = 0; (1u << bit) < kProgramCount; ++bit) {
    if (program & (1u << bit)) source += std::string("#define ") + kDefines[bit] + "\n";
  }
  return source + body;
}

}  // namespace

std::string VertexShaderSource(unsigned program) {
  return Source(program, kVertexShader);
}

std::string FragmentShaderSource(unsigned program) {
  return Source(program, kFragmentShader);
}

std::string ProgramName(unsigned program) {
  std::string defined;
  for (unsigned bit = 0; (1u << bit) < kProgramCount; ++bit) {
    if (program & (1u << bit)) defined += std::string(defined.empty() ? "" : " ") + kDefines[bit];
  }
  return "program " + std::to_string(program) + " (" +
         (defined.empty() ? std::string("plain colour") : defined) + ")";
}

}  // namespace gl11
