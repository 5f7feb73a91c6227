#!/usr/bin/env bash
# Builds Vortalux and starts it on this desktop, installing what is missing (Debian/Ubuntu).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh run
cmake --preset release >/dev/null
cmake --build --preset release --parallel

program=build/release/vortalux
if [ ! -x "$program" ]; then
  echo "Built the core library; the Linux program is not part of this build yet." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open a window on (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Frames can still be rendered offscreen: build/release/vortalux-frame --help" >&2
  exit 1
fi
# The program reads its pictures from gfx/ under the working directory; options go on to it
# (tools/run-demo.sh --window, --classic, --help).
cd build/release && exec ./vortalux "$@"
