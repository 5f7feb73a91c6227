#!/usr/bin/env bash
# End to end, as a person would use it: the real Linux program in real X servers, driven with
# real key events (xdotool, through XTEST) and checked on screenshots, most of them against
# vortalux-frame's offscreen render of the steps the program took (it prints them as it ends,
# with VORTALUX_PRINT_STEPS), at the size it had on the screen.
#
#   linux_e2e.sh xvfb <runtime dir> <work dir>
#       Xvfb at 1024x768x24, the program with no option (full screen on the desktop): the first
#       frame shows the track from the start, holding up moves the view, left and right turn it,
#       nothing held keeps it still, losing the focus releases a held key, the picture after
#       the drive is the render of the steps taken, a tap of Escape ends the program with exit
#       code 1 (three more starts too), the screen's mode as it was. Xvfb has no vertical sync:
#       the frames, counted by tests/soak/frame_counter.cpp (FRAME_COUNTER=<.so>), come no
#       faster than the display's 60 a second; --classic's uncapped rate is noted beside it.
#   linux_e2e.sh wide <runtime dir> <work dir>
#       Xvfb at 2560x1080, a mode that cannot change: with no option the picture fills the
#       screen and is the 2560x1080 render, at the start and after a drive, and F11 gives a
#       window of 3/4 of the screen and takes it back to full screen; --classic keeps its
#       window at 1024x768 in the top-left corner with the 1024x768 picture in it, nothing drawn
#       beyond it, and F11 does nothing.
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
#       standard error and the program ends at once with WinMain's 0. --help lists the options
#       and an unknown option is refused with status 2, neither needing a display.
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
[ -x "$runtime/vortalux" ] || die "no program at $runtime/vortalux"
[ -d "$runtime/gfx" ] || die "no gfx/ beside the program in $runtime"
if [ "$mode" != no-display ]; then
  need_tools xdotool xrandr xwd compare identify mogrify
  [ -x "$runtime/vortalux-frame" ] || die "no vortalux-frame at $runtime to render the pictures"
fi
unset SDL_VIDEODRIVER  # the real X11 window, never SDL's offscreen driver

frames_log=""  # when set, the next start counts its frames there
start_program() {
  # Started from its own folder, which holds gfx/, with the options given; ended by the test or,
  # at worst, by timeout. Niced, so that the screenshots and comparisons get the cores the demo
  # otherwise keeps busy.
  local counter=()
  [ -n "$frames_log" ] && counter=("LD_PRELOAD=$FRAME_COUNTER" "VORTALUX_SOAK_FRAMES=$frames_log")
  (cd "$runtime" && exec env VORTALUX_PRINT_STEPS=1 "${counter[@]}" nice -n 15 timeout 90 \
    ./vortalux "$@") >"$work/program.out" 2>"$work/program.err" &
  program=$!
  cleanup_pids+=("$program")
}

# The steps the last program to end took, in vortalux-frame's syntax.
steps_taken() {
  sed -n 's/^steps: //p' "$work/program.out"
}

# The window's place on the screen, WxH+X+Y.
window_geometry() {
  local WIDTH=0 HEIGHT=0 X=0 Y=0 SCREEN WINDOW
  eval "$(timeout 5 xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  echo "${WIDTH}x${HEIGHT}+${X}+${Y}"
}

# Waits up to 10 s for the window $1 to take the place $2; passes or fails with $3.
check_geometry() {
  local window=$1 wanted=$2 what=$3 now
  for _ in $(seq 50); do
    now=$(window_geometry "$window")
    [ "$now" = "$wanted" ] && break
    sleep 0.2
  done
  if [ "$now" = "$wanted" ]; then
    pass "$what: the window is at $wanted"
  else
    fail "$what: the window is at $now, not $wanted"
  fi
}

