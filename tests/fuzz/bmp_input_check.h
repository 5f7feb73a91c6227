// One BMP input run through everything the loader does with a file, with the invariants that
// must hold whatever the bytes: the parser never accepts sizes beyond the input, the read path
// hands out at least as many bytes as the upload reads and never more than the file holds, and
// Texture::LoadBMP (when asked, with a current rendering context) returns and leaves a texture.
// Shared by the libFuzzer target (bmp_fuzz.cpp) and the GoogleTest replay of its regressions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the input to `scratchPath` to go through the real file seam. Returns "" when every
// invariant held, otherwise what broke.
std::string CheckBmpInput(const uint8_t* data, size_t size, const std::string& scratchPath,
                          bool withLoadBmp);
