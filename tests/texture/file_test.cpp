// The file seam: open only existing files, reads that report how many bytes arrived, the size
// query, and a close that is safe to repeat.
#include "texture/file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bmp_builder.h"

namespace {

TEST(InputFile, OpeningAMissingFileFails) {
  InputFile file;
  EXPECT_FALSE(file.Open((::testing::TempDir() + "vortalux_no_such_file.bmp").c_str()));
  EXPECT_FALSE(file.IsOpen());
  uint64_t size = 0;
  EXPECT_FALSE(file.Size(&size));
  unsigned char byte = 0;
  EXPECT_EQ(file.Read(&byte, 1), 0u);
}

TEST(InputFile, ReadsReportWhatArrived) {
  const std::vector<unsigned char> bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const std::string path = WriteTempFile("seam_read.bin", bytes);
  InputFile file;
  ASSERT_TRUE(file.Open(path.c_str()));
  uint64_t size = 0;
  ASSERT_TRUE(file.Size(&size));
  EXPECT_EQ(size, 10u);
  unsigned char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, 4), 4u);
  EXPECT_EQ(buffer[3], 4);
  // The next read continues where the last stopped and stops short at the end of the file.
  EXPECT_EQ(file.Read(buffer, 16), 6u);
  EXPECT_EQ(buffer[0], 5);
  EXPECT_EQ(buffer[5], 10);
  EXPECT_EQ(file.Read(buffer, 1), 0u);
  EXPECT_EQ(file.Read(buffer, 0), 0u);
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  file.Close();
  EXPECT_EQ(file.Read(buffer, 1), 0u);
}

TEST(InputFile, AnEmptyFileHasSizeZero) {
  const std::string path = WriteTempFile("seam_empty.bin", {});
  InputFile file;
  ASSERT_TRUE(file.Open(path.c_str()));
  uint64_t size = 99;
  ASSERT_TRUE(file.Size(&size));
  EXPECT_EQ(size, 0u);
  unsigned char byte = 0;
  EXPECT_EQ(file.Read(&byte, 1), 0u);
}

TEST(InputFile, ReopeningClosesTheFirstFile) {
  const std::string a = WriteTempFile("seam_a.bin", {'a'});
  const std::string b = WriteTempFile("seam_b.bin", {'b', 'b'});
  InputFile file;
  ASSERT_TRUE(file.Open(a.c_str()));
  ASSERT_TRUE(file.Open(b.c_str()));
  unsigned char buffer[2] = {};
  EXPECT_EQ(file.Read(buffer, 2), 2u);
  EXPECT_EQ(buffer[0], 'b');
}

}  // namespace
