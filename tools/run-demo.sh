#!/usr/bin/env bash
# Builds Vortalux and starts it on this desktop, installing what is missing (Debian/Ubuntu).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh run
# Only what the demo needs: the program and its pictures, no tests, tools or benchmarks.
cmake --preset demo >/dev/null
cmake --build --preset demo --parallel

program=build/demo/vortalux
if [ ! -x "$program" ]; then
  echo "The build made no program: SDL2 was not found (Debian: libsdl2-dev)." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open a window on (DISPLAY and WAYLAND_DISPLAY are unset)." >&2
  echo "Frames can still be rendered offscreen: see vortalux-frame in CONTRIBUTING.md" >&2
  exit 1
fi
# Options go on to the program (tools/run-demo.sh --window, --classic, --help).
exec "$program" "$@"
