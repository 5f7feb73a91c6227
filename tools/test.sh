#!/usr/bin/env bash
# Builds Vortalux and runs every test on a Debian/Ubuntu machine, installing what is missing.
# Each stage says how long it took; together they stay well under 20 minutes on 2 cores.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh test

logs=build/test-logs
mkdir -p "$logs"
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name"
  "$@" 2>&1 | tee "$logs/$name.log"
  echo "== $name: $((SECONDS - start)) s"
}
jobs=$(nproc)

# The code is kept in .clang-format's style.
stage format sh -c "git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror"

# GCC, Release, warnings as errors: unit, rendering and end-to-end tests (the Windows program is
# cross-built and run under Wine by a test of its own).
# CI, as root on a machine of its own, may install the .deb to test it (and removes it again).
if [ "${CI:-}" = true ] && [ "$(id -u)" -eq 0 ]; then
  export VORTALUX_TEST_INSTALL=1
fi
stage ci-configure cmake --preset ci
stage ci-build cmake --build --preset ci --parallel "$jobs"
stage ci-test ctest --preset ci

# Mesa keeps some allocations until exit; the suppressions name only its libraries.
export LSAN_OPTIONS="suppressions=$PWD/bench/lsan-mesa.supp"

# Clang with AddressSanitizer and UndefinedBehaviorSanitizer (LeakSanitizer included): the whole
# suite once more.
stage sanitize-configure cmake --preset sanitize
stage sanitize-build cmake --build --preset sanitize --parallel "$jobs"
stage sanitize-test ctest --preset sanitize
# A 1,000-frame offscreen drive under LeakSanitizer: no leak at exit, heap flat from frame 100.
stage leak-check build/sanitize/vortalux-bench --leak-check 1000
# The BMP loader's fuzzer for a minute under ASan and UBSan; a finding lands in tests/fuzz/.
stage fuzz tests/fuzz/run.sh 60

# One closing line for both test runs.
passed=0
failed=0
for run in ci-test sanitize-test; do
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$logs/$run.log")
  total=$(sed -E 's/.* out of ([0-9]+)/\1/' <<<"$summary")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
done
echo "tests: $passed passed, $failed failed"
