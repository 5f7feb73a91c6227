#!/usr/bin/env bash
# Builds Vortalux and runs every test on a Debian/Ubuntu machine, installing what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh test

# GCC, Release, warnings as errors: unit, rendering and end-to-end tests.
cmake --workflow --preset ci

# The stages below each say how long they took; together with the one above they stay well under
# 20 minutes on 2 cores.
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}
# Mesa keeps some allocations until exit; the suppressions name only its libraries.
export LSAN_OPTIONS="suppressions=$PWD/bench/lsan-mesa.supp"

# Clang with AddressSanitizer and UndefinedBehaviorSanitizer (LeakSanitizer included): the whole
# suite once more.
stage sanitize-configure cmake --preset sanitize
stage sanitize-build cmake --build --preset sanitize --parallel "$(nproc)"
stage sanitize-test ctest --preset sanitize
# A 1,000-frame offscreen drive under LeakSanitizer: no leak at exit, heap flat from frame 100.
stage leak-check build/sanitize/vortalux-bench --leak-check 1000
# The BMP loader's fuzzer for a minute under ASan and UBSan; a finding lands in tests/fuzz/.
stage fuzz tests/fuzz/run.sh 60
