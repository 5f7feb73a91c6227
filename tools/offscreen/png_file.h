// Writes an RGB picture as a PNG file with libpng; used by tests and tools to save renders.
#pragma once

// rgbTopFirst: width * height * 3 bytes, rows top-first, no row fill. True when the whole file
// was written.
bool WritePng(const char* path, int width, int height, const unsigned char* rgbTopFirst);
