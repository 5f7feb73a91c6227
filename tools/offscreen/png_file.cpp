// PNG files over libpng: its row-by-row writer (into memory) and its simplified reader; see
// png_file.h.
#include "png_file.h"

#include <png.h>

#include <cstdio>

namespace {

constexpr png_uint_32 kMaxSide = 8192;

// Appends what libpng writes to the vector behind its io pointer.
void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

// libpng reports errors by longjmp: this frame holds nothing with a destructor, and the bytes
// go to the caller's vector.
bool Encode(int width, int height, const unsigned char* rgbTopFirst,
            std::vector<unsigned char>* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  bool encoded = false;
  if (png != nullptr && info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
    png_set_write_fn(png, out, AppendBytes, Flush);
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
    encoded = true;
  }
  png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
  return encoded;
}

}  // namespace

std::vector<unsigned char> EncodePng(int width, int height, const unsigned char* rgbTopFirst) {
  std::vector<unsigned char> bytes;
  if (rgbTopFirst == nullptr || width <= 0 || height <= 0 ||
      !Encode(width, height, rgbTopFirst, &bytes)) {
    bytes.clear();
  }
  return bytes;
}

bool WritePng(const char* path, int width, int height, const unsigned char* rgbTopFirst) {
  if (path == nullptr) return false;
  const std::vector<unsigned char> bytes = EncodePng(width, height, rgbTopFirst);
  if (bytes.empty()) return false;
  FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
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