# Passes when the region WxH+X+Y ($2) of the screenshot $1 is vortalux-frame's render of the
# steps $3 at WxH, but for 0.1% of its pixels: the window's depth buffer has more bits than the
# offscreen one's 16, which may settle a rare tie between two surfaces the other way.
check_render() {
  local picture=$1 region=$2 steps=$3 what=$4 size=${2%%+*} reference off
  reference="$work/render-$size-$(echo "$steps" | cksum | cut -d' ' -f1).png"
  [ -f "$reference" ] || timeout 60 "$runtime/vortalux-frame" --size "$size" --steps "$steps" \
    --gfx-dir "$runtime/gfx" --out "$reference" >/dev/null ||
    { fail "$what: vortalux-frame could not render $size after '$steps'"; return; }
  off=$(differing_pixels "$picture[$region]" "$reference")
  if [ "$off" -le $((${size%x*} * ${size#*x} / 1000)) ]; then
    pass "$what: $off pixels off the ${size} render of '$steps'"
  else
    fail "$what: the picture differs from the ${size} render of '$steps' in $off pixels"
  fi
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

# Up then up and left held, until the picture is still again: left in $work/$1.xwd.
drive() {
  timeout 5 xdotool keydown Up
  sleep 0.5
  hold_key Left 0.3
  timeout 5 xdotool keyup Up
  await_steady "$work/$1.xwd" || fail "the picture keeps changing after the keys are let go"
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

case "$mode" in
  xvfb)
    need_tools Xvfb
    start_xvfb "$work"
    before=$(current_mode)
    counting=false
    if [ -n "${FRAME_COUNTER:-}" ] && [ -f "$FRAME_COUNTER" ]; then
      counting=true
      frames_log="$work/frames.log"
    fi
    start_program
    frames_log=""
    check_driving "$work" "$program"
    check_focus_loss_releases_keys "$work" "$(cat "$work/window")"
    await_steady "$work/8-end.xwd" || fail "the picture is not still at the end"
    check_escape "$program"
    check_render "$work/8-end.xwd" 1024x768+0+0 "$(steps_taken)" \
      "after the drive the picture is the render of the steps taken"
    check_mode_unchanged "$before"
    check_escape_taps 3
    if $counting; then
      # The cap begins every frame one refresh interval (1/60 s here) after the one before.
      peak=$(peak_rate "$work/frames.log")
      if [ "$peak" -gt 0 ] && [ "$peak" -le 62 ]; then
        pass "with no vertical sync the frames are capped at the display's 60 a second: at most $peak a second over any 3 s"
      else
        fail "with no vertical sync the frames came at up to $peak a second, not at most 60"
      fi
      frames_log="$work/frames-classic.log"
      start_program --classic
      frames_log=""
      await_window "$program" >/dev/null || die "no window for --classic"
      sleep 4
      check_escape "$program"
      note "--classic, uncapped, drew up to $(peak_rate "$work/frames-classic.log") frames a second here"
    else
      note "FRAME_COUNTER names no preload library: the frame rate was not counted"
    fi
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
    drive 2-drive
    check_changed "$work/1-start.xwd" "$work/2-drive.xwd" "up and left move and turn the view"
    timeout 5 xdotool key F11
    check_geometry "$window" 1920x810+320+135 "F11 takes the program out of full screen"
    timeout 5 xdotool key F11
    check_geometry "$window" 2560x1080+0+0 "F11 again fills the screen"
    check_escape "$program"
    check_render "$work/2-drive.xwd" 2560x1080+0+0 "$(steps_taken)" \
      "after the drive it is the render of the steps taken"
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
    sleep 0.5
    check_geometry "$window" 1024x768+0+0 "F11 does nothing with --classic"
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

    timeout 5 xdotool key F11
    check_geometry "$window" 1600x900+0+0 "F11 switches to full screen"
    await_steady "$work/3-full.xwd" || fail "the picture is not still in full screen"
    check_render "$work/3-full.xwd" 1600x900+0+0 none*2 "in full screen the picture fills the screen"
    timeout 5 xdotool key F11
    check_geometry "$window" 900x700+200+112 "F11 again gives the window back as it was"
    timeout 5 xdotool key alt+Return
    check_geometry "$window" 1600x900+0+0 "Alt+Enter switches to full screen"
    timeout 5 xdotool key alt+Return
    check_geometry "$window" 900x700+200+112 "Alt+Enter again gives the window back"
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
    # unseen. The program stops at once with the Windows program's first start-up text and WinMain's 0.
    (cd "$runtime" && exec env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./vortalux) \
      >"$work/program.out" 2>"$work/program.err"
    code=$?
    if [ "$code" = 0 ]; then
      pass "with no display the program ends with exit code 0, as WinMain does without a window"
    else
      fail "with no display the exit code is $code, not 0"
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
    (cd "$runtime" && exec env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./vortalux --fullscreen) \
      >"$work/unknown.out" 2>"$work/unknown.err"
    code=$?
    if [ "$code" = 2 ] && grep -q -- "unknown option '--fullscreen'" "$work/unknown.err" &&
      [ ! -s "$work/unknown.out" ]; then
      pass "an unknown option is named on standard error and ends the program with 2"
    else
      fail "an unknown option ended the program with $code: $(head -n1 "$work/unknown.err")"
    fi
    report_and_exit
    ;;

  *)
    echo "usage: $0 xvfb|wide|window|display-mode|no-display <runtime dir> <work dir>" >&2
    exit 2
    ;;
esac
