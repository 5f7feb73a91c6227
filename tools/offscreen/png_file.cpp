// PNG writer over libpng's simple write loop; see png_file.h.
#include "png_file.h"

#include <png.h>

#include <cstdio>

bool WritePng(const char* path, int width, int height, const unsigned char* rgbTopFirst) {
  if (path == nullptr || rgbTopFirst == nullptr || width <= 0 || height <= 0) return false;
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool written = false;
  // libpng reports errors by longjmp; nothing with a destructor lives in this frame.
  if (png != nullptr && info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const png_size_t rowBytes = static_cast<png_size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
      png_write_row(png,
                    const_cast<png_bytep>(rgbTopFirst + rowBytes * static_cast<png_size_t>(y)));
    }
    png_write_end(png, nullptr);
    written = true;
  }
  png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
  if (std::fclose(file) != 0) written = false;
  return written;
}
