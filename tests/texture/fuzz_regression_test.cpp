// Replays the fuzzer's findings (tests/fuzz/regressions/) and its seeds (tests/fuzz/corpus/)
// through the same checks the fuzzer applies (tests/fuzz/bmp_input_check.h), including
// Texture::LoadBMP in an offscreen context. Under the sanitize preset this is the fuzzer's
// memory checking as well. A finding also keeps its outcome: one named "read-*" must be read,
// any other refused, so that a bound moved by one byte either way fails here even where the
// invariants, which share the loader's size arithmetic, cannot see it.
#include <dirent.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bmp_input_check.h"
#include "offscreen_gl.h"
#include "texture/texture_bmp.h"

namespace {

const std::string kFuzzDir = VORTALUX_FUZZ_DIR;

// Every file of a folder but notes (*.md), sorted so failures come in a stable order.
std::vector<std::string> Inputs(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == ".." ||
          (name.size() > 3 && name.compare(name.size() - 3, 3, ".md") == 0)) {
        continue;
      }
      names.push_back(folder + "/" + name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

void ReplayAll(const std::vector<std::string>& paths) {
  OffscreenGL gl(16, 16);
  ASSERT_TRUE(gl.ok()) << gl.error();
  const std::string scratch = ::testing::TempDir() + "vortalux_fuzz_replay.bmp";
  for (const std::string& path : paths) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    EXPECT_EQ(CheckBmpInput(bytes.data(), bytes.size(), scratch, true), "") << path;
  }
}

TEST(FuzzRegressions, EveryFoundInputPassesTheChecksWithItsOutcome) {
  const std::vector<std::string> found = Inputs(kFuzzDir + "/regressions");
  if (found.empty()) GTEST_SKIP() << "tests/fuzz/regressions/ holds no input";
  ReplayAll(found);
  for (const std::string& path : found) {
    const bool read = path.compare(path.rfind('/') + 1, 5, "read-") == 0;
    BmpPixels picture;
    EXPECT_EQ(ReadBmpFile(path.c_str(), &picture), read) << path;
  }
}

TEST(FuzzRegressions, EverySeedPassesTheChecks) {
  const std::vector<std::string> seeds = Inputs(kFuzzDir + "/corpus");
  EXPECT_GE(seeds.size(), 10u);
  ReplayAll(seeds);
}

}  // namespace
