// The Linux program's entry point: the command line, its help and its errors on the standard
// streams, then the SDL shell (sdl/shell.h).
#include <cstdio>

#include "app/sdl/shell.h"
#include "app/shell_options.h"

int main(int argc, char** argv) {
  const ShellOptions options = ParseShellOptions(argc, argv);
  if (options.outcome == ShellOptions::kHelp) {
    std::fputs(ShellUsage().c_str(), stdout);
    return kExitDone;
  }
  if (options.outcome == ShellOptions::kError) {
    std::fprintf(stderr, "vortalux: %s\nTry 'vortalux --help' for the options.\n",
                 options.error.c_str());
    return kExitUsage;
  }
  return RunSdlShell(options);
}
