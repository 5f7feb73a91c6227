# shellcheck shell=bash
# Shared pieces of the end-to-end tests: X servers of the test's own, screenshots and their
# comparison, key events, the waits, and a clean-up that leaves no process behind. Sourced by
# linux_e2e.sh, deb_e2e.sh, wine_e2e.sh, wayland_e2e.sh and the soak. Every wait waits for what it
# expects (a window, a picture that changed or holds still, frames shown, a process that ended)
# and is bounded, so a test fails rather than hangs; a check that something does NOT happen
# waits as long as it would take to show (await_show_time).

SKIP=77  # CTest's SKIP_RETURN_CODE for these tests: a tool the test needs is not installed.

# ImageMagick on one thread: its OpenMP threads spin while the demo keeps both cores busy
# rendering, which made a single comparison take half a minute.
export MAGICK_THREAD_LIMIT=1 OMP_NUM_THREADS=1

failures=0
pass() { echo "ok   - $*"; }
fail() { echo "FAIL - $*"; failures=$((failures + 1)); }
note() { echo "note - $*"; }
die() { echo "FAIL - $*"; exit 1; }
skip() { echo "SKIP - $*"; exit "$SKIP"; }

need_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed"
  done
}

# The running program's frames, when it runs with the frame counter preloaded
# (tests/soak/frame_counter.cpp, VORTALUX_SOAK_COUNT=$frame_count): the waits then count them.
# An event that comes while a frame is being drawn may miss that frame; the frame after it sees
# the event. Where frame_count is empty (the Windows program under Wine), the waits go by time.
frame_count=""
FRAMES=0
NOW=0      # microseconds, set by clock
show_us=0  # the longest a change took to show in this run (a held key, F11), in microseconds

