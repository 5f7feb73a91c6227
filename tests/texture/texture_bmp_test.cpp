// Texture::LoadBMP against real OpenGL (an offscreen Mesa context): the outcomes for
// good and bad files, what lands in the texture, and the GL state the load leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "allocation_tracker.h"
#include "bmp_builder.h"
#include "offscreen_gl.h"
#include "opengl.h"
#include "texture/texture.h"

namespace {

GLuint BoundTexture() {
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  return static_cast<GLuint>(bound);
}

// Level-0 size of the bound texture; 0 x 0 when it has no image.
std::pair<int, int> ImageSize(int level = 0) {
  GLint w = 0, h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
  return {w, h};
}

// Level 0 of the bound texture as RGB bytes, bottom row first (texture row t = 0 first).
std::vector<unsigned char> ImageRgb() {
  const std::pair<int, int> size = ImageSize();
  std::vector<unsigned char> rgb(static_cast<size_t>(size.first) * size.second * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

// A distinct colour for every pixel of a small picture.
Rgb Distinct(int x, int y) {
  return Rgb{static_cast<unsigned char>(30 * x + 7), static_cast<unsigned char>(40 * y + 11),
             static_cast<unsigned char>(200 - 9 * x - 13 * y)};
}

class LoadBmpTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(gl_.ok()) << gl_.error(); }
  void TearDown() override { EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)); }

  OffscreenGL gl_{64, 64};
};

TEST_F(LoadBmpTest, LoadsThePictureAsStoredBottomRowFirst) {
  const std::string path = WriteTempFile("distinct.bmp", MakeBmp(8, 4, Distinct));
  Texture texture;
  ASSERT_TRUE(texture.LoadBMP(path.c_str()));
  EXPECT_STREQ(texture.name, path.c_str());
  EXPECT_EQ(texture.width, 8);
  EXPECT_EQ(texture.height, 4);
  ASSERT_NE(texture.id, 0u);
  EXPECT_EQ(BoundTexture(), texture.id - 1);
  ASSERT_EQ(ImageSize(), std::make_pair(8, 4));
  const std::vector<unsigned char> rgb = ImageRgb();
  for (int t = 0; t < 4; ++t) {
    for (int s = 0; s < 8; ++s) {
      // Texture row t = 0 is the picture's bottom row.
      const Rgb want = Distinct(s, 3 - t);
      const unsigned char* got = &rgb[3 * (t * 8 + s)];
      EXPECT_EQ(got[0], want.r) << s << "," << t;
      EXPECT_EQ(got[1], want.g) << s << "," << t;
      EXPECT_EQ(got[2], want.b) << s << "," << t;
    }
  }
  // All mipmap levels down to 1 x 1.
  EXPECT_EQ(ImageSize(3), std::make_pair(1, 1));
}

TEST_F(LoadBmpTest, DrawsWithThePicturesColours) {
  // Four quadrants; the bottom-left one is red. BGR order in the file must come out as RGB.
  const auto quadrants = [](int x, int y) {
    const bool left = x < 2, top = y < 2;
    if (left && !top) return Rgb{255, 0, 0};
    if (!left && !top) return Rgb{0, 255, 0};
    if (left && top) return Rgb{0, 0, 255};
    return Rgb{255, 255, 0};
  };
  const std::string path = WriteTempFile("quadrants.bmp", MakeBmp(4, 4, quadrants));
  Texture texture;
  ASSERT_TRUE(texture.LoadBMP(path.c_str()));
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(1, 0);
  glVertex2f(1, -1);
  glTexCoord2f(1, 1);
  glVertex2f(1, 1);
  glTexCoord2f(0, 1);
  glVertex2f(-1, 1);
  glEnd();
  const std::vector<unsigned char> frame = gl_.ReadRGB();  // top row first
  const auto at = [&frame](int x, int y) { return &frame[3 * (y * 64 + x)]; };
  // Sample away from the edges, where the clamped wrap blends in the black border.
  const unsigned char* bottomLeft = at(16, 47);
  const unsigned char* bottomRight = at(47, 47);
  const unsigned char* topLeft = at(16, 16);
  const unsigned char* topRight = at(47, 16);
  EXPECT_EQ(std::vector<int>(bottomLeft, bottomLeft + 3), (std::vector<int>{255, 0, 0}));
  EXPECT_EQ(std::vector<int>(bottomRight, bottomRight + 3), (std::vector<int>{0, 255, 0}));
  EXPECT_EQ(std::vector<int>(topLeft, topLeft + 3), (std::vector<int>{0, 0, 255}));
  EXPECT_EQ(std::vector<int>(topRight, topRight + 3), (std::vector<int>{255, 255, 0}));
}

