#!/usr/bin/env bash
# Setup of the Windows end-to-end tests: configures and builds the `windows` preset into
# build/windows (vortalux.exe with gfx/ beside it), incrementally and with warnings as errors, as
# a user would with
#   cmake --preset windows && cmake --build --preset windows
# Exits 77 (skipped) only when MinGW-w64 is not installed.
set -euo pipefail
source_dir=$1
command -v x86_64-w64-mingw32-g++ >/dev/null ||
  { echo "SKIP - MinGW-w64 is not installed (Debian: g++-mingw-w64-x86-64-win32)"; exit 77; }
cd "$source_dir"
timeout 600 cmake --preset windows -DVORTALUX_WERROR=ON >/dev/null
timeout 900 cmake --build --preset windows --parallel "$(nproc 2>/dev/null || echo 2)"
