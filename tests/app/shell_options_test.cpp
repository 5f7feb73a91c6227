// The SDL program's command line: each screen mode, help wherever it is asked for, and a clear
// refusal of anything else, with the help naming every option it takes.
#include "app/shell_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

ShellOptions Parse(std::initializer_list<const char*> args) {
  std::vector<const char*> argv = {"vortalux"};
  argv.insert(argv.end(), args);
  return ParseShellOptions(static_cast<int>(argv.size()), argv.data());
}

TEST(ShellOptionsTest, EachModeByItsOptionTheDesktopByNone) {
  const struct {
    std::initializer_list<const char*> args;
    ScreenMode mode;
  } cases[] = {{{}, ScreenMode::kDesktop},
               {{"--window"}, ScreenMode::kWindow},
               {{"--classic"}, ScreenMode::kClassic},
               {{"--classic", "--classic"}, ScreenMode::kClassic}};
  for (const auto& c : cases) {
    const ShellOptions options = Parse(c.args);
    EXPECT_EQ(options.outcome, ShellOptions::kRun) << options.error;
    EXPECT_EQ(options.mode, c.mode) << c.args.size() << " arguments";
  }
}

TEST(ShellOptionsTest, HelpEndsTheReadingWhereItStandsAndNamesEveryOption) {
  for (auto args : {std::initializer_list<const char*>{"--help"},
                    {"-h"},
                    {"--window", "-h"},
                    {"--help", "--no-such-option"}}) {
    EXPECT_EQ(Parse(args).outcome, ShellOptions::kHelp) << *args.begin();
  }
  EXPECT_EQ(Parse({"--no-such-option", "--help"}).outcome, ShellOptions::kError);
  const std::string usage = ShellUsage();
  for (const char* text : {"--window", "--classic", "--timedemo", "--frames", "--play", "--record",
                           "--help", "-h", "F11", "Alt+Enter", "Escape"}) {
    EXPECT_NE(usage.find(text), std::string::npos) << text;
  }
}

TEST(ShellOptionsTest, AnythingElseAndTwoModesAtOnceAreRefusedByName) {
  for (const char* arg : {"--fullscreen", "--Window", "--window=1", "-w", "window", "--", "-", "",
                          "--classic ", "--classic"}) {
    const ShellOptions options = Parse({"--window", arg});
    EXPECT_EQ(options.outcome, ShellOptions::kError) << "'" << arg << "'";
    EXPECT_NE(options.error.find(arg), std::string::npos) << options.error;
  }
  const ShellOptions options = Parse({"--classic", "--window"});
  EXPECT_EQ(options.outcome, ShellOptions::kError);
  EXPECT_NE(options.error.find("--classic and --window"), std::string::npos) << options.error;
}

// --frames limits the timedemo as the page's &frames does: a count that would wrap, or that the
// timedemo could not take, is refused by its value, and so is --frames with nothing to limit.
TEST(ShellOptionsTest, TheTimedemoTakesAFrameLimitAndRefusesWhatCannotGoWithIt) {
  const ShellOptions timed = Parse({"--frames", "1000000", "--timedemo"});
  EXPECT_EQ(timed.outcome, ShellOptions::kRun) << timed.error;
  EXPECT_TRUE(timed.timedemo);
  EXPECT_EQ(timed.frames, 1000000);
  EXPECT_EQ(Parse({"--timedemo"}).frames, 0);  // the whole drive

  const struct {
    std::initializer_list<const char*> args;
    const char* named;
  } refused[] = {{{"--timedemo", "--frames", "0"}, "'0'"},
                 {{"--timedemo", "--frames", "1000001"}, "'1000001'"},
                 {{"--timedemo", "--frames", "3000000000"}, "'3000000000'"},
                 {{"--timedemo", "--frames", "-5"}, "'-5'"},
                 {{"--timedemo", "--frames", "12abc"}, "'12abc'"},
                 {{"--timedemo", "--frames", " 12"}, "' 12'"},
                 {{"--timedemo", "--frames"}, "--frames needs a value"},
                 {{"--frames", "600"}, "--frames is for --timedemo"},
                 {{"--window", "--frames", "600", "--play", "up"}, "--frames is for --timedemo"},
                 {{"--timedemo", "--classic"}, "--timedemo and --classic"},
                 {{"--timedemo", "--play", "up*10"}, "--timedemo and --play"}};
  for (const auto& c : refused) {
    const ShellOptions options = Parse(c.args);
    EXPECT_EQ(options.outcome, ShellOptions::kError) << c.named;
    EXPECT_NE(options.error.find(c.named), std::string::npos) << options.error;
    EXPECT_EQ(options.frames, 0) << c.named;  // a refused line limits nothing
  }
}

}  // namespace
