// The .ico container; see ico_file.h. All numbers are little-endian.
#include "ico_file.h"

#include <cstddef>
#include <cstdint>

namespace {

class Bytes {
 public:
  explicit Bytes(std::vector<unsigned char>* out) : out_(out) {}
  Bytes& u8(uint32_t v) {
    out_->push_back(static_cast<unsigned char>(v));
    return *this;
  }
  Bytes& u16(uint32_t v) { return u8(v & 0xFF).u8(v >> 8); }
  Bytes& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }

 private:
  std::vector<unsigned char>* out_;
};

constexpr size_t kDirBytes = 6, kEntryBytes = 16, kDibHeaderBytes = 40;

// The 1-bit AND mask's rows are padded to 32 bits.
size_t MaskRowBytes(int side) {
  return static_cast<size_t>((side + 31) / 32) * 4;
}

size_t ImageBytes(const IcoImage& image) {
  if (!image.png.empty()) return image.png.size();
  const size_t side = static_cast<size_t>(image.side);
  return kDibHeaderBytes + side * side * 4 + side * MaskRowBytes(image.side);
}

void AppendDib(const IcoImage& image, std::vector<unsigned char>* out) {
  const int side = image.side;
  const size_t pixelBytes = static_cast<size_t>(side) * side * 4;
  const size_t maskBytes = static_cast<size_t>(side) * MaskRowBytes(side);
  // BITMAPINFOHEADER; the height counts the colour rows and the mask rows together.
  Bytes(out).u32(kDibHeaderBytes).u32(side).u32(2 * side).u16(1).u16(32).u32(0);
  Bytes(out).u32(static_cast<uint32_t>(pixelBytes + maskBytes)).u32(0).u32(0).u32(0).u32(0);
  for (int y = side - 1; y >= 0; --y) {  // bottom-up, BGRA
    const unsigned char* p = image.rgb.data() + static_cast<size_t>(y) * side * 3;
    for (int x = 0; x < side; ++x, p += 3) Bytes(out).u8(p[2]).u8(p[1]).u8(p[0]).u8(255);
  }
  out->insert(out->end(), maskBytes, 0);  // every pixel drawn
}

}  // namespace

std::vector<unsigned char> IcoFile(const std::vector<IcoImage>& images) {
  std::vector<unsigned char> out;
  for (const IcoImage& image : images) {
    const size_t side = static_cast<size_t>(image.side);
    if (image.side < 1 || image.side > 256) return out;
    if (image.png.empty() && image.rgb.size() != side * side * 3) return out;
  }
  Bytes(&out).u16(0).u16(1).u16(static_cast<uint32_t>(images.size()));  // ICONDIR, type 1: icon
  size_t offset = kDirBytes + kEntryBytes * images.size();
  for (const IcoImage& image : images) {
    const uint32_t side = image.side == 256 ? 0 : static_cast<uint32_t>(image.side);  // 0: 256
    Bytes(&out).u8(side).u8(side).u8(0).u8(0).u16(1).u16(32);
    Bytes(&out).u32(static_cast<uint32_t>(ImageBytes(image))).u32(static_cast<uint32_t>(offset));
    offset += ImageBytes(image);
  }
  for (const IcoImage& image : images) {
    if (image.png.empty()) {
      AppendDib(image, &out);
    } else {
      out.insert(out.end(), image.png.begin(), image.png.end());
    }
  }
  return out;
}
