#!/usr/bin/env bash
# Builds the BMP loader's libFuzzer target with clang in build/fuzz (VORTALUX_FUZZ=ON, every
# target instrumented for coverage with AddressSanitizer and UndefinedBehaviorSanitizer) and
# runs it for a bounded time, seeded from tests/fuzz/corpus/ and the four generated pictures.
# A crash, timeout or out-of-memory input is written to tests/fuzz/regressions/, where the
# ordinary texture tests replay it; commit it with the fix.
#
# Usage: tests/fuzz/run.sh [seconds]     (default 60)
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;;
esac
build=build/fuzz

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVORTALUX_FUZZ=ON -DVORTALUX_SANITIZE=fuzzer-no-link,address,undefined \
  -DVORTALUX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target vortalux_bmp_fuzz -j"$(nproc)"

# New interesting inputs collect in the build tree; the committed seeds stay read-only.
mkdir -p "$build/corpus" tests/fuzz/regressions
before=$(ls tests/fuzz/regressions | wc -l)
status=0
"$build/tests/fuzz/vortalux_bmp_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix=tests/fuzz/regressions/ \
  "$build/corpus" tests/fuzz/corpus "$build/gfx" || status=$?
after=$(ls tests/fuzz/regressions | wc -l)
if [ "$status" -ne 0 ] || [ "$after" -ne "$before" ]; then
  echo "bmp_fuzz found a failing input (exit $status); see tests/fuzz/regressions/" >&2
  [ "$status" -ne 0 ] || status=1
  exit "$status"
fi
echo "bmp_fuzz: no failure in ${seconds}s"