TEST_F(LoadBmpTest, CreatesClampedTrilinearTexture) {
  const std::string path = WriteTempFile("params.bmp", SolidBmp(2, 2, Rgb{1, 2, 3}));
  Texture texture;
  ASSERT_TRUE(texture.LoadBMP(path.c_str()));
  GLint value = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
  EXPECT_EQ(value, GL_CLAMP);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
  EXPECT_EQ(value, GL_CLAMP);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
  EXPECT_EQ(value, GL_LINEAR_MIPMAP_LINEAR);
}

TEST_F(LoadBmpTest, LeavesTheUnpackStateSet) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
  glPixelStorei(GL_UNPACK_SKIP_ROWS, 2);
  glPixelStorei(GL_UNPACK_SKIP_PIXELS, 3);
  const std::string path = WriteTempFile("unpack.bmp", MakeBmp(5, 3, Distinct));
  Texture texture;
  ASSERT_TRUE(texture.LoadBMP(path.c_str()));
  GLint value = -1;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
  EXPECT_EQ(value, 4);
  glGetIntegerv(GL_UNPACK_ROW_LENGTH, &value);
  EXPECT_EQ(value, 0);
  glGetIntegerv(GL_UNPACK_SKIP_ROWS, &value);
  EXPECT_EQ(value, 0);
  glGetIntegerv(GL_UNPACK_SKIP_PIXELS, &value);
  EXPECT_EQ(value, 0);
}

TEST_F(LoadBmpTest, WidthFiveRowsIncludeTheirFillWhenBiSizeImageIsZero) {
  // Rows of 15 bytes filled to 16, each row one colour, so a wrong stride would shift the bytes
  // of the upper rows and turn their colours. Height 3 (scaled to 4) rather than 2: Mesa's GLU
  // drops the last row when it scales only the width.
  const auto rows = [](int, int y) {
    return y == 0 ? Rgb{250, 10, 20} : y == 1 ? Rgb{30, 220, 40} : Rgb{5, 15, 240};
  };
  std::vector<unsigned char> bytes = MakeBmp(5, 3, rows, /*sizeImageZero=*/true);
  ASSERT_EQ(bytes.size(), 54u + 48u);
  Texture texture;
  ASSERT_TRUE(texture.LoadBMP(WriteTempFile("w5.bmp", bytes).c_str()));
  EXPECT_EQ(texture.width, 5);
  EXPECT_EQ(texture.height, 3);
  const std::pair<int, int> size = ImageSize();
  ASSERT_GT(size.first, 0);
  ASSERT_GT(size.second, 1);
  const std::vector<unsigned char> rgb = ImageRgb();
  for (int s = 0; s < size.first; ++s) {
    // Texture row 0 is the picture's bottom row, the last texture row its top row.
    const unsigned char* bottom = &rgb[3 * s];
    const unsigned char* top = &rgb[3 * ((size.second - 1) * size.first + s)];
    EXPECT_EQ(std::vector<int>(bottom, bottom + 3), (std::vector<int>{5, 15, 240})) << s;
    EXPECT_EQ(std::vector<int>(top, top + 3), (std::vector<int>{250, 10, 20})) << s;
  }
  // One byte of the last row's fill missing: the pixel data reads short.
  bytes.pop_back();
  EXPECT_FALSE(texture.LoadBMP(WriteTempFile("w5_short.bmp", bytes).c_str()));
}

