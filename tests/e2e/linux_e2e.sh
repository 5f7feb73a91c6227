#!/usr/bin/env bash
# End to end, as a person would use it: the real Linux program in real X servers, driven with
# real key events (xdotool, through XTEST) and checked on screenshots, most of them against
# vortalux-frame's offscreen render of the steps the program took (it writes them as it ends, to
# the file --record names), at the size it had on the screen. The frame counter
# (tests/soak/frame_counter.cpp, FRAME_COUNTER=<.so>) is preloaded into every start: the waits
# count the frames the program shows, so that a busy machine's slow frames are waited for, and a
# check that something does not happen waits as long as it would take to show.
#
#   linux_e2e.sh xvfb <runtime dir> <work dir>
#       Xvfb at 1024x768x24, the program with no option (full screen on the desktop), started
#       from a folder without gfx/: it finds its pictures beside itself (no "cannot load"
#       message), the first frame shows the track from the start, holding up moves the view,
#       left and right turn it, nothing held keeps it still, losing the focus releases a held
#       key, the picture after the drive is the render of the steps recorded, a tap of Escape
#       ends the program with exit code 1, the screen's mode as it was. --play: the drive played
#       ends on the render of the drive recorded, which begins with it. A copy of the program
#       with no gfx/ anywhere names all four pictures on standard error, runs untextured and
#       ends on Escape with 1; three more starts end on a tap of Escape too. Xvfb has no
#       vertical sync: the frames come no faster than the display's 60 a second; --classic's
#       uncapped rate is noted beside it, in a run whose --record file cannot be written (exit
#       code 4, the file named). --timedemo, on an 80x60 Xvfb of its own, prints its one line
#       of figures for the whole drive and ends with 0.
#   linux_e2e.sh wide <runtime dir> <work dir>
#       Xvfb at 2560x1080, a mode that cannot change: with no option the picture fills the
#       screen and is the 2560x1080 render, at the start and after a drive, and F11 gives a
#       window of 3/4 of the screen and takes it back to full screen; --classic keeps its
#       window at 1024x768 in the top-left corner with the 1024x768 picture in it, nothing drawn
#       beyond it, and F11 does nothing (judged after twice the time F11 took to show above).
#   linux_e2e.sh window <runtime dir> <work dir>
#       Xvfb at 1600x900: --window opens a window of 3/4 of the screen, centred, with the picture
#       at its size; resized, the picture is projected afresh for the new size; F11 fills the
#       screen with the 1600x900 picture and gives the window back, and so does Alt+Enter.
#   linux_e2e.sh display-mode <runtime dir> <work dir>
#       Xorg with the dummy video driver at a 1920x1080 desktop that also offers 1024x768 (Xvfb
#       offers one mode only): with no option the picture fills the screen and is the 1920x1080
#       render, the mode unchanged while the program runs and after; --classic switches the
#       screen to 1024x768, shows the 1024x768 picture there, and gives 1920x1080 back on Escape.
#   linux_e2e.sh no-display <runtime dir> <work dir>
#       No display at all: the start-up failure is reported in the Windows program's words on
#       standard error, with the reason, and the program ends at once with exit code 3. --help
#       lists the options with 0; command lines it cannot take (an unknown option, a malformed
#       --play, --record without its file, --timedemo with --classic) are refused by name with
#       2, none of them needing a display.
#
# <runtime dir> holds vortalux, vortalux-frame and gfx/; screenshots and logs go to <work dir>.
# Optional: START_REFERENCE=<png>, the offscreen render of the first frame, compared with the
# screenshot. Exits 0 when every check passes, 1 when one fails, 77 (skipped) when a tool is not
# installed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"

mode=$1
runtime=$(cd "$2" && pwd)
work=$3
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
[ -x "$runtime/vortalux" ] || die "no program at $runtime/vortalux"
[ -d "$runtime/gfx" ] || die "no gfx/ beside the program in $runtime"
if [ "$mode" != no-display ]; then
  need_tools xdotool xrandr xwd compare identify mogrify
  [ -x "$runtime/vortalux-frame" ] || die "no vortalux-frame at $runtime to render the pictures"
  [ -f "${FRAME_COUNTER:-}" ] || die "FRAME_COUNTER names no frame counter library (vortalux_frame_counter)"