clock() { NOW=${EPOCHREALTIME//[!0-9]/}; }

# Sets US to the microseconds in $1 seconds (such as 0.4 or 2).
to_us() {
  local whole=${1%%.*} fraction=""
  [[ "$1" == *.* ]] && fraction=${1#*.}
  fraction="${fraction}000000"
  US=$((10#${whole:-0} * 1000000 + 10#${fraction:0:6}))
}

# Sleeps until the clock reaches $1 (microseconds): the rest of a key's hold, or of the time a
# change would take to show; returns at once when it has passed.
sleep_until() {
  local rest fraction
  clock
  rest=$(($1 - NOW))
  [ "$rest" -gt 0 ] || return 0
  printf -v fraction '%06d' $((rest % 1000000))
  sleep "$((rest / 1000000)).$fraction"
}

# Sets FRAMES to the frames the program has shown so far (0 before the first, or uncounted). A
# read that meets the counter's write half done disagrees with the next one and is read again.
read_frames() {
  local a b
  FRAMES=0
  [ -s "$frame_count" ] || return 0  # none yet: the counter makes the file at the first frame
  for _ in 1 2 3 4; do
    a="" b=""
    read -r a 2>/dev/null <"$frame_count"
    read -r b 2>/dev/null <"$frame_count"
    if [ "$a" = "$b" ] && [[ "$a" =~ ^[0-9]+$ ]]; then
      FRAMES=$a
      return 0
    fi
  done
}

# Waits until the program ($program) has shown $1 more frames than it had, up to $2 seconds (20).
# Fails when they do not come or the program ends. Without a frame count it returns at once.
await_frames() {
  local more=$1 seconds=${2:-20} target end
  [ -n "$frame_count" ] || return 0
  read_frames
  target=$((FRAMES + more))
  clock
  end=$((NOW + seconds * 1000000))
  while read_frames && [ "$FRAMES" -lt "$target" ]; do
    clock
    [ "$NOW" -lt "$end" ] || return 1
    kill -0 "${program:-0}" 2>/dev/null || return 1
    sleep 0.03
  done
}

# Notes that a change asked for at $1 (clock's microseconds) showed at $2 (now unless given).
note_shown() {
  clock
  local shown=${2:-$NOW}
  [ $((shown - $1)) -le "$show_us" ] || show_us=$((shown - $1))
}

# For a check that something does not happen: waits as long as a change asked for now would need
# to show. That is three frames of the program (when they are counted), and twice the longest a
# change took to show in this run, at least half a second.
# WAITED is how long it waited, in seconds with one decimal, for the check's message.
await_show_time() {
  local start wait
  clock
  start=$NOW
  wait=$((show_us * 2))
  [ "$wait" -ge 500000 ] || wait=500000
  await_frames 3 || true  # a program that ended shows nothing more; the check says so
  sleep_until $((start + wait))
  clock
  printf -v WAITED '%d.%d' $(((NOW - start) / 1000000)) $(((NOW - start) / 100000 % 10))
}

# Processes to end on exit, by their own ids: the program, helper windows, the X server.
cleanup_pids=()
cleanup_hooks=()
cleanup() {
  local hook pid
  for hook in "${cleanup_hooks[@]}"; do "$hook" || true; done
  for pid in "${cleanup_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${cleanup_pids[@]}"; do
    # A short grace, then force: no X server or program outlives the test.
    timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -9 "$pid" 2>/dev/null || true
  done
}
trap cleanup EXIT

# Waits for the file to hold a display number that the server wrote through -displayfd.
await_display() {
  local file=$1 what=$2
  for _ in $(seq 100); do
    [ -s "$file" ] && break
    sleep 0.1
  done
  [ -s "$file" ] || die "$what did not start (see $(dirname "$file"))"
  DISPLAY=":$(head -n1 "$file")"
  export DISPLAY
  unset WAYLAND_DISPLAY XAUTHORITY
}

# Xvfb of exactly 1024x768x24 (its only display mode is the program's), or of the size $2.
start_xvfb() {
  local dir=$1 size=${2:-1024x768}
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset \
    3>"$dir/xvfb.display" >"$dir/xvfb.log" 2>&1 &
  cleanup_pids+=($!)
  await_display "$dir/xvfb.display" "Xvfb"
  echo "# Xvfb on $DISPLAY"
}

# Xorg with the dummy video driver: a real mode list (1280x1024, 1024x768, 800x600, ...), headless.
# Needs root, as any Xorg started without a login session does.
start_xorg_dummy() {
  local dir=$1 config=$2
  [ "$(id -u)" -eq 0 ] || skip "Xorg with the dummy driver needs root here"
  need_tools Xorg
  local driver
  driver=$(ls /usr/lib/xorg/modules/drivers/dummy_drv.so 2>/dev/null || true)
  [ -n "$driver" ] || skip "the Xorg dummy video driver is not installed (xserver-xorg-video-dummy)"
  mkdir -p "$dir/xorg.conf.d"
  Xorg -displayfd 3 -config "$config" -configdir "$dir/xorg.conf.d" -noreset -nolisten tcp \
    -logfile "$dir/xorg.log" 3>"$dir/xorg.display" >"$dir/xorg.out" 2>&1 &
  cleanup_pids+=($!)
  await_display "$dir/xorg.display" "Xorg"
  for _ in $(seq 50); do
    timeout 5 xrandr >/dev/null 2>&1 && break
    sleep 0.1
  done
  echo "# Xorg (dummy) on $DISPLAY"
}

# The screen's current mode as xrandr reports it, e.g. 1280x1024.
current_mode() {
  timeout 5 xrandr 2>/dev/null | sed -n 's/^Screen 0:.*current \([0-9]*\) x \([0-9]*\).*/\1x\2/p'
}

# Waits up to $2 seconds for the screen's mode to become $1.
await_mode() {
  local wanted=$1 seconds=$2
  for _ in $(seq $((seconds * 5))); do
    [ "$(current_mode)" = "$wanted" ] && return 0
    sleep 0.2
  done
  return 1
}

# Waits for the program's window (named "Vortalux") to be shown and prints its id. The window
# exists, unmapped, from CreateWindowExA on, and takes no keys until ShowWindow.
await_window() {
  local pid=$1 id
  for _ in $(seq 150); do
    id=$(timeout 5 xdotool search --onlyvisible --name '^Vortalux$' 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# A screenshot of the whole screen. xwd writes the raw picture in milliseconds (a PNG from
# import takes over a second while the demo keeps the cores busy); keep_pictures makes PNGs of
# them at the end.
shot() {
  timeout 20 xwd -root -silent -out "$1" 2>/dev/null || die "no screenshot could be taken ($1)"
}

keep_pictures() {
  local dir=$1
  ls "$dir"/*.xwd >/dev/null 2>&1 || return 0
  timeout 60 mogrify -format png "$dir"/*.xwd 2>/dev/null && rm -f "$dir"/*.xwd
}

# On the dummy Xorg screen (1280x1024 at start): the running program has switched it to 1024x768.
# The argument is appended to the message, naming the call that did it.
check_mode_switched() {
  if await_mode 1024x768 15; then
    pass "while the program runs the screen is at 1024x768$1"
  else
    fail "while the program runs the screen is at $(current_mode), not 1024x768"
  fi
}

# Escape ends the program, and the screen goes back to 1280x1024 (or to the mode $3).
check_escape_restores_mode() {
  local desktop=${3:-1280x1024}
  timeout 5 xdotool mousemove 512 384 click 1  # into the window, as a person would
  await_show_time  # the click has activated the window by then (Wine activates on a click)
  check_escape "$1"
  if await_mode "$desktop" 10; then
    pass "after Escape the screen is back at $desktop$2"
  else
    fail "after Escape the screen is at $(current_mode), not back at $desktop"
  fi
}

# Passes when the screen's mode is the one given, as it was before the program started.
check_mode_unchanged() {
  local before=$1 after
  after=$(current_mode)
  if [ -n "$before" ] && [ "$after" = "$before" ]; then
    pass "the screen's mode is as it was ($after)"
  else
    fail "the screen's mode was $before and is now $after"
  fi
}

# Ends a test: keeps its pictures, shows the program's standard error and exits 1 on any failure.
report_and_exit() {
  keep_pictures "$work"
  if [ -s "$work/program.err" ]; then
    echo "# the program's standard error:"
    sed 's/^/#   /' "$work/program.err"
  fi
  echo "# screenshots and logs: $work"
  [ "$failures" -eq 0 ] || exit 1
  exit 0
}

# The number of pixels that differ by more than 2% between two pictures (of the region $3, if
# given, e.g. 1024x600+0+168).
differing_pixels() {
  local a=$1 b=$2 region=${3:-}
  if [ -n "$region" ]; then
    a="${a}[$region]"
    b="${b}[$region]"
  fi
  local count
  count=$(timeout 20 compare -metric AE -fuzz 2% "$a" "$b" null: 2>&1 >/dev/null || true)
  printf '%.0f\n' "${count%% *}" 2>/dev/null || echo 999999999
}

# The mean brightness (0..1) of a region of a picture.
mean_of() {
  timeout 20 identify -format '%[fx:mean]' "$1[$2]" 2>/dev/null || echo 0
}

# Takes screenshots until one is not black (the first frame is on the screen), about $2 seconds;
# $3 is the region to look at (the top-left 1024x768 unless given).
await_lit() {
  local out=$1 seconds=${2:-20} region=${3:-1024x768+0+0}
  for _ in $(seq $((seconds * 4))); do
    shot "$out"
    awk -v m="$(mean_of "$out" "$region")" 'BEGIN { exit !(m > 0.03) }' && return 0
    sleep 0.25
  done
  return 1
}

# Takes screenshots until two in a row are identical (the program shows a still picture), and
# leaves that picture in $1; $3 is the region to compare (the whole screen unless given). Where
# frames are counted, two frames come between the two screenshots, and two before the first, so
# that a key let go or a size changed just before is seen and a program that draws nothing is not
# taken for still. Fails after about $2 seconds.
await_steady() {
  local out=$1 seconds=${2:-20} region=${3:-} previous="$1.previous.xwd" end
  clock
  end=$((NOW + seconds * 1000000))
  await_frames 2 "$seconds" || { shot "$out"; return 1; }
  shot "$previous"
  while :; do
    sleep 0.25  # between screenshots: the comparisons would take the cores from the program
    await_frames 2 "$seconds" || break
    shot "$out"
    if [ "$(differing_pixels "$previous" "$out" "$region")" -eq 0 ]; then
      rm -f "$previous"
      return 0
    fi
    mv "$out" "$previous"
    clock
    [ "$NOW" -lt "$end" ] || break
  done
  mv -f "$previous" "$out"
  return 1
}

# Takes screenshots into $2 until one differs from the picture $1 (in the region $4, if given),
# for up to $3 seconds (20). SHOT_AT is the clock's time of the screenshot that differed.
await_changed() {
  local before=$1 out=$2 seconds=${3:-20} region=${4:-} end
  clock
  end=$((NOW + seconds * 1000000))
  while :; do
    clock
    SHOT_AT=$NOW
    shot "$out"
    [ "$(differing_pixels "$before" "$out" "$region")" -eq 0 ] || return 0
    [ "$NOW" -lt "$end" ] || return 1
    kill -0 "${program:-0}" 2>/dev/null || return 1
    sleep 0.1
  done
}

# Holds a key with real key events (XTEST), as a person would: for $2 seconds, and where frames
# are counted, for at least three frames, so that a busy machine's slow frames still see it held.
hold_key() {
  local start
  clock
  start=$NOW
  timeout 5 xdotool keydown "$1"
  await_frames 3 || true
  to_us "$2"
  sleep_until $((start + US))
  timeout 5 xdotool keyup "$1"
}

# Holds a key until the picture differs from $2 (left in $3), and for at least $4 seconds; the
# time the change took to show is noted (note_shown). Fails when nothing changes within 20 s.
press_until_shown() {
  local key=$1 before=$2 out=$3 start shown=0
  clock
  start=$NOW
  timeout 5 xdotool keydown "$key"
  if await_changed "$before" "$out" 20; then
    shown=1
    note_shown "$start" "$SHOT_AT"
    to_us "$4"
    sleep_until $((start + US))
  fi
  timeout 5 xdotool keyup "$key"
  [ "$shown" = 1 ]
}

# Waits up to $2 seconds for the process to end; sets EXIT_CODE to its exit code, or "running".
await_exit() {
  local pid=$1 seconds=$2
  EXIT_CODE=running
  for _ in $(seq $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      EXIT_CODE=$?
      return 0
    fi
    sleep 0.1
  done
}

# The checks both programs share, on a 1024x768 screen: the first frame, up, left, right, and a
# still picture while nothing is held. $1: work folder, $2: the program's pid.
check_driving() {
  local dir=$1 pid=$2 window
  window=$(await_window "$pid") || die "no window named Vortalux appeared"
  pass "the window \"Vortalux\" is open"
  timeout 5 xdotool mousemove 512 384  # no window manager: the keyboard follows the pointer

  await_lit "$dir/1-start.xwd" || fail "the screen stays black"
  await_steady "$dir/1-start.xwd" || fail "the first picture does not hold still with no key held"
  local sky road
  sky=$(mean_of "$dir/1-start.xwd" 1024x200+0+0)
  road=$(mean_of "$dir/1-start.xwd" 400x150+312+618)
  if awk -v s="$sky" -v r="$road" 'BEGIN { exit !(s > 0.03 && r > 0.03) }'; then
    pass "the first frame is drawn: sky (top, mean $sky) and track (bottom, mean $road) are lit"
  else
    fail "the first frame looks black: sky mean $sky, track mean $road"
  fi
  if [ -n "${START_REFERENCE:-}" ] && [ -f "$START_REFERENCE" ]; then
    local off
    off=$(differing_pixels "$START_REFERENCE" "$dir/1-start.xwd")
    if [ "$off" -le 786 ]; then  # 0.1% of the screen; on Mesa the two are equal
      pass "it is the track seen from the start: $off pixels off the offscreen render of the start"
    else
      fail "the picture at the start differs from the offscreen render of the start in $off pixels"
    fi
  fi

  # How long the press takes to show sets how long the checks that nothing moves wait.
  press_until_shown Up "$dir/1-start.xwd" "$dir/2-moving.xwd" 0.6 ||
    fail "holding up changes nothing on the screen within 20 s"
  await_steady "$dir/2-up.xwd" || fail "the picture keeps changing after the up arrow is released"
  check_changed "$dir/1-start.xwd" "$dir/2-up.xwd" "holding up moves the view forward"

  hold_key Left 0.4
  await_steady "$dir/3-left.xwd" || fail "the picture keeps changing after left is released"
  check_changed "$dir/2-up.xwd" "$dir/3-left.xwd" "holding left turns the view"

  hold_key Right 0.4
  await_steady "$dir/4-right.xwd" || fail "the picture keeps changing after right is released"
  check_changed "$dir/3-left.xwd" "$dir/4-right.xwd" "holding right turns the view"

  await_show_time
  shot "$dir/5-still.xwd"
  if [ "$(differing_pixels "$dir/4-right.xwd" "$dir/5-still.xwd")" -eq 0 ]; then
    pass "with no key held the picture stays unchanged ($WAITED s)"
  else
    fail "the picture changes with no key held"
  fi
  echo "$window" >"$dir/window"
}

check_changed() {
  local n
  n=$(differing_pixels "$1" "$2")
  if [ "$n" -gt 7864 ]; then
    pass "$3 ($n pixels changed)"
  else
    fail "$3: only $n pixels changed"
  fi
}

# The window loses the keyboard while the up arrow is held (another window takes the focus, as
# after Alt+Tab): the key table must be cleared, so the view stops although no key-up arrives.
check_focus_loss_releases_keys() {
  local dir=$1 window=$2
  need_tools xlogo
  local region=1024x700+0+68  # away from the helper window
  timeout 5 xdotool keydown Up
  if ! await_changed "$dir/5-still.xwd" "$dir/6-moving.xwd" 20 "$region"; then
    fail "the up arrow did not move the view before the focus change"
    timeout 5 xdotool keyup Up
    return
  fi
  xlogo -geometry 48x48+0+0 >/dev/null 2>&1 &
  local logo=$!
  cleanup_pids+=("$logo")
  local other=""
  for _ in $(seq 50); do
    other=$(timeout 5 xdotool search --pid "$logo" 2>/dev/null | head -n1 || true)
    [ -z "$other" ] && other=$(timeout 5 xdotool search --class xlogo 2>/dev/null | head -n1 || true)
    [ -n "$other" ] && break
    sleep 0.1
  done
  [ -n "$other" ] || { fail "the helper window (xlogo) did not appear"; timeout 5 xdotool keyup Up; return; }
  timeout 5 xdotool windowfocus "$other" 2>/dev/null || true
  # A held arrow moves the view on every frame: only a cleared key table brings it to rest, and
  # at rest it must stay as long as a held key would take to show.
  local still=""
  if await_steady "$dir/7-focus-lost-a.xwd" 20 "$region"; then
    await_show_time
    shot "$dir/7-focus-lost-b.xwd"
    still=$(differing_pixels "$dir/7-focus-lost-a.xwd" "$dir/7-focus-lost-b.xwd" "$region")
  fi
  timeout 5 xdotool keyup Up  # reaches the focused helper window, not the program
  kill "$logo" 2>/dev/null || true
  if [ -z "$still" ]; then
    fail "after losing the focus the view keeps moving for 20 s: the key stayed held"
  elif [ "$still" -eq 0 ]; then
    pass "losing the focus releases the held up arrow (the view stops, and stays $WAITED s; no key-up was received)"
  else
    fail "after losing the focus the view stopped, then moved again ($still pixels changed)"
  fi
  # Back to the program as a person does: a click into its window (the demo ignores the mouse).
  # Wine activates a window on the click, not on an X focus change alone.
  timeout 5 xdotool windowfocus "$window" 2>/dev/null || true
  timeout 5 xdotool mousemove 512 384 click 1
  await_show_time
}

# A bare tap of Escape: press and release back to back, so that on a busy machine both arrive in
# one drain of the events and the loop finds Escape up again. The program must end all the same.
tap_escape() {
  timeout 5 xdotool key --delay 0 Escape
}

# Escape ends the program with WinMain's 1 (the quit message after WM_CLOSE).
check_escape() {
  local pid=$1
  tap_escape
  await_exit "$pid" 20
  if [ "$EXIT_CODE" = 1 ]; then
    pass "a tap of Escape ends the program with exit code 1"
  else
    fail "after a tap of Escape the program's exit code is $EXIT_CODE, not 1"
  fi
}

# Starts the program (the caller's start_program) $1 times more, each ended by one tap of Escape
# once its window shows.
check_escape_taps() {
  local runs=$1 run ended=0
  for run in $(seq "$runs"); do
    start_program
    await_window "$program" >/dev/null || { fail "start $run: no window appeared"; continue; }
    timeout 5 xdotool mousemove 512 384
    tap_escape
    await_exit "$program" 20
    [ "$EXIT_CODE" = 1 ] && ended=$((ended + 1))
  done
  if [ "$ended" = "$runs" ]; then
    pass "each of $runs more starts ends on a single tap of Escape"
  else
    fail "only $ended of $runs starts ended on a single tap of Escape"
  fi
}

# The window's place on the screen, WxH+X+Y.
window_geometry() {
  local WIDTH=0 HEIGHT=0 X=0 Y=0 SCREEN WINDOW
  eval "$(timeout 5 xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}

# Waits up to 10 s for the window $1 to take the place $2; passes or fails with $3. Given the
# clock's time $4 of the key that asked for it, notes how long it took to show.
check_geometry() {
  local window=$1 wanted=$2 what=$3 now
  for _ in $(seq 50); do
    now=$(window_geometry "$window")
    [ "$now" = "$wanted" ] && break
    sleep 0.2
  done
  if [ "$now" = "$wanted" ]; then
    [ -z "${4:-}" ] || note_shown "$4"
    pass "$what: the window is at $wanted"
  else
    fail "$what: the window is at $now, not $wanted"
  fi
}

# Presses the keys $2 (such as F11) and checks that the window $1 takes the place $3 ($4 says
# what that shows). The time it took sets how long a check that a key does nothing waits.
key_moves_window() {
  local pressed
  clock
  pressed=$NOW
  timeout 5 xdotool key "$2"
  check_geometry "$1" "$3" "$4" "$pressed"
}

# Up held for 0.8 s, and left with it for the last 0.3 s, then the picture still again: left in
# the screenshot $1.
drive_up_left() {
  local start
  clock
  start=$NOW
  timeout 5 xdotool keydown Up
  await_frames 3 || true
  sleep_until $((start + 500000))
  hold_key Left 0.3
  timeout 5 xdotool keyup Up
  await_steady "$1" || fail "the picture keeps changing after the keys are let go"
}

# Passes when the region WxH+X+Y ($2) of the screenshot $1 is vortalux-frame's render of the
# steps $3 at WxH, but for 0.1% of its pixels: the window's depth buffer has more bits than the
# offscreen one's 16, which may settle a rare tie between two surfaces the other way. The frame
# tool is $FRAME_TOOL, else vortalux-frame in $runtime; the pictures are $runtime/gfx.
check_render() {
  local picture=$1 region=$2 steps=$3 what=$4 size=${2%%+*} reference off
  local tool=${FRAME_TOOL:-$runtime/vortalux-frame}
  reference="$work/render-$size-$(echo "$steps" | cksum | cut -d' ' -f1).png"
  [ -f "$reference" ] || timeout 60 "$tool" --size "$size" --steps "$steps" \
    --gfx-dir "$runtime/gfx" --out "$reference" >/dev/null ||
    { fail "$what: vortalux-frame could not render $size after '$steps'"; return; }
  off=$(differing_pixels "${picture}[$region]" "$reference")
  if [ "$off" -le $((${size%x*} * ${size#*x} / 1000)) ]; then
    pass "$what: $off pixels off the ${size} render of '$steps'"
  else
    fail "$what: the picture differs from the ${size} render of '$steps' in $off pixels"
  fi
}
