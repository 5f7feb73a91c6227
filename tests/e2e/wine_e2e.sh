#!/usr/bin/env bash
# End to end for the Windows program: vortalux.exe, cross-built by the `windows` preset, run by
# Wine (from Debian) in a real X server and driven with real key events, as linux_e2e.sh drives
# the Linux program; the same checks, on the same screenshots.
#
#   wine_e2e.sh prefix <wine prefix>
#       Creates the tests' own Wine prefix once (~10 s, ~700 MB): no prompts (no Mono, no Gecko),
#       and windows unmanaged (Managed=N), without which every exit waits ~2 s for a window manager.
#   wine_e2e.sh exe <windows runtime dir>
#       The files a user gets: vortalux.exe importing only system DLLs, its DPI-aware manifest
#       embedded, and gfx/ with the four pictures beside it.
#   wine_e2e.sh xvfb <windows runtime dir> <work dir> <wine prefix>
#       Xvfb at 1024x768x24: the .exe starts, draws the demo, responds to up, left and right,
#       releases keys when it loses the focus, and Escape ends it with WinMain's exit code 1.
#   wine_e2e.sh display-mode <windows runtime dir> <work dir> <wine prefix>
#       Xorg with the dummy driver: ChangeDisplaySettingsA switches the screen from 1280x1024 to
#       1024x768, and ChangeDisplaySettingsA(NULL, 0) at WM_CLOSE gives 1280x1024 back; Wine's
#       WGL trace shows the vertical-sync request, wglSwapIntervalEXT(1).
#
# What Wine cannot show of Windows, and so these tests do not claim:
# - Xvfb has one mode only; ChangeDisplaySettingsA(1024x768) succeeds there as a no-op. The real
#   switch and restore are checked on Xorg with the dummy driver (display-mode).
# - The DPI-awareness manifest changes nothing under Wine (X11 does not scale windows); the test
#   checks that it is embedded, not its effect on a scaled Windows desktop.
# - Vertical sync: the request is seen in Wine's trace; that frames then wait for the vertical
#   blank is not, since neither Xvfb nor the dummy driver has one.
# - The start-up message boxes are not reached: MessageBoxA would wait for a click forever.
# Exits 0 when every check passes, 1 when one fails, 77 (skipped) when a tool is not installed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"

mode=${1:-}