fi
unset SDL_VIDEODRIVER  # the real X11 window, never SDL's offscreen driver

frames_log=""  # when set, the next start also logs its frames a second there
starts=0
# Starts the program with the options given, recording its drive (to $record: a file of the
# start's own unless the options name one), its frames counted in $frame_count. It is
# $runtime/vortalux started in $runtime, which holds gfx/, unless binary= and start_in= say
# otherwise for the call. Ended by the test or, at worst, by timeout. Niced, so that the
# screenshots and comparisons get the cores the demo otherwise keeps busy.
start_program() {
  local arg previous="" counter
  starts=$((starts + 1))
  record=""
  for arg in "$@"; do
    [ "$previous" = --record ] && record=$arg
    previous=$arg
  done
  if [ -z "$record" ]; then
    record="$work/steps-$starts.txt"
    set -- "$@" --record "$record"
  fi
  frame_count="$work/frames-$starts.count"
  counter=("LD_PRELOAD=$FRAME_COUNTER" "VORTALUX_SOAK_COUNT=$frame_count")
  [ -n "$frames_log" ] && counter+=("VORTALUX_SOAK_FRAMES=$frames_log")
  (cd "${start_in:-$runtime}" && exec env "${counter[@]}" nice -n 15 timeout 90 \
    "${binary:-$runtime/vortalux}" "$@") >"$work/program.out" 2>"$work/program.err" &
  program=$!
  cleanup_pids+=("$program")
}

# Sets STEPS to the drive the last program to end recorded, in vortalux-frame's syntax.
read_record() {
  STEPS=""
  read -r STEPS <"$record" 2>/dev/null
  [ -n "$STEPS" ] || fail "the program recorded no drive in $record"
}

