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
  for (const char* text : {"--window", "--classic", "--help", "-h", "F11", "Alt+Enter", "Escape"}) {
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

}  // namespace
