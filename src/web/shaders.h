// The layer's GLSL ES 3.00 shaders: one program per combination of the fixed state that changes
// what a vertex or a fragment computes, its attributes and its uniforms. Plain text and names;
// needs no WebGL, so that the programs also compile and run on a desktop OpenGL context.
#pragma once

#include <string>

namespace gl11 {

// The state a program is generated for, one bit each. Bits the rest of the state makes
// irrelevant stay 0, so that states that draw alike share one program.
enum ProgramBit : unsigned {
  kTexturing = 1,
  // Some texture coordinate leaves the picture on an axis that clamps: the fragments clamp it.
  kClampedCoordinates = 2,
  kLighting = 4,
  kLight0 = 8,
  kAmbientFromColor = 16,
  kDiffuseFromColor = 32,
  kProgramCount = 64,
};

// The attributes' locations, bound before linking.
enum Attribute : unsigned { kPosition, kColor, kNormal, kTexCoord, kAttributeCount };
extern const char* const kAttributeNames[kAttributeCount];

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
  kTexMap,    // scale (x, y) and offset (z, w) from texture coordinates into the WebGL image
  kTexRange,  // the picture in the image (x, y up to z, w), where the coordinates are clamped
  kUniformCount,
};
extern const char* const kUniformNames[kUniformCount];
extern const int kUniformFloats[kUniformCount];  // 16 a matrix, 9 a normal matrix, else 4

// The complete source of the program's vertex or fragment shader.
std::string VertexShaderSource(unsigned program);
std::string FragmentShaderSource(unsigned program);

// The program's name in messages: its number and the names its sources define,
// "program 5 (TEXTURING LIGHTING)", or "program 0 (plain colour)".
std::string ProgramName(unsigned program);

}  // namespace gl11