TEST_F(LoadBmpTest, AcceptsSidesThatAreNotPowersOfTwo) {
  Texture texture;
  ASSERT_TRUE(
      texture.LoadBMP(WriteTempFile("npot.bmp", SolidBmp(24, 10, Rgb{90, 180, 45})).c_str()));
  EXPECT_EQ(texture.width, 24);
  EXPECT_EQ(texture.height, 10);
  const std::pair<int, int> size = ImageSize();
  // GLU scales the picture to powers of two.
  ASSERT_GT(size.first, 0);
  ASSERT_GT(size.second, 0);
  EXPECT_EQ(size.first & (size.first - 1), 0);
  EXPECT_EQ(size.second & (size.second - 1), 0);
  const std::vector<unsigned char> rgb = ImageRgb();
  EXPECT_EQ(rgb[0], 90);
  EXPECT_EQ(rgb[1], 180);
  EXPECT_EQ(rgb[2], 45);
}

TEST_F(LoadBmpTest, TopDownPictureIsReadButGetsNoImage) {
  const std::vector<unsigned char> bytes = MakeBmp(4, 4, Distinct, false, /*topDown=*/true);
  Texture texture;
  EXPECT_TRUE(texture.LoadBMP(WriteTempFile("topdown.bmp", bytes).c_str()));
  EXPECT_EQ(texture.width, 4);
  EXPECT_EQ(texture.height, -4);
  EXPECT_EQ(BoundTexture(), texture.id - 1);
  EXPECT_EQ(ImageSize(), std::make_pair(0, 0));
  // Read in full: one byte fewer and the read is short.
  std::vector<unsigned char> shorter = bytes;
  shorter.pop_back();
  EXPECT_FALSE(texture.LoadBMP(WriteTempFile("topdown_short.bmp", shorter).c_str()));
}

TEST_F(LoadBmpTest, MissingFileLeavesANewBoundTextureWithItsName) {
  Texture texture;
  texture.width = 11;
  texture.height = 22;
  const std::string path = ::testing::TempDir() + "vortalux_missing.bmp";
  EXPECT_FALSE(texture.LoadBMP(path.c_str()));
  EXPECT_STREQ(texture.name, path.c_str());
  ASSERT_NE(texture.id, 0u);
  EXPECT_TRUE(glIsTexture(texture.id - 1));
  EXPECT_EQ(BoundTexture(), texture.id - 1);
  EXPECT_EQ(texture.width, 11);
  EXPECT_EQ(texture.height, 22);
  EXPECT_EQ(ImageSize(), std::make_pair(0, 0));
}

// The loader's failure table: each bad file gives false, a Created texture and no open file.
struct BadFile {
  const char* what;
  std::vector<unsigned char> bytes;
  bool sizeTaken;  // width and height come from the file
};

std::vector<BadFile> FailureTable() {
  const std::vector<unsigned char> good = SolidBmp(4, 2, Rgb{9, 9, 9});
  std::vector<BadFile> files;
  files.push_back({"empty file", {}, false});
  files.push_back({"13 bytes", std::vector<unsigned char>(good.begin(), good.begin() + 13), false});
  std::vector<unsigned char> magic = good;
  magic[0] = 'M';
  magic[1] = 'B';
  files.push_back({"wrong magic", magic, false});
  std::vector<unsigned char> oneWrong = good;
  oneWrong[1] = 'N';
  files.push_back({"second magic byte wrong", oneWrong, false});
  files.push_back(
      {"header block short", std::vector<unsigned char>(good.begin(), good.begin() + 40), false});
  files.push_back(
      {"pixel data short", std::vector<unsigned char>(good.begin(), good.end() - 1), true});
  return files;
}

