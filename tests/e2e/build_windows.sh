#!/usr/bin/env bash
# Setup of the Windows end-to-end tests: makes sure SDL2 for Windows is built (tools/deps.sh
# sdl2-windows, at once when it is), then configures and builds the `windows` preset into
# build/windows (vortalux.exe with gfx/ beside it), incrementally and with warnings as errors, as
# a user would with
#   tools/deps.sh sdl2-windows && cmake --preset windows && cmake --build --preset windows
# With "installer", makes the installer there instead from that build, as the windows-package
# workflow does: cpack -G NSIS -> build/windows/Vortalux-<version>-win64.exe.
# Exits 77 (skipped) only when MinGW-w64 (or, for the installer, makensis) is not installed.
set -euo pipefail
source_dir=$1
command -v x86_64-w64-mingw32-g++ >/dev/null ||
  { echo "SKIP - MinGW-w64 is not installed (Debian: g++-mingw-w64-x86-64-win32)"; exit 77; }
cd "$source_dir"
if [ "${2:-}" = installer ]; then
  command -v makensis >/dev/null || { echo "SKIP - makensis is not installed (Debian: nsis)"; exit 77; }
  cd build/windows
  # A configure from before makensis was installed made no installer: configure again.
  grep -q '^VORTALUX_MAKENSIS:FILEPATH=/' CMakeCache.txt || cmake . >/dev/null
  timeout 300 cpack -G NSIS
  exit 0
fi
timeout 600 tools/deps.sh sdl2-windows
timeout 600 cmake --preset windows -DVORTALUX_WERROR=ON >/dev/null
timeout 900 cmake --build --preset windows --parallel "$(nproc 2>/dev/null || echo 2)"
