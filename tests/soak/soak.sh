#!/usr/bin/env bash
# The soak: the real Linux program in Xvfb, driven with held and released arrows for a bounded
# time (5 minutes unless told), then ended with Escape. Passes when the frame rate and resident
# memory stay flat and the program exits with code 1. Not part of CI at full length.
#
# Usage: tests/soak/soak.sh [seconds] [runtime dir] [work dir]
#   seconds      how long to drive (default 300)
#   runtime dir  holds vortalux and gfx/ (default build/ci)
#   work dir     logs: frames.log (seconds, frames), rss.log (seconds, kB) (default a new temp dir)
# Frames are counted by frame_counter.cpp, preloaded into the program; the program is unchanged.
# Exits 0 on success, 1 on a failed check, 77 when a tool is missing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$root/tests/e2e/e2e_lib.sh"

seconds=${1:-300}
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [seconds] [runtime dir] [work dir]" >&2; exit 2 ;;
esac
[ "$seconds" -ge 20 ] || { echo "soak: at least 20 seconds" >&2; exit 2; }
runtime=$(cd "${2:-$root/build/ci}" && pwd) || exit 2
work=${3:-$(mktemp -d /tmp/vortalux-soak.XXXXXX)}
mkdir -p "$work"
[ -x "$runtime/vortalux" ] || die "no program at $runtime/vortalux"
[ -d "$runtime/gfx" ] || die "no gfx/ beside the program in $runtime"
need_tools Xvfb xdotool c++
unset SDL_VIDEODRIVER

# The frame rate may not fall below this share of its early level, nor memory grow by more.
min_rate_share=0.6
max_growth_kb=2048
warm_up=15  # seconds: shaders compiled, pictures paged in, the first drive under way

c++ -std=c++17 -O2 -shared -fPIC -o "$work/libframe_counter.so" "$here/frame_counter.cpp" -ldl ||
  die "the frame counter did not build"
start_xvfb "$work"
(cd "$runtime" && LD_PRELOAD="$work/libframe_counter.so" VORTALUX_SOAK_FRAMES="$work/frames.log" \
  exec timeout $((seconds + 60)) ./vortalux) >"$work/program.out" 2>"$work/program.err" &
program=$!
cleanup_pids+=("$program")
await_window "$program" >/dev/null || die "no window named Vortalux appeared"
timeout 5 xdotool mousemove 512 384  # no window manager: the keyboard follows the pointer
echo "# driving for ${seconds}s; logs in $work"

# $program is the timeout wrapper; the program itself is its one child.
real_pid=$(pgrep -P "$program" -x vortalux | head -n1)
[ -n "$real_pid" ] || die "the program's process was not found under its timeout wrapper"
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$real_pid/status" 2>/dev/null; }
: >"$work/rss.log"
start=$(date +%s)
next_sample=$start
# One round, about 4 s: forward, forward and left, forward and right, a long left turn that
# scrapes an edge, a pause with nothing held. Always released before the next round.
while [ $(($(date +%s) - start)) -lt "$seconds" ]; do
  kill -0 "$program" 2>/dev/null || die "the program ended by itself"
  if [ "$(date +%s)" -ge "$next_sample" ]; then
    echo "$(($(date +%s) - start)) $(rss_kb)" >>"$work/rss.log"
    next_sample=$((next_sample + 5))
  fi
  timeout 5 xdotool keydown Up
  sleep 0.8
  hold_key Left 0.4
  hold_key Right 0.5
  timeout 5 xdotool keyup Up
  hold_key Left 1.2
  timeout 5 xdotool keydown Up
  hold_key Right 0.8
  timeout 5 xdotool keyup Up
  sleep 0.3
done
echo "$(($(date +%s) - start)) $(rss_kb)" >>"$work/rss.log"
check_escape "$program"

# Frame rate: frames per second over each 5 s span after the warm-up; the median of the last
# third must stay within min_rate_share of the median of the first third.
read -r early late < <(awk -v warm="$warm_up" '
  { t[NR] = $1; f[NR] = $2 }
  END {
    n = 0; last_t = -1
    for (i = 1; i <= NR; i++) {
      if (t[i] < warm) continue
      if (last_t < 0) { last_t = t[i]; last_f = f[i]; continue }
      if (t[i] - last_t >= 5) { rate[++n] = (f[i] - last_f) / (t[i] - last_t); last_t = t[i]; last_f = f[i] }
    }
    third = int(n / 3); if (third < 1) { print 0, 0; exit }
    printf "%.1f %.1f\n", median(rate, 1, third), median(rate, n - third + 1, n)
  }
  function median(a, lo, hi,   m, i, j, v, s) {
    m = 0
    for (i = lo; i <= hi; i++) s[++m] = a[i]
    for (i = 2; i <= m; i++) { v = s[i]; for (j = i - 1; j >= 1 && s[j] > v; j--) s[j + 1] = s[j]; s[j + 1] = v }
    return m % 2 ? s[(m + 1) / 2] : (s[m / 2] + s[m / 2 + 1]) / 2
  }' "$work/frames.log")
if awk -v e="$early" -v l="$late" -v s="$min_rate_share" 'BEGIN { exit !(e > 0 && l >= e * s) }'; then
  pass "the frame rate stays flat: ${early} frames/s early, ${late} frames/s late"
else
  fail "the frame rate fell from ${early} to ${late} frames/s (or no frames were counted)"
fi

# Memory: resident set after the warm-up against the last sample.
read -r base final < <(awk -v warm="$warm_up" '
  $1 >= warm && base == "" && $2 != "" { base = $2 } $2 != "" { final = $2 }
  END { print base + 0, final + 0 }' "$work/rss.log")
if [ "$base" -gt 0 ] && [ $((final - base)) -le "$max_growth_kb" ]; then
  pass "resident memory stays flat: ${base} kB after ${warm_up}s, ${final} kB at the end"
else
  fail "resident memory grew from ${base} kB to ${final} kB (allowed ${max_growth_kb} kB)"
fi

[ -s "$work/program.err" ] && sed 's/^/# stderr: /' "$work/program.err"
echo "# logs: $work"
[ "$failures" -eq 0 ] || exit 1
exit 0
