// The frame tool: its key-step lists, the loop step it plays them with, and the program itself
// run on the build's pictures, writing PNGs.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/key_steps.h"
#include "png_file.h"
#include "vehicle/vehicle.h"

namespace {

TEST(KeySteps, ReadsGroupsOfHeldKeys) {
  std::vector<KeyGroup> groups;
  std::string error;
  ASSERT_TRUE(ParseKeySteps("up*120 left*20\n\tup+left*30 none right", &groups, &error)) << error;
  ASSERT_EQ(groups.size(), 5u);
  EXPECT_TRUE(groups[0].arrows.up);
  EXPECT_FALSE(groups[0].arrows.left);
  EXPECT_EQ(groups[0].passes, 120);
  EXPECT_TRUE(groups[1].arrows.left);
  EXPECT_FALSE(groups[1].arrows.up);
  EXPECT_TRUE(groups[2].arrows.up && groups[2].arrows.left && !groups[2].arrows.right);
  EXPECT_EQ(groups[2].passes, 30);
  EXPECT_FALSE(groups[3].arrows.up || groups[3].arrows.left || groups[3].arrows.right);
  EXPECT_EQ(groups[3].passes, 1);
  EXPECT_TRUE(groups[4].arrows.right);
  ASSERT_TRUE(ParseKeySteps("  ", &groups, &error));
  EXPECT_TRUE(groups.empty());
}

TEST(KeySteps, RefusesMalformedStepsNamingThem) {
  for (const char* bad : {"up*0", "up*", "down*3", "up+*2", "up*12x", "up*-1", "up*1000001", "*5",
                          "up**2", "up*99999999999999999999"}) {
    std::vector<KeyGroup> groups;
    std::string error;
    EXPECT_FALSE(ParseKeySteps(std::string("left ") + bad, &groups, &error)) << bad;
    EXPECT_NE(error.find("step 2"), std::string::npos) << error;
  }
}

TEST(KeySteps, PlaysAPassAsTheLoopDoes) {
  auto vehicle = std::make_unique<Vehicle>();
  auto track = std::make_unique<Track>();
  track->Generate();
  vehicle->track = *track;
  vehicle->Advance();
  const float start = vehicle->progress;
  ApplyArrows({true, true, false}, *vehicle);  // the step is taken at heading 180, then the turn
  EXPECT_FLOAT_EQ(vehicle->progress, start + 0.08f);
  EXPECT_EQ(vehicle->heading, 181.5f);
  ApplyArrows({false, true, true}, *vehicle);  // both turns: left then right
  EXPECT_EQ(vehicle->heading, 181.5f);
  EXPECT_FLOAT_EQ(vehicle->progress, start + 0.08f);
}

std::vector<unsigned char> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int RunTool(const std::string& arguments) {
  const std::string command =
      std::string("\"") + VORTALUX_FRAME_TOOL + "\" " + arguments + " > /dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FrameTool, WritesAPictureAfterEachGroup) {
  const std::string out = ::testing::TempDir() + "vortalux_frame_tool.png";
  const std::string common = std::string("--gfx-dir '") + VORTALUX_RUNTIME_DIR +
                             "/gfx' --size 64x48 --steps 'up*12 up+left*4 none' --each-group";
  ASSERT_EQ(RunTool(common + " --out '" + out + "'"), 0);
  const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::vector<unsigned char>> pictures;
  for (const char* number : {"-01", "-02", "-03"}) {
    const std::string path = ::testing::TempDir() + "vortalux_frame_tool" + number + ".png";
    pictures.push_back(FileBytes(path));
    ASSERT_GT(pictures.back().size(), 8u) << path;
    EXPECT_TRUE(std::equal(signature, signature + 8, pictures.back().begin())) << path;
  }
  EXPECT_NE(pictures[0], pictures[1]);  // moved and turned
  EXPECT_EQ(pictures[1], pictures[2]);  // an idle pass changes nothing on screen

  // Drawing only the frames it writes (and the one before each) gives the very same pictures.
  ASSERT_EQ(RunTool(common + " --draw-every-pass --out '" + out + "'"), 0);
  for (size_t i = 0; i < 3; ++i) {
    const std::string path =
        ::testing::TempDir() + "vortalux_frame_tool-0" + std::to_string(i + 1) + ".png";
    EXPECT_EQ(FileBytes(path), pictures[i]) << path;
    std::remove(path.c_str());
  }
}

// Every shape of screen people have, a phone held upright (9:19.5) to a 32:9 monitor, 4:3 among
// them: with the picture first filled with a colour the scene never draws, not one pixel of it is
// left. The sky fills what the track leaves.
TEST(FrameTool, DrawsEveryPixelAtEveryShapeOfScreen) {
  const std::string out = ::testing::TempDir() + "vortalux_frame_tool_shape.png";
  for (const char* size : {"320x240", "320x180", "256x108", "640x180", "180x390"}) {
    ASSERT_EQ(RunTool(std::string("--gfx-dir '") + VORTALUX_RUNTIME_DIR + "/gfx' --size " + size +
                      " --fill ff00ff --steps 'up*400 left*61' --out '" + out + "'"),
              0)
        << size;
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    ASSERT_TRUE(ReadPng(out.c_str(), &width, &height, &rgb)) << size;
    int left = 0;
    for (size_t i = 0; i < rgb.size(); i += 3) {
      left += rgb[i] == 0xff && rgb[i + 1] == 0x00 && rgb[i + 2] == 0xff;
    }
    EXPECT_EQ(left, 0) << "pixels never drawn at " << size;
  }
  std::remove(out.c_str());
}

TEST(FrameTool, RefusesBadInputWithAnErrorStatus) {
  const std::string out = "--out '" + ::testing::TempDir() + "vortalux_frame_tool_bad.png'";
  EXPECT_EQ(RunTool("--help"), 0);
  EXPECT_EQ(RunTool("--steps 'up*x' " + out), 2);
  EXPECT_EQ(RunTool("--size 0x10 " + out), 2);
  EXPECT_EQ(RunTool("--frobnicate " + out), 2);
  EXPECT_EQ(RunTool("--fill 12345g " + out), 2);
  EXPECT_EQ(RunTool("--gfx-dir /nonexistent-folder " + out), 1);  // no pictures: refuses to draw
  EXPECT_TRUE(FileBytes(::testing::TempDir() + "vortalux_frame_tool_bad.png").empty());
}

}  // namespace