TEST_F(LoadBmpTest, FailureTable) {
  for (const BadFile& file : FailureTable()) {
    Texture texture;
    texture.width = -99;
    texture.height = -99;
    const int filesBefore = OpenFileCount();
    const std::string path = WriteTempFile("bad.bmp", file.bytes);
    EXPECT_FALSE(texture.LoadBMP(path.c_str())) << file.what;
    EXPECT_EQ(OpenFileCount(), filesBefore) << file.what << ": file left open";
    EXPECT_STREQ(texture.name, path.c_str()) << file.what;
    ASSERT_NE(texture.id, 0u) << file.what;
    EXPECT_EQ(BoundTexture(), texture.id - 1) << file.what;
    EXPECT_EQ(ImageSize(), std::make_pair(0, 0)) << file.what;
    if (file.sizeTaken) {
      EXPECT_EQ(texture.width, 4) << file.what;
      EXPECT_EQ(texture.height, 2) << file.what;
    } else {
      EXPECT_EQ(texture.width, -99) << file.what;
      EXPECT_EQ(texture.height, -99) << file.what;
    }
  }
}

TEST_F(LoadBmpTest, SecondLoadReplacesAndDeletesTheOldTexture) {
  const std::string red = WriteTempFile("red.bmp", SolidBmp(2, 2, Rgb{255, 0, 0}));
  const std::string blue = WriteTempFile("blue.bmp", SolidBmp(4, 4, Rgb{0, 0, 255}));
  Texture texture;
  ASSERT_TRUE(texture.LoadBMP(red.c_str()));
  const GLuint first = texture.id - 1;
  // Keep the name from being handed out again at once, so that its deletion is observable.
  GLuint other = 0;
  glGenTextures(1, &other);
  ASSERT_TRUE(texture.LoadBMP(blue.c_str()));
  const GLuint second = texture.id - 1;
  if (second != first) {
    EXPECT_FALSE(glIsTexture(first));
  }
  EXPECT_TRUE(glIsTexture(second));
  EXPECT_STREQ(texture.name, blue.c_str());
  EXPECT_EQ(texture.width, 4);
  EXPECT_EQ(ImageSize(), std::make_pair(4, 4));
  EXPECT_EQ(ImageRgb()[2], 255);
  glDeleteTextures(1, &other);
}

TEST_F(LoadBmpTest, ReleaseDeletesOnceAndThenDoesNothing) {
  Texture texture;
  texture.Release();  // Empty: nothing happens
  EXPECT_EQ(texture.id, 0u);
  ASSERT_TRUE(texture.LoadBMP(WriteTempFile("release.bmp", SolidBmp(2, 2, Rgb{})).c_str()));
  const GLuint name = texture.id - 1;
  ASSERT_TRUE(glIsTexture(name));
  texture.Release();
  EXPECT_EQ(texture.id, 0u);
  EXPECT_FALSE(glIsTexture(name));
  texture.Release();
  EXPECT_EQ(texture.id, 0u);
}

TEST_F(LoadBmpTest, NamesAreKeptUpTo63Characters) {
  const std::string dir = ::testing::TempDir();
  const std::string exact = std::string(63, 'n');
  Texture texture;
  texture.LoadBMP(exact.c_str());
  EXPECT_EQ(std::string(texture.name), exact);
  const std::string longer = std::string(64, 'x') + std::string(100, 'y');
  texture.LoadBMP(longer.c_str());
  EXPECT_EQ(std::string(texture.name), longer.substr(0, 63));
  EXPECT_EQ(texture.name[63], '\0');
}

TEST_F(LoadBmpTest, TheWholePathIsOpenedEvenWhenTheNameIsCut) {
  // The name field is a record only; the loader opens the path it was given.
  const std::string path =
      WriteTempFile(std::string(80, 'p') + ".bmp", SolidBmp(2, 2, Rgb{1, 2, 3}));
  ASSERT_GT(path.size(), 63u);
  Texture texture;
  EXPECT_TRUE(texture.LoadBMP(path.c_str()));
  EXPECT_EQ(std::string(texture.name), path.substr(0, 63));
}

}  // namespace
