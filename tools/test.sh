#!/usr/bin/env bash
# Builds Vortalux and runs every test on a Debian/Ubuntu machine, installing what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh test

# GCC, Release, warnings as errors: unit, rendering and end-to-end tests.
cmake --workflow --preset ci