# The program with the options given until it shows a still picture, left in $work/$1.xwd; the
# pointer in the window, so that the keys go to it.
start_until_steady() {
  local name=$1
  shift
  start_program "$@"
  window=$(await_window "$program") || die "no window named Vortalux appeared ($*)"
  local geometry
  geometry=$(window_geometry "$window")
  local size=${geometry%%+*}
  timeout 5 xdotool mousemove --window "$window" $((${size%x*} / 2)) $((${size#*x} / 2))
  await_lit "$work/$name.xwd" 20 "$geometry" || fail "the screen stays black ($*)"
  await_steady "$work/$name.xwd" || fail "the picture does not hold still with no key held ($*)"
}

# The highest frame rate over any 3 s of a frame log ("<seconds> <frames>", about a line a
# second). Over 3 s a frame that swapped late at the start adds at most one frame to the count.
peak_rate() {
  awk 'BEGIN { f[0] = 1 }  # the first frame, at 0 s
       { t[NR] = $1; f[NR] = $2
         for (j = 0; j < NR && t[NR] - t[j + 1] >= 3; j++) {}
         if (t[NR] - t[j] >= 3) { r = (f[NR] - f[j]) / (t[NR] - t[j]); if (r > m) m = r } }
       END { printf "%.0f\n", m }' "$1"
}

# Waits up to $2 seconds for the frame log $1 to span 4 s of frames.
await_frames_logged() {
  for _ in $(seq $(($2 * 4))); do
    awk 'END { exit !($1 >= 4) }' "$1" 2>/dev/null && return 0
    kill -0 "$program" 2>/dev/null || return 1
    sleep 0.25
  done
  return 1
}

# --play drives the drive given at 60 steps a second, then the keys drive, and none is held: the
# picture comes to rest on the render of the drive recorded, which begins with the one played.
check_play() {
  local played='up*300 left*20 up*60'
  start_program --play "$played"
  await_window "$program" >/dev/null || { fail "no window appeared (--play)"; return; }
  timeout 5 xdotool mousemove 512 384
  # 380 steps: 6.3 s at 60 a second, and longer where frames come slower than 15 a second, since
  # a frame takes at most four steps.
  await_steady "$work/9-played.xwd" 80 || fail "the picture is not still after the drive played"
  check_escape "$program"
  read_record
  case "$STEPS" in
    "$played" | "$played "*) pass "the drive recorded begins with the one played: $STEPS" ;;
    *) fail "the drive recorded, '$STEPS', does not begin with the one played, '$played'" ;;
  esac
  check_render "$work/9-played.xwd" 1024x768+0+0 "$STEPS" \
    "after --play the picture is the render of the drive recorded"
}

# A copy of the program with no gfx/ where it starts nor beside it: every picture is named on
# standard error, and the program runs untextured all the same.
check_missing_pictures() {
  local bare=$work/bare name missing=""
  mkdir -p "$bare"
  cp "$runtime/vortalux" "$bare/"
  binary=$bare/vortalux start_in=$bare start_program
  if ! await_window "$program" >/dev/null || ! await_frames 3; then
    fail "with no pictures the program shows no frames: $(head -n1 "$work/program.err")"
    return
  fi
  for name in Flare Sky StartEnd Track; do
    grep -q "^vortalux: cannot load the picture .*/$name\.bmp; its surface is drawn untextured$" \
      "$work/program.err" || missing+=" $name.bmp"
  done
  if [ -z "$missing" ]; then
    pass "with no gfx/ anywhere the program names all four pictures on standard error and runs"
  else
    fail "with no gfx/ anywhere standard error does not name$missing"
  fi
  timeout 5 xdotool mousemove 512 384
  check_escape "$program"
}

# --timedemo on an 80x60 screen of its own: the whole drive, one step a frame, as fast as the
# machine draws, then its one line of figures and exit code 0. The drive is the point, not the
# fill: with other builds on the 2 cores its 4,566 frames took 4 minutes in a 768x576 window,
# 40 s at 320x240 and 10 s at 80x60.
check_timedemo() {
  local dir=$work/timedemo screen=$DISPLAY code line
  mkdir -p "$dir"
  start_xvfb "$dir" 80x60
  (cd "$runtime" && exec timeout 240 ./vortalux --timedemo) >"$dir/program.out" 2>"$dir/program.err"
  code=$?
  kill "${cleanup_pids[-1]}" 2>/dev/null
  DISPLAY=$screen
  line=$(head -n1 "$dir/program.out")
  local number='([0-9]+\.?[0-9]*)'
  local form="^timedemo: ([0-9]+) frames in $number s, $number frames/s; frame time median $number ms, 99th percentile $number ms, max $number ms\$"
  if [ "$code" != 0 ] || [ "$(wc -l <"$dir/program.out")" != 1 ] || ! [[ "$line" =~ $form ]]; then
    fail "--timedemo ended with $code and printed: $(head -c 300 "$dir/program.out")"
    return
  fi
  # The figures agree with each other: frames over seconds is the rate, the median is no more
  # than the 99th percentile and that no more than the longest, which fits in the run, and half
  # the frames take at least the median.
  if awk -v n="${BASH_REMATCH[1]}" -v s="${BASH_REMATCH[2]}" -v f="${BASH_REMATCH[3]}" \
    -v med="${BASH_REMATCH[4]}" -v p99="${BASH_REMATCH[5]}" -v max="${BASH_REMATCH[6]}" \
    'BEGIN { exit !(n > 3000 && s > 0 && (f * s - n) ^ 2 <= (n / 100 + 1) ^ 2 && 0 < med &&
                    med <= p99 && p99 <= max && max <= s * 1000 && med * n / 2 <= s * 1000 * 1.01) }'
  then
    pass "--timedemo drives the whole drive and ends with 0: $line"
  else
    fail "--timedemo printed implausible figures: $line"
  fi
}

