// PNG files over libpng: its row-by-row writer and its simplified reader; see png_file.h.
#include "png_file.h"

#include <png.h>

#include <cstdio>

namespace {

constexpr png_uint_32 kMaxSide = 8192;

}  // namespace

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

bool ReadPng(const char* path, int* width, int* height, std::vector<unsigned char>* rgb) {
  rgb->clear();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (path == nullptr || !png_image_begin_read_from_file(&image, path)) return false;
  if (image.width > kMaxSide || image.height > kMaxSide) {  // the frame tool's largest picture
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  rgb->resize(PNG_IMAGE_SIZE(image));
  // Both calls free the image's resources when they fail; finish_read also when it succeeds.
  if (!png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr)) {
    rgb->clear();
    return false;
  }
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  return true;
}
