#!/usr/bin/env bash
# Setup of the web end-to-end test and benchmark: configures and builds the `web` preset into
# build/web (index.html, vortalux.js, vortalux.wasm, vortalux.data, ...), incrementally, and packs
# the web zip there, as a user would with
#   cmake --preset web && cmake --build --preset web && cpack --preset web
# Exits 77 (skipped) only when Emscripten is not installed.
set -euo pipefail
source_dir=$1
command -v emcc >/dev/null || { echo "SKIP - Emscripten is not installed (Debian: emscripten)"; exit 77; }
# Debian's emscripten finds its own node modules (acorn) only through NODE_PATH.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
cd "$source_dir"
timeout 600 cmake --preset web >/dev/null
timeout 900 cmake --build --preset web --parallel "$(nproc 2>/dev/null || echo 2)"
timeout 300 cpack --preset web >/dev/null
