#!/usr/bin/env bash
# End to end, as a person would use it: the real Linux program in a real X server, driven with
# real key events (xdotool, through XTEST) and checked on screenshots.
#
#   linux_e2e.sh xvfb <runtime dir> <work dir>
#       Xvfb at 1024x768x24: the first frame shows the track from the start, holding up moves the
#       view, left and right turn it, nothing held keeps it still, losing the focus releases a
#       held key, and a tap of Escape ends the program with exit code 1 (three more starts too), the screen's mode as it was.
#   linux_e2e.sh no-display <runtime dir> <work dir>
#       No display at all: the start-up failure is reported in the Windows program's words on standard
#       error and the program ends at once with WinMain's 0.
#   linux_e2e.sh display-mode <runtime dir> <work dir>
#       Xorg with the dummy video driver, whose screen starts at 1280x1024 and offers a real mode
#       list (Xvfb offers one mode only): the screen is at 1024x768 while the program runs and
#       back at 1280x1024 after Escape.
#
# <runtime dir> holds vortalux and gfx/; screenshots and logs go to <work dir>. Optional:
# START_REFERENCE=<png>, the offscreen render of the first frame, compared with the screenshot.
# Exits 0 when every check passes, 1 when one fails, 77 (skipped) when a tool is not installed.
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
[ "$mode" = no-display ] || need_tools xdotool xrandr xwd compare identify mogrify
unset SDL_VIDEODRIVER  # the real X11 window, never SDL's offscreen driver

start_program() {
  # Started from its own folder, which holds gfx/; ended by the test or, at worst, by timeout.
  # Niced, so that the screenshots and comparisons get the cores the demo otherwise keeps busy.
  (cd "$runtime" && exec nice -n 15 timeout 90 ./vortalux) >"$work/program.out" 2>"$work/program.err" &
  program=$!
  cleanup_pids+=("$program")
}

case "$mode" in
  xvfb)
    need_tools Xvfb
    start_xvfb "$work"
    before=$(current_mode)
    start_program
    check_driving "$work" "$program"
    check_focus_loss_releases_keys "$work" "$(cat "$work/window")"
    check_escape "$program"
    check_mode_unchanged "$before"
    check_escape_taps 3
    note "Xvfb has a single mode; the switch to 1024x768 and back is the display-mode test's"
    report_and_exit
    ;;

  display-mode)
    start_xorg_dummy "$work" "$here/xorg-dummy.conf"
    before=$(current_mode)
    [ "$before" = 1280x1024 ] || die "the dummy Xorg screen starts at '$before', not 1280x1024"
    pass "the screen starts at 1280x1024"
    start_program
    await_window "$program" >/dev/null || die "no window named Vortalux appeared"
    check_mode_switched ""
    if await_lit "$work/running.xwd"; then
      pass "the demo draws on the switched screen"
    else
      fail "the screen stays black"
    fi
    check_escape_restores_mode "$program" ""
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
    report_and_exit
    ;;

  *)
    echo "usage: $0 xvfb|display-mode|no-display <runtime dir> <work dir>" >&2
    exit 2
    ;;
esac
