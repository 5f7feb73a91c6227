#!/usr/bin/env bash
# How long a press takes to show: the real Linux program in Xvfb, the up arrow pressed again and
# again at random moments; for each press, the time from the key event's delivery to the X
# server (xdotool, through XTEST) to the return of the swap of the first frame whose picture
# moved, both on the wall clock, and which frame to end after the press that was. The frame in
# flight when the event comes cannot show it: the second at the latest must.
# frame_counter.cpp, preloaded into the program, times every swap and finds the frames that moved
# (the middle row of pixels differs). Prints every press, the median and the largest, and the frame
# rate meanwhile. A measure, not a test: not part of CI.
#
# Usage: tests/soak/latency.sh [presses] [runtime dir] [work dir] [screen] [-- program options]
#   presses      how many presses (default 20)
#   runtime dir  holds vortalux and gfx/ (default build/ci)
#   work dir     logs: presses.log, swaps.log, frames.log (default a new temp dir)
#   screen       the Xvfb screen's size (default 1024x768)
# Exits 0 when every press showed, 1 otherwise, 77 when a tool is missing.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$root/tests/e2e/e2e_lib.sh"

presses=${1:-20}
runtime=$(cd "${2:-$root/build/ci}" && pwd) || exit 2
work=${3:-$(mktemp -d /tmp/vortalux-latency.XXXXXX)}
screen=${4:-1024x768}
shift $(($# < 4 ? $# : 4))
[ "${1:-}" = -- ] && shift
mkdir -p "$work"
[ -x "$runtime/vortalux" ] || die "no program at $runtime/vortalux"
need_tools Xvfb xdotool c++
unset SDL_VIDEODRIVER

c++ -std=c++17 -O2 -shared -fPIC -o "$work/libframe_counter.so" "$here/frame_counter.cpp" -ldl ||
  die "the frame counter did not build"
start_xvfb "$work" "$screen"
frame_count="$work/frames.count"
(cd "$runtime" && LD_PRELOAD="$work/libframe_counter.so" VORTALUX_SOAK_FRAMES="$work/frames.log" \
  VORTALUX_SOAK_SWAPS="$work/swaps.log" VORTALUX_SOAK_COUNT="$frame_count" \
  exec timeout $((presses * 2 + 60)) ./vortalux "$@") >"$work/program.out" 2>"$work/program.err" &
program=$!
cleanup_pids+=("$program")
await_window "$program" >/dev/null || die "no window named Vortalux appeared"
timeout 5 xdotool mousemove 10 10

# Waits until the last $1 frames shown did not move (swaps.log), up to 20 s.
await_still_frames() {
  for _ in $(seq 400); do
    tail -n "$1" "$work/swaps.log" 2>/dev/null | awk -v n="$1" '$2 == 0 { s++ } END { exit !(s == n) }' &&
      return 0
    kill -0 "$program" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
{ await_frames 3 && await_still_frames 2; } || die "the first frames were not drawn, or do not hold still"
: >"$work/presses.log"
for _ in $(seq "$presses"); do
  sleep "0.$((RANDOM % 9 + 1))"  # at any moment of a frame
  before=$(date +%s%N)
  timeout 5 xdotool keydown Up
  after=$(date +%s%N)
  echo "$before $after" >>"$work/presses.log"
  sleep 0.2
  timeout 5 xdotool keyup Up
  { await_frames 2 && await_still_frames 2; } || die "the picture does not come to rest after a press"
done
check_escape "$program"

# For each press, the first moved frame after xdotool returned (the event is at the X server by
# then), and how many frames ended from then to it; xdotool's own time is shown beside it.
awk 'NR == FNR { swap[++n] = $1; moved[n] = $2; next }
     { for (i = 1; i <= n && swap[i] <= $2; i++) {}
       for (first = i; i <= n && !moved[i]; i++) {}
       if (i > n) { missed++; next }
       ms = (swap[i] - $2) / 1e6; all[++k] = ms; frames = i - first + 1
       if (frames > most) most = frames
       printf "press %2d: %5.1f ms, frame %d to end after it (xdotool took %.1f ms)\n", FNR, ms,
         frames, ($2 - $1) / 1e6 }
     END { if (missed) { print missed " presses never showed"; exit 1 }
           for (i = 2; i <= k; i++) { v = all[i]; for (j = i - 1; j >= 1 && all[j] > v; j--) all[j + 1] = all[j]; all[j + 1] = v }
           printf "median %.1f ms, largest %.1f ms over %d presses; shown by frame %d at the latest\n",
             k % 2 ? all[(k + 1) / 2] : (all[k / 2] + all[k / 2 + 1]) / 2, all[k], k, most
           if (most > 2) exit 1 }' \
  "$work/swaps.log" "$work/presses.log" || failures=$((failures + 1))
awk 'END { if (NR) printf "frames: %d in %.1f s, %.1f a second\n", $2, $1, $2 / $1 }' "$work/frames.log"
echo "# logs: $work"
[ "$failures" -eq 0 ] || exit 1
exit 0