case "$mode" in
  xvfb)
    need_tools Xvfb
    start_xvfb "$work"
    before=$(current_mode)
    frames_log="$work/frames.log"
    start_in=$work start_program  # a folder with no gfx/: the pictures are found beside the program
    frames_log=""
    check_driving "$work" "$program"
    check_focus_loss_releases_keys "$work" "$(cat "$work/window")"
    await_steady "$work/8-end.xwd" || fail "the picture is not still at the end"
    check_escape "$program"
    if grep -q 'cannot load' "$work/program.err"; then
      fail "started from a folder without gfx/, the program did not find its pictures beside it"
    else
      pass "started from a folder without gfx/, the program finds its pictures beside itself"
    fi
    read_record
    check_render "$work/8-end.xwd" 1024x768+0+0 "$STEPS" \
      "after the drive the picture is the render of the steps recorded"
    check_mode_unchanged "$before"
    check_play
    check_missing_pictures
    check_escape_taps 3

    # The cap begins every frame one refresh interval (1/60 s here) after the one before.
    peak=$(peak_rate "$work/frames.log")
    if [ "$peak" -gt 0 ] && [ "$peak" -le 62 ]; then
      pass "with no vertical sync the frames are capped at the display's 60 a second: at most $peak a second over any 3 s"
    else
      fail "with no vertical sync the frames came at up to $peak a second, not at most 60"
    fi
    frames_log="$work/frames-classic.log"
    start_program --classic --record "$work/missing/steps.txt"
    frames_log=""
    await_window "$program" >/dev/null || die "no window for --classic"
    timeout 5 xdotool mousemove 512 384
    await_frames_logged "$work/frames-classic.log" 30 || fail "--classic logged no 4 s of frames"
    tap_escape
    await_exit "$program" 20
    if [ "$EXIT_CODE" = 4 ] &&
      grep -q "^vortalux: cannot write the drive to $work/missing/steps.txt$" "$work/program.err"; then
      pass "a --record file in a folder that does not exist is named on standard error, exit code 4"
    else
      fail "with --record's folder missing the exit code is $EXIT_CODE: $(head -n1 "$work/program.err")"
    fi
    note "--classic, uncapped, drew up to $(peak_rate "$work/frames-classic.log") frames a second here"
    check_timedemo
    note "Xvfb has a single mode; the switch to 1024x768 and back is the display-mode test's"
    report_and_exit
    ;;

  wide)
    need_tools Xvfb
    start_xvfb "$work" 2560x1080
    before=$(current_mode)
    start_until_steady 1-start
    check_render "$work/1-start.xwd" 2560x1080+0+0 none*2 \
      "the picture fills the 2560x1080 screen from the start"
    drive_up_left "$work/2-drive.xwd"
    check_changed "$work/1-start.xwd" "$work/2-drive.xwd" "up and left move and turn the view"
    key_moves_window "$window" F11 1920x810+320+135 "F11 takes the program out of full screen"
    key_moves_window "$window" F11 2560x1080+0+0 "F11 again fills the screen"
    check_escape "$program"
    read_record
    check_render "$work/2-drive.xwd" 2560x1080+0+0 "$STEPS" \
      "after the drive it is the render of the steps recorded"
    check_mode_unchanged "$before"

    # The screen cannot switch to 1024x768: --classic's window and its picture stay 1024x768.
    start_until_steady 3-classic --classic
    check_geometry "$window" 1024x768+0+0 "--classic where the mode cannot change"
    check_render "$work/3-classic.xwd" 1024x768+0+0 none*2 \
      "--classic draws the 1024x768 picture in its window"
    beyond=$(mean_of "$work/3-classic.xwd" 1536x1080+1024+0)
    below=$(mean_of "$work/3-classic.xwd" 1024x312+0+768)
    if awk -v a="$beyond" -v b="$below" 'BEGIN { exit !(a == 0 && b == 0) }'; then
      pass "--classic draws nothing beyond its window"
    else
      fail "--classic drew beyond its 1024x768 window (means $beyond right, $below below)"
    fi
    timeout 5 xdotool key F11
    await_show_time  # twice as long as F11 took to show above
    now=$(window_geometry "$window")
    if [ "$now" = 1024x768+0+0 ]; then
      pass "F11 does nothing with --classic: the window is at $now $WAITED s later"
    else
      fail "F11 moved --classic's window to $now"
    fi
    check_escape "$program"
    report_and_exit
    ;;

  window)
    need_tools Xvfb
    start_xvfb "$work" 1600x900
    start_until_steady 1-window --window
    check_geometry "$window" 1200x675+200+112 "--window opens 3/4 of the screen, centred"
    check_render "$work/1-window.xwd" 1200x675+200+112 none*2 "the picture has the window's size"

    timeout 5 xdotool windowsize "$window" 900 700
    check_geometry "$window" 900x700+200+112 "resized by the window system"
    await_steady "$work/2-resized.xwd" || fail "the picture is not still after the resize"
    check_render "$work/2-resized.xwd" 900x700+200+112 none*2 \
      "the picture is projected afresh for 900x700, not stretched"

    key_moves_window "$window" F11 1600x900+0+0 "F11 switches to full screen"
    await_steady "$work/3-full.xwd" || fail "the picture is not still in full screen"
    check_render "$work/3-full.xwd" 1600x900+0+0 none*2 "in full screen the picture fills the screen"
    key_moves_window "$window" F11 900x700+200+112 "F11 again gives the window back as it was"
    key_moves_window "$window" alt+Return 1600x900+0+0 "Alt+Enter switches to full screen"
    key_moves_window "$window" alt+Return 900x700+200+112 "Alt+Enter again gives the window back"
    await_steady "$work/4-back.xwd" || fail "the picture is not still back in the window"
    check_render "$work/4-back.xwd" 900x700+200+112 none*2 "back in the window, at its size"
    check_escape "$program"
    report_and_exit
    ;;

  display-mode)
    start_xorg_dummy "$work" "$here/xorg-dummy-1920x1080.conf"
    before=$(current_mode)
    [ "$before" = 1920x1080 ] || die "the dummy Xorg screen starts at '$before', not 1920x1080"
    pass "the screen starts at 1920x1080"
    # A mode switch would come before the window is shown: by the still picture it is done.
    start_until_steady 1-desktop
    check_render "$work/1-desktop.xwd" 1920x1080+0+0 none*2 \
      "with no option the picture fills the 1920x1080 desktop"
    check_mode_unchanged "$before"
    check_escape "$program"
    check_mode_unchanged "$before"

    start_program --classic
    await_window "$program" >/dev/null || die "no window named Vortalux appeared (--classic)"
    check_mode_switched " (--classic)"
    timeout 5 xdotool mousemove 512 384
    if await_lit "$work/2-classic.xwd" && await_steady "$work/2-classic.xwd"; then
      check_render "$work/2-classic.xwd" 1024x768+0+0 none*2 "--classic draws on the switched screen"
    else
      fail "--classic shows no still picture on the switched screen"
    fi
    check_escape_restores_mode "$program" "" 1920x1080
    report_and_exit
    ;;

  no-display)
    # No X server, no Wayland: SDL would fall back to its offscreen driver and the demo would run
    # unseen. The program stops at once with the Windows program's first start-up text, the
    # reason, and exit code 3.
    (cd "$runtime" && exec env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./vortalux) \
      >"$work/program.out" 2>"$work/program.err"
    code=$?
    if [ "$code" = 3 ]; then
      pass "with no display the program ends with exit code 3, a failed start"
    else
      fail "with no display the exit code is $code, not 3"
    fi
    if grep -q '^Error: Failed To Register The Window Class\. .*no display' "$work/program.err"; then
      pass "it says so on standard error, in the Windows program's words, and why"
    else
      fail "standard error does not name the failure"
    fi

    (cd "$runtime" && exec env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./vortalux --help) \
      >"$work/help.out" 2>&1
    code=$?
    if [ "$code" = 0 ] && grep -q -- '--window' "$work/help.out" &&
      grep -q -- '--classic' "$work/help.out"; then
      pass "--help lists --window and --classic and ends with 0"
    else
      fail "--help ended with $code, or its text lacks --window or --classic"
    fi
    # Each command line it cannot take, and what standard error must say of it.
    refused=0
    while IFS='|' read -r message args; do
      eval "set -- $args"
      (cd "$runtime" && exec env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./vortalux "$@") \
        >"$work/usage.out" 2>"$work/usage.err"
      code=$?
      if [ "$code" = 2 ] && grep -qF -- "$message" "$work/usage.err" && [ ! -s "$work/usage.out" ]; then
        refused=$((refused + 1))
      else
        fail "vortalux $args ended with $code: $(head -n1 "$work/usage.err")"
      fi
    done <<'LINES'
unknown option '--fullscreen'|--fullscreen
--play: |--play 'up*x'
--record needs a value|--window --record
--timedemo and --classic cannot be given together|--timedemo --classic
LINES
    if [ "$refused" = 4 ]; then
      pass "4 command lines it cannot take are named on standard error and end it with 2"
    fi
    report_and_exit
    ;;

  *)
    echo "usage: $0 xvfb|wide|window|display-mode|no-display <runtime dir> <work dir>" >&2
    exit 2
    ;;
esac
