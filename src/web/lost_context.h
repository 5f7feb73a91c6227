// What the web shell tells the layer when the browser loses its WebGL context: every WebGL object
// the layer made (the programs, the vertex buffers, the lists' static buffers, the textures) went
// with it, and so did the state its shadow copies remember. Emscripten only.
#pragma once

namespace gl11 {

// Forgets every WebGL object the layer holds and every WebGL state it believes is set, and keeps
// the OpenGL side: texture and list names, texture parameters, the fixed state, the matrices. The
// next draw makes the programs and buffers again on the current context, a list's static buffer
// from the list's own copy of its vertices. Textures draw untextured until their pictures are
// given again (the shell runs the scene's set-up once more).
void ForgetWebGlObjects();

}  // namespace gl11
