#!/usr/bin/env bash
# Setup of the web end-to-end test and benchmark: configures and builds the `web-bench` preset
# into build/web (the site: index.html, vortalux.js, vortalux.wasm, vortalux.data, ...; and the
# benchmark's floor page in build/web/bench/), incrementally, and packs the web zip there, as a
# user would with
#   cmake --preset web-bench && cmake --build --preset web-bench && cpack --preset web
# The site and its zip are the `web` preset's: the floor page is a target of its own, beside them.
# Exits 77 (skipped) only when Emscripten is not installed.
set -euo pipefail
source_dir=$1
command -v emcc >/dev/null || { echo "SKIP - Emscripten is not installed (Debian: emscripten)"; exit 77; }
# Debian's emscripten finds its own node modules (acorn) only through NODE_PATH.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
cd "$source_dir"
timeout 600 cmake --preset web-bench >/dev/null
timeout 900 cmake --build --preset web-bench --parallel "$(nproc 2>/dev/null || echo 2)"
timeout 300 cpack --preset web >/dev/null
