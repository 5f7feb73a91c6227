// The floor, the least any frame of the demo can cost: clear the depth buffer, one full-screen
// quad with a mipmapped 24-bit texture the size of the sky. Plain OpenGL 1.1, so the web page draws
// the same frame through its own layer. Needs a current context.
#pragma once

#include "texture/texture.h"

// The floor's texture and its one-quad frame. The quad is drawn with the fixed state the floor
// needs (texture on; lighting, blending, depth test and culling off), set in Begin and taken back
// in End, so the scene's state is untouched around a floor run.
class FloorScene {
 public:
  // Loads the picture through the program's own loader, so the floor's texture has the sky's size,
  // format, mipmaps and filtering. False when the file could not be read.
  bool Load(const char* picture);
  void Begin();
  void DrawFrame();
  void End();

 private:
  Texture texture_;
};