find_wine() {
  WINE64=$(command -v /usr/lib/wine/wine64 wine64 2>/dev/null | head -n1 || true)
  WINESERVER=$(command -v /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver wineserver64 \
    wineserver 2>/dev/null | head -n1 || true)
  if [ -z "$WINE64" ] || [ -z "$WINESERVER" ]; then
    skip "wine64 is not installed (Debian: wine64)"
  fi
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# The .exe made by the e2e_windows_build setup test; without MinGW-w64 there is none to test.
need_exe() {
  if [ ! -f "$1/vortalux.exe" ]; then
    command -v x86_64-w64-mingw32-g++ >/dev/null ||
      skip "MinGW-w64 is not installed, so there is no vortalux.exe to test"
    die "no program at $1/vortalux.exe (the windows preset's build: e2e_windows_build)"
  fi
}

use_prefix() {
  export WINEPREFIX=$1
  [ -f "$WINEPREFIX/.vortalux-ready" ] || die "the Wine prefix $WINEPREFIX is not made (e2e_wine_prefix)"
  # Our prefix's wineserver, and only it, ends with the test.
  # shellcheck disable=SC2317  # called by cleanup
  stop_wineserver() { timeout 20 "$WINESERVER" -k 2>/dev/null || true; }
  cleanup_hooks+=(stop_wineserver)
}

case "$mode" in
  prefix)
    find_wine
    export WINEPREFIX=$2
    if [ -f "$WINEPREFIX/.vortalux-ready" ]; then
      pass "the Wine prefix exists: $WINEPREFIX"
      exit 0
    fi
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    unset DISPLAY WAYLAND_DISPLAY  # nothing to show while the prefix is made
    timeout 300 "$WINE64" wineboot -i >"$WINEPREFIX.log" 2>&1 || die "wineboot failed: $WINEPREFIX.log"
    timeout 60 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
      >>"$WINEPREFIX.log" 2>&1 || die "the registry setting failed: $WINEPREFIX.log"
    timeout 120 "$WINESERVER" -w || true  # the registry is written when the server ends
    touch "$WINEPREFIX/.vortalux-ready"
    pass "made the Wine prefix $WINEPREFIX"
    exit 0
    ;;

  exe)
    runtime=$2
    exe="$runtime/vortalux.exe"
    need_exe "$runtime"
    objdump=$(command -v x86_64-w64-mingw32-objdump || true)
    [ -n "$objdump" ] || skip "x86_64-w64-mingw32-objdump is not installed (binutils-mingw-w64)"
    dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort | tr '\n' ' ')
    extra=$(echo "$dlls" | tr ' ' '\n' |
      grep -v -E '^(GDI32|GLU32|KERNEL32|MSVCRT|OPENGL32|USER32)\.DLL$' | grep . || true)
    if [ -z "$extra" ]; then
      pass "vortalux.exe imports only system DLLs: $dlls"
    else
      fail "vortalux.exe needs DLLs a Windows system lacks: $extra"
    fi
    if grep -a -q '<dpiAware[^>]*>true' "$exe" && grep -a -q 'PerMonitorV2' "$exe"; then
      pass "the DPI-awareness manifest is embedded"
    else
      fail "vortalux.exe carries no DPI-awareness manifest"
    fi
    for picture in Track StartEnd Flare Sky; do
      if [ -s "$runtime/gfx/$picture.bmp" ]; then
        pass "gfx/$picture.bmp is beside the program"
      else
        fail "gfx/$picture.bmp is missing beside the program"
      fi
    done
    [ "$failures" -eq 0 ] || exit 1
    exit 0
    ;;

  xvfb | display-mode)
    need_exe "$2"
    runtime=$(cd "$2" && pwd)
    work=$3
    rm -rf "$work" && mkdir -p "$work"
    [ -d "$runtime/gfx" ] || die "no gfx/ beside the program in $runtime"
    find_wine
    need_tools xdotool xrandr xwd compare identify mogrify
    ;;

  *)
    echo "usage: $0 prefix <prefix> | exe <dir> | xvfb|display-mode <dir> <work dir> <prefix>" >&2
    exit 2
    ;;
esac

start_program() {
  # Started from its own folder, which holds gfx/, niced so that the screenshots get the cores.
  # Output goes to files: a pipe from wine64 stays open until the wineserver ends.
  (cd "$runtime" && exec nice -n 15 timeout 90 "$WINE64" ./vortalux.exe) \
    >"$work/program.out" 2>"$work/program.err" &
  program=$!
  cleanup_pids+=("$program")
}

if [ "$mode" = xvfb ]; then
  need_tools Xvfb
  start_xvfb "$work"
  use_prefix "$4"
  before=$(current_mode)
  start_program
  check_driving "$work" "$program"
  check_focus_loss_releases_keys "$work" "$(cat "$work/window")"
  check_escape "$program"
  check_mode_unchanged "$before"
  check_escape_taps 3
  note "Xvfb has a single mode: ChangeDisplaySettingsA is a no-op here (see display-mode)"
  report_and_exit
else
  start_xorg_dummy "$work" "$here/xorg-dummy.conf"
  use_prefix "$4"
  before=$(current_mode)
  [ "$before" = 1280x1024 ] || die "the dummy Xorg screen starts at '$before', not 1280x1024"
  pass "the screen starts at 1280x1024"
  # Wine's trace of its WGL calls (on standard error) shows the vertical-sync request.
  WINEDEBUG=-all,trace+wgl start_program
  await_window "$program" >/dev/null || die "no window named Vortalux appeared"
  check_mode_switched " (ChangeDisplaySettingsA)"
  check_escape_restores_mode "$program" " (ChangeDisplaySettingsA(NULL, 0))"
  if grep -q 'wglSwapIntervalEXT (1)' "$work/program.err"; then
    pass "vertical sync is requested: wglSwapIntervalEXT(1)"
  else
    fail "wglSwapIntervalEXT(1) was not called although WGL_EXT_swap_control is offered"
  fi
  mv "$work/program.err" "$work/wgl-trace.log"  # a trace, not errors: kept apart from the report
  report_and_exit
fi
