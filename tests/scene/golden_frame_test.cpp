// Golden frames: the demo drawn by vortalux-frame after key steps, compared with the pictures kept
// in golden/. They pin where the camera, the sky, the light, the track's list with its gates and
// the flares put the scene's pixels. After an intended change of the picture, renew them (then
// look at what changed before committing):
//   VORTALUX_RENEW_GOLDEN=1 ctest --test-dir build/ci -R GoldenFrame
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "png_file.h"

namespace {

struct Golden {
  const char* name;
  const char* steps;
};

void PrintTo(const Golden& golden, std::ostream* out) {
  *out << "'" << golden.steps << "'";
}

// Each is 128x96, drawn at twice that and averaged (about 18 kB a picture).
// start: the first frame, the only one whose sky is lit by the light's set-up position.
// turn: on a climb, across at the right wall, held at the left heading limit, with flares close
//   by turned steeply toward the camera; the last, idle pass draws exactly the frame before it
//   again, so the track survives only if each frame clears depth.
// finish: the finish gate ahead.
constexpr Golden kGoldens[] = {
    {"start", ""},
    {"turn", "up*690 right*60 up*30 left*120 none"},
    {"finish", "up*3660"},
};

// Today the GCC Release and the Clang sanitizer builds render these bit for bit alike, but they
// compile the vehicle's and the flares' arithmetic apart, and a last-bit change in a vertex flips
// samples along edges. So any channel may move by 2, and 0.1% of the pixels (12) by any amount;
// each fault these frames guard against moves 90 pixels or more by more than 2.
constexpr int kChannelSlack = 2;
constexpr double kChangedShare = 0.001;

class GoldenFrame : public ::testing::TestWithParam<Golden> {};

TEST_P(GoldenFrame, MatchesTheKeptPicture) {
  const Golden& golden = GetParam();
  const std::string kept = std::string(VORTALUX_GOLDEN_DIR "/") + golden.name + ".png";
  const bool renew = std::getenv("VORTALUX_RENEW_GOLDEN") != nullptr;
  const std::string drawn = renew ? kept : ::testing::TempDir() + "golden_" + golden.name + ".png";
  const std::string command =
      std::string("\"" VORTALUX_FRAME_TOOL "\" --gfx-dir '" VORTALUX_RUNTIME_DIR
                  "/gfx' --size 128x96 --scale 2 --steps '") +
      golden.steps + "' --out '" + drawn + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  if (renew) GTEST_SKIP() << "renewed " << kept;

  int width[2], height[2];
  std::vector<unsigned char> rgb[2];
  ASSERT_TRUE(ReadPng(kept.c_str(), &width[0], &height[0], &rgb[0])) << kept;
  ASSERT_TRUE(ReadPng(drawn.c_str(), &width[1], &height[1], &rgb[1])) << drawn;
  ASSERT_TRUE(width[0] == width[1] && height[0] == height[1]) << kept << " has another size";
  int changed = 0, largest = 0;
  for (size_t p = 0; p < rgb[0].size(); p += 3) {
    int moved = 0;
    for (size_t c = p; c < p + 3; ++c) moved = std::max(moved, std::abs(rgb[0][c] - rgb[1][c]));
    changed += moved > kChannelSlack;
    largest = std::max(largest, moved);
  }
  EXPECT_LE(changed, kChangedShare * width[0] * height[0])
      << changed << " pixels changed, by up to " << largest << "; this build drew " << drawn;
  if (!HasFailure()) std::remove(drawn.c_str());
}

INSTANTIATE_TEST_SUITE_P(Scene, GoldenFrame, ::testing::ValuesIn(kGoldens),
                         [](const ::testing::TestParamInfo<Golden>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
