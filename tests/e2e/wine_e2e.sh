#!/usr/bin/env bash
# End to end for the Windows program: vortalux.exe, cross-built by the `windows` preset, run by
# Wine (from Debian) in real X servers and driven with real key events, as linux_e2e.sh drives
# the Linux program; the same checks, on the same screenshots. With no option the .exe is the SDL
# shell (full screen on the desktop, paced); with --classic it is the original Win32 program.
#
#   wine_e2e.sh prefix <wine prefix>
#       Creates the tests' own Wine prefix once (~10 s, ~700 MB): no prompts (no Mono, no Gecko),
#       and windows unmanaged (Managed=N), without which every exit waits ~2 s for a window manager.
#       Every other test reuses it, one at a time.
#   wine_e2e.sh exe <windows runtime dir> <version>
#       The files a user gets: vortalux.exe importing only Windows' own DLLs (SDL is linked in),
#       its DPI-aware manifest, icon and version resources embedded, and gfx/ with the four
#       pictures beside it.
#   wine_e2e.sh xvfb <windows runtime dir> <work dir> <wine prefix>
#       Xvfb at 1024x768x24. --classic: the original program starts, draws the demo, responds to
#       up, left and right, releases keys when it loses the focus, its window class has no icon
#       (checked at run time by a small Windows helper), and Escape ends it with 1 (three more
#       starts too). --help and an unknown option write to the redirected standard streams with
#       codes 0 and 2. With no option: up held for about 2 s takes 60 steps a second (counted in
#       the drive it writes with --record), give or take the steps one frame holds at the frame
#       time measured in that run (Wine's trace of its buffer swaps).
#   wine_e2e.sh wide <windows runtime dir> <work dir> <wine prefix>
#       Xvfb at 2560x1080 (FRAME_TOOL=<vortalux-frame> renders the references). With no option
#       the window fills the screen at 2560x1080 and, once still after a drive, the picture is
#       vortalux-frame's 2560x1080 render of the steps the program recorded (--record); F11 and
#       Alt+Enter give a window of 3/4 of the screen (its client area, drawn at its size, on the
#       screenshot: Wine draws the frame of an unmanaged window inside the X window) and take it
#       back to full screen; Escape ends it with 1. With LogPixels 192 (Windows' 200%) in the prefix it still covers 2560x1080 with
#       the 2560x1080 picture, one drawable pixel per screen pixel: Wine 8 does not scale windows
#       for DPI, so this catches SDL's own DPI handling (a drawable or projection at half size),
#       not Windows' scaling. --window opens the window of 3/4 of the screen likewise.
#   wine_e2e.sh display-mode <windows runtime dir> <work dir> <wine prefix>
#       Xorg with the dummy driver at a 1920x1080 desktop: with no option the mode is unchanged
#       while the program runs and after; --classic's ChangeDisplaySettingsA switches the screen
#       to 1024x768, and ChangeDisplaySettingsA(NULL, 0) at WM_CLOSE gives 1920x1080 back; Wine's
#       WGL trace shows its vertical-sync request, wglSwapIntervalEXT(1).
#   wine_e2e.sh installer <installer .exe> <work dir> <wine prefix> <version>
#       The installer (cpack -G NSIS), its SHA-256 sum beside it, run silently (/S) into a folder
#       of the test's own (/D=): the files, SDL's licence among them, the two Start-menu shortcuts
#       (targets, arguments and working folder), the uninstall entry (name, version, publisher,
#       icon, size); the installed program started from its folder under Xvfb, with no option and
#       with --classic, each driven and ended with a tap of Escape; then the silent uninstaller
#       leaves nothing. A second install, without /D=, lands in Program Files\Vortalux.
#
# What Wine cannot show of Windows, and so these tests do not claim:
# - Xvfb has one mode only; ChangeDisplaySettingsA(1024x768) succeeds there as a no-op. The real
#   switch and restore are checked on Xorg with the dummy driver (display-mode).
# - DPI: Wine 8 does not scale windows for DPI awareness, and it has one DPI for every screen:
#   the manifest is checked as embedded, and LogPixels 192 shows SDL's own handling only; a move
#   between monitors of different scales (WM_DPICHANGED) cannot be made here.
# - Vertical sync: the requests are seen, and the frame cap holds where swaps do not wait; that
#   frames wait for a real vertical blank is not, since neither Xvfb nor the dummy driver has one.
# - Full screen: with no window manager, F11, Alt+Enter and --window are seen as the X window's
#   place and size; how Windows' own window manager and taskbar treat them is not.
# - The message boxes (start-up failures; --help started from Explorer) are not reached:
#   MessageBoxA waits for a click forever. Wine hands its Unix standard streams to a GUI program,
#   so the redirected path is the one seen; attaching to a parent's console is not.
# - Gamepads: there is no pad to plug in (no /dev/uinput); SDL's controller code runs, untested.
# - Explorer, the taskbar and Apps & features are not there: the icon and version resources, the
#   shortcuts and the uninstall entry are checked as data, not as shown.
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
    version=$3
    exe="$runtime/vortalux.exe"
    need_exe "$runtime"
    objdump=$(command -v x86_64-w64-mingw32-objdump || true)
    [ -n "$objdump" ] || skip "x86_64-w64-mingw32-objdump is not installed (binutils-mingw-w64)"
    dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr '[:lower:]' '[:upper:]' | sort | tr '\n' ' ')
    # The program's own (GDI32, GLU32, KERNEL32, MSVCRT, OPENGL32, USER32, WINMM) and SDL's, all
    # part of Windows.
    extra=$(echo "$dlls" | tr ' ' '\n' | grep -v -E \
      '^(ADVAPI32|DINPUT8|GDI32|GLU32|IMM32|KERNEL32|MSVCRT|OLE32|OLEAUT32|OPENGL32|SETUPAPI|SHELL32|USER32|VERSION|WINMM)\.DLL$' |
      grep . || true)
    if [ -z "$extra" ]; then
      pass "vortalux.exe imports only Windows' own DLLs: $dlls"
    else
      fail "vortalux.exe needs DLLs a Windows system lacks: $extra"
    fi
    if grep -a -q '<dpiAware[^>]*>true' "$exe" && grep -a -q 'PerMonitorV2' "$exe"; then
      pass "the DPI-awareness manifest is embedded"
    else
      fail "vortalux.exe carries no DPI-awareness manifest"
    fi
    # The icon and version resources: data for Explorer and the taskbar. The original program's
    # window class keeps hIcon NULL; the xvfb test checks that while it runs.
    # objdump lists the resource tree by indentation: types, then their ids, then languages.
    resources=$("$objdump" -p "$exe" | sed -n '/Resource Directory section/,$p' |
      sed -n 's/^[0-9a-f]*\( *\)Entry: ID: \(0x[0-9a-f]*\).*/\1\2/p' |
      awk '{ depth = index($0, "0x") - 1; id = substr($0, depth + 1) }
        depth == 3 { type = id } depth == 5 { print type, id }')
    icons=$(grep -c '^0x000003 ' <<<"$resources")
    first_group=$(sed -n 's/^0x00000e //p' <<<"$resources" | head -n1)
    if [ "$icons" -ge 6 ] && [ "$first_group" = 0x000001 ]; then
      pass "the icon is the first icon group (id 1), with $icons sizes"
    else
      fail "no icon group with id 1 and 6 sizes: $icons icons, first group ${first_group:-none}"
    fi
    texts=$(strings -el "$exe" | tr '\n' '|')
    version_ok=true
    for pair in "ProductName|Vortalux" "FileVersion|$version.0" "ProductVersion|$version" \
      "FileDescription|Vortalux, a full-screen 3D driving demo" "LegalCopyright|Copyright (c) "; do
      [[ "$texts" == *"|$pair"* ]] || { version_ok=false; fail "the version resource lacks $pair"; }
    done
    $version_ok && pass "the version resource names the product, version $version, description and copyright"
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

  installer)
    installer=$2
    work=$3
    version=$5
    if [ ! -f "$installer" ]; then
      command -v makensis >/dev/null || skip "makensis is not installed (Debian: nsis), so there is no installer"
      die "no installer at $installer (e2e_windows_installer_build)"
    fi
    rm -rf "$work" && mkdir -p "$work"
    find_wine
    need_tools xdotool xrandr xwd compare identify mogrify python3
    ;;

  xvfb | wide | display-mode)
    need_exe "$2"
    runtime=$(cd "$2" && pwd)
    work=$3
    rm -rf "$work" && mkdir -p "$work"
    [ -d "$runtime/gfx" ] || die "no gfx/ beside the program in $runtime"
    find_wine
    need_tools xdotool xrandr xwd compare identify mogrify
    ;;

  *)
    echo "usage: $0 prefix <prefix> | exe <dir> <version> | xvfb|wide|display-mode <dir> <work dir> <prefix>" \
      "| installer <installer> <work dir> <prefix> <version>" >&2
    exit 2
    ;;
esac

program_args=()  # given to every start, before the start's own arguments
program_nice=15
start_program() {
  # Started from its own folder, which holds gfx/, niced so that the screenshots get the cores.
  # Output goes to files: a pipe from wine64 stays open until the wineserver ends.
  (cd "$runtime" && exec nice -n "$program_nice" timeout 90 "$WINE64" ./vortalux.exe \
    "${program_args[@]}" "$@") >"$work/program.out" 2>"$work/program.err" &
  program=$!
  cleanup_pids+=("$program")
}

# A Windows path of a Unix one, through Wine's Z: drive.
windows_path() {
  echo "Z:${1//\//\\}"
}

# The uninstall entry's values, one "name<TAB>value" a line (empty when there is none).
uninstall_entry() {
  timeout 30 "$WINE64" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vortalux' \
    2>/dev/null | tr -d '\r' | sed -n 's/^    \([^ ]*\)    REG_[A-Z_]*    \(.*\)$/\1\t\2/p'
}

entry_value() {
  sed -n "s/^$1\t//p" "$work/entry.txt"
}

# The shortcut's target, working folder and arguments, as "target<TAB>folder<TAB>arguments" (the
# shell-link format: a header, an optional item list, link info with the target's local path,
# then counted strings: name, relative path, working folder, arguments, ...).
shortcut_fields() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
at = 0x4C
if flags & 0x1:
    at += 2 + struct.unpack_from("<H", data, at)[0]
target = ""
if flags & 0x2:
    base = struct.unpack_from("<I", data, at + 16)[0]
    target = data[at + base:data.index(b"\0", at + base)].decode("latin-1")
    at += struct.unpack_from("<I", data, at)[0]
width = 2 if flags & 0x80 else 1
strings = {}
for bit in (0x4, 0x8, 0x10, 0x20):
    if flags & bit:
        count = struct.unpack_from("<H", data, at)[0]
        raw = data[at + 2:at + 2 + count * width]
        strings[bit] = raw.decode("utf-16-le" if width == 2 else "latin-1")
        at += 2 + count * width
print("\t".join([target, strings.get(0x10, "").rstrip("\0"), strings.get(0x20, "").rstrip("\0")]))
PY
}

# Installs silently into $1 (a Windows path; none: the default folder).
install_silently() {
  local folder=("/D=$1")
  [ -n "$1" ] || folder=()
  timeout 120 "$WINE64" "$installer" /S "${folder[@]}" >>"$work/installer.log" 2>&1
}

# The uninstaller copies itself away and returns at once; the wineserver ends once it is done.
uninstall_silently() {
  timeout 60 "$WINE64" "$1\Uninstall.exe" /S >>"$work/installer.log" 2>&1
  timeout 60 "$WINESERVER" -w
}


# The drive the program wrote with --record ($1): its steps, and how many of them held up.
recorded_steps() {
  tr -d '\r\n' <"$1"
}
up_steps() {
  tr ' ' '\n' <"$1" | awk -F'*' '$1 ~ /(^|\+)up(\+|$)/ { n += ($2 == "" ? 1 : $2) } END { print n + 0 }'
}

# The original program's window class, read at run time by a small Windows helper built here.
check_classic_class_has_no_icon() {
  local gcc
  gcc=$(command -v x86_64-w64-mingw32-gcc || true)
  [ -n "$gcc" ] || { note "no x86_64-w64-mingw32-gcc: the window class was not read"; return; }
  "$gcc" -O1 -D__USE_MINGW_ANSI_STDIO=1 -o "$work/window_class.exe" "$here/wine_window_class.c" ||
    { fail "the window-class helper did not build"; return; }
  timeout 30 "$WINE64" "$work/window_class.exe" >"$work/window_class.txt" 2>/dev/null
  local class icons
  class=$(sed -n 's/^class //p' "$work/window_class.txt" | tr -d '\r')
  icons=$(sed -n 's/^\(class-icon\|class-small-icon\|window-icon\) //p' "$work/window_class.txt" |
    tr -d '\r' | sort -u | tr '\n' ' ')
  if [ "$class" = "OpenGL WinClass" ] && [ "$icons" = "0 " ]; then
    pass "--classic runs the original window class \"OpenGL WinClass\", with no icon (class and window)"
  else
    fail "the --classic window's class is '$class', its icons '$icons' (want OpenGL WinClass, all 0)"
  fi
}

# Wine's desktop DPI (LogPixels, 96 by default; 192 is Windows' 200%), for programs started next.
set_dpi() {
  timeout 30 "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1
}

# Wine's trace timestamps (+timestamp) count seconds since the machine started, as /proc/uptime.
uptime_now() {
  cut -d' ' -f1 /proc/uptime
}

# From Wine's timestamped WGL trace $1, the frames (buffer swaps) between $2 s and $3 s: how many,
# the longest time between two in milliseconds, and the steps a 60-a-second pace takes over them
# as the pacer takes them, at most four a frame (the time beyond is dropped after a stall):
# "<swaps> <ms> <steps>".
paced_steps() {
  awk -v from="$2" -v to="$3" '/wglSwapBuffers/ {
      t = $1 + 0
      if (t < from) { last = t; next }
      if (t > to) exit
      if (last == "") last = from
      d = t - last; if (d > m) m = d; last = t; n++
      time += d * 60
      due = int(time) - taken; if (due > 4) { due = 4; time = taken + 4 }
      taken += due
    } END { printf "%d %.0f %d\n", n, m * 1000, taken }' "$1"
}

if [ "$mode" = installer ]; then
  start_xvfb "$work"
  use_prefix "$4"
  # No desktop entries in this user's home for the shortcuts the installer makes.
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
  menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
  shortcut="$menu/Vortalux.lnk"
  classic_shortcut="$menu/Vortalux (original 1024x768).lnk"
  # What an earlier, failed run may have left in the shared prefix.
  timeout 30 "$WINE64" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vortalux' \
    /f >/dev/null 2>&1
  default_w='C:\Program Files\Vortalux'
  default="$WINEPREFIX/drive_c/Program Files/Vortalux"
  rm -rf "$shortcut" "$classic_shortcut" "$default"

  if [ -f "$installer.sha256" ] &&
    (cd "$(dirname "$installer")" && sha256sum --quiet -c "$(basename "$installer").sha256"); then
    pass "the installer's SHA-256 sum is beside it and matches"
  else
    fail "no matching SHA-256 sum at $installer.sha256"
  fi

  # NSIS reads /D= from the raw command line, unquoted; Wine quotes an argument with a space.
  target="$work/installed/Vortalux"
  target_w=$(windows_path "$target")
  if install_silently "$target_w"; then
    pass "the installer ran silently (/S) into $target_w (/D=)"
  else
    die "the silent install failed (see $work/installer.log)"
  fi
  missing=""
  for file in vortalux.exe gfx/Track.bmp gfx/StartEnd.bmp gfx/Flare.bmp gfx/Sky.bmp README.md \
    LICENSE licenses/SDL2.txt "Vortalux (original 1024x768).cmd" Uninstall.exe; do
    [ -s "$target/$file" ] || missing+=" $file"
  done
  if [ -z "$missing" ]; then
    pass "the program, gfx/, README.md, LICENSE, SDL's licence, the .cmd and the uninstaller are installed"
  else
    fail "missing from the install folder:$missing"
  fi
  # SDL's zlib licence, then the notices of the code it takes from elsewhere (its maths functions
  # keep Sun's, for one).
  if grep -q "^This software is provided 'as-is'" "$target/licenses/SDL2.txt" 2>/dev/null &&
    grep -q '^Files: src/libm/' "$target/licenses/SDL2.txt"; then
    pass "licenses/SDL2.txt holds SDL's licence and the copyright of its files"
  else
    fail "licenses/SDL2.txt lacks SDL's licence or its files' notices"
  fi

  for pair in "$shortcut|" "$classic_shortcut|--classic"; do
    link=${pair%|*}
    arguments=${pair##*|}
    if [ -f "$link" ]; then
      IFS=$'\t' read -r link_target link_folder link_arguments <<<"$(shortcut_fields "$link")"
      if [ "$link_target" = "$target_w\vortalux.exe" ] && [ "$link_folder" = "$target_w" ] &&
        [ "$link_arguments" = "$arguments" ]; then
        pass "the shortcut \"$(basename "$link" .lnk)\" starts vortalux.exe ${arguments:-with no option} in the install folder"
      else
        fail "\"$(basename "$link")\" starts '$link_target' '$link_arguments' in '$link_folder'"
      fi
    else
      fail "no Start-menu shortcut at $link"
    fi
  done

  uninstall_entry >"$work/entry.txt"
  size=$(entry_value EstimatedSize)
  kib=$(du -sk --apparent-size "$target" | cut -f1)
  if [ "$(entry_value DisplayName)" = Vortalux ] && [ "$(entry_value DisplayVersion)" = "$version" ] &&
    [ "$(entry_value Publisher)" = "Vortalux developers" ] &&
    [ "$(entry_value DisplayIcon)" = "$target_w\vortalux.exe,0" ] &&
    [ "$(entry_value UninstallString)" = "\"$target_w\Uninstall.exe\"" ]; then
    pass "the uninstall entry names Vortalux $version by Vortalux developers, its icon and uninstaller"
  else
    fail "the uninstall entry is wrong: $(tr '\n' ';' <"$work/entry.txt")"
  fi
  if [[ "$size" == 0x* ]] && [ $((size)) -ge $((kib * 9 / 10)) ] && [ $((size)) -le $((kib + 8)) ]; then
    pass "the uninstall entry gives the size: $((size)) KiB ($kib KiB on disk)"
  else
    fail "the uninstall entry's size is '$size', the folder holds $kib KiB"
  fi

  # Both programs as the shortcuts start them, on the 1024x768 screen.
  runtime=$target
  echo "# the installed program, with no option"
  mkdir -p "$work/default" "$work/classic"
  start_program
  check_driving "$work/default" "$program"
  check_escape "$program"
  echo "# the installed program, --classic"
  start_program --classic
  check_driving "$work/classic" "$program"
  check_escape "$program"

  uninstall_silently "$target_w"
  left=$(find "$target" 2>/dev/null | head -n5 | tr '\n' ' ')
  if [ ! -e "$target" ] && [ ! -e "$shortcut" ] && [ ! -e "$classic_shortcut" ] &&
    [ -z "$(uninstall_entry)" ]; then
    pass "the silent uninstaller (/S) removed every file, both shortcuts and the uninstall entry"
  else
    fail "left after uninstalling: ${left:-no files}$([ -e "$shortcut" ] && echo ", the shortcut")$(
      [ -e "$classic_shortcut" ] && echo ", the --classic shortcut")$(
      [ -n "$(uninstall_entry)" ] && echo ", the uninstall entry")"
  fi

  install_silently ""
  if [ -s "$default/vortalux.exe" ] && uninstall_entry | grep -qxF "InstallLocation	$default_w"; then
    pass "without /D= it installs into $default_w"
  else
    fail "without /D= the program is not in $default_w"
  fi
  uninstall_silently "$default_w"
  [ ! -e "$default" ] || fail "the uninstaller left $default"
  report_and_exit

elif [ "$mode" = xvfb ]; then
  need_tools Xvfb
  start_xvfb "$work"
  use_prefix "$4"
  before=$(current_mode)
  echo "# --classic: the original program"
  program_args=(--classic)
  start_program
  check_driving "$work" "$program"
  check_classic_class_has_no_icon
  check_focus_loss_releases_keys "$work" "$(cat "$work/window")"
  check_escape "$program"
  check_mode_unchanged "$before"
  check_escape_taps 3
  program_args=()
  note "Xvfb has a single mode: ChangeDisplaySettingsA is a no-op here (see display-mode)"

  echo "# the command line"
  (cd "$runtime" && exec timeout 60 "$WINE64" ./vortalux.exe --help) >"$work/help.out" 2>"$work/help.err"
  code=$?
  if [ "$code" = 0 ] && grep -q -- '--classic' "$work/help.out" && grep -q -- '--record' "$work/help.out"; then
    pass "--help writes the options to the redirected standard output and ends with 0"
  else
    fail "--help ended with $code, or its text lacks --classic or --record"
  fi
  for arguments in --fullscreen "--classic --record x.txt"; do
    # shellcheck disable=SC2086  # the arguments are split on purpose
    (cd "$runtime" && exec timeout 60 "$WINE64" ./vortalux.exe $arguments) >"$work/refused.out" \
      2>"$work/refused.err"
    code=$?
    if [ "$code" = 2 ] && grep -q '^vortalux: ' "$work/refused.err" && [ ! -s "$work/refused.out" ]; then
      pass "'$arguments' is refused on standard error with 2: $(head -n1 "$work/refused.err" | tr -d '\r')"
    else
      fail "'$arguments' ended with $code: $(head -n1 "$work/refused.err")"
    fi
  done

  echo "# with no option: the pace"
  record="$work/pace-drive.txt"
  # Not niced: nothing else runs while up is held, and the frames should be as fast as they can.
  program_nice=0
  WINEDEBUG=-all,+timestamp,trace+wgl start_program --record "$(windows_path "$record")"
  program_nice=15
  window=$(await_window "$program") || die "no window named Vortalux appeared (no option)"
  timeout 5 xdotool mousemove 512 384
  await_lit "$work/9-paced.xwd" || fail "the screen stays black (no option)"
  await_steady "$work/9-paced.xwd" || fail "the picture does not hold still with no key held (no option)"
  # The key is held from some time while the keydown command runs to some time while the keyup
  # one runs: at least from the end of one to the start of the other, at most from the start of
  # one to the end of the other.
  from=$(uptime_now)
  timeout 5 xdotool keydown Up
  pressed=$(uptime_now)
  sleep 2
  releasing=$(uptime_now)
  timeout 5 xdotool keyup Up
  to=$(uptime_now)
  await_steady "$work/10-paced-after.xwd" || fail "the picture keeps changing after up is let go"
  check_escape "$program"
  read -r swaps frame_ms at_least <<<"$(paced_steps "$work/program.err" "$pressed" "$releasing")"
  read -r _ _ at_most <<<"$(paced_steps "$work/program.err" "$from" "$to")"
  mv "$work/program.err" "$work/wgl-trace-paced.log"  # a trace, not errors
  steps=$(up_steps "$record")
  # Each end of the hold is seen at the start of the next frame: the steps one frame holds (four
  # at the most) either way, and one for the rounding.
  slack=$(awk -v f="${frame_ms:-0}" 'BEGIN { s = f * 60 / 1000; s = (s == int(s) ? s : int(s) + 1)
    printf "%d\n", (s > 4 ? 4 : s) + 1 }')
  low=$((${at_least:-0} - slack))
  high=$((${at_most:-0} + slack))
  if [ "${swaps:-0}" -lt 2 ]; then
    fail "no buffer swaps were seen in Wine's trace while up was held"
  elif [ "$steps" -ge "$low" ] && [ "$steps" -le "$high" ]; then
    pass "up held for about 2 s took $steps steps: 60 a second, $low to $high over the hold's $swaps frames (up to $frame_ms ms apart), give or take one frame"
  else
    fail "up held for about 2 s took $steps steps, not $low to $high at 60 a second over its $swaps frames (up to $frame_ms ms apart)"
  fi
  report_and_exit

elif [ "$mode" = wide ]; then
  need_tools Xvfb
  [ -x "${FRAME_TOOL:-}" ] || die "FRAME_TOOL names no vortalux-frame to render the references"
  start_xvfb "$work" 2560x1080
  use_prefix "$4"
  # The prefix is shared: its DPI goes back to 96 whatever happens here.
  restore_dpi() { set_dpi 96; }
  cleanup_hooks=(restore_dpi "${cleanup_hooks[@]}")
  before=$(current_mode)
  record="$work/drive.txt"
  start_program --record "$(windows_path "$record")"
  window=$(await_window "$program") || die "no window named Vortalux appeared"
  check_geometry "$window" 2560x1080+0+0 "with no option it fills the 2560x1080 screen"
  timeout 5 xdotool mousemove 1280 540
  await_lit "$work/1-start.xwd" 20 2560x1080+0+0 || fail "the screen stays black"
  await_steady "$work/1-start.xwd" || fail "the picture does not hold still with no key held"
  drive_up_left "$work/2-drive.xwd"
  check_changed "$work/1-start.xwd" "$work/2-drive.xwd" "up and left move and turn the view"
  # Out of full screen the window is 3/4 of the screen, centred. With no window manager Wine draws
  # the window's frame itself, inside the X window, so the X window is larger than that: the
  # client area is checked on the screenshot, where the picture must be projected for its size.
  timeout 5 xdotool key F11
  await_steady "$work/3-f11.xwd" || fail "the picture is not still after F11"
  timeout 5 xdotool key F11
  check_geometry "$window" 2560x1080+0+0 "F11 again fills the screen"
  timeout 5 xdotool key alt+Return
  await_steady "$work/4-alt-enter.xwd" || fail "the picture is not still after Alt+Enter"
  timeout 5 xdotool key alt+Return
  check_geometry "$window" 2560x1080+0+0 "Alt+Enter again fills the screen"
  check_escape "$program"
  if [ -s "$record" ]; then
    steps=$(recorded_steps "$record")
    check_render "$work/2-drive.xwd" 2560x1080+0+0 "$steps" \
      "once still, the picture is the render of the steps it recorded"
    check_render "$work/3-f11.xwd" 1920x810+320+135 "$steps" \
      "F11 takes it out of full screen: a window of 3/4 of the screen, centred, drawn at its size"
    check_render "$work/4-alt-enter.xwd" 1920x810+320+135 "$steps" \
      "Alt+Enter takes it out of full screen likewise"
  else
    fail "the program wrote no drive to $record"
  fi
  check_mode_unchanged "$before"

  echo "# LogPixels 192"
  set_dpi 192
  start_program
  window=$(await_window "$program") || die "no window named Vortalux appeared at 192 DPI"
  check_geometry "$window" 2560x1080+0+0 "at 192 DPI it still fills the screen"
  timeout 5 xdotool mousemove 1280 540
  await_lit "$work/3-dpi192.xwd" 20 2560x1080+0+0 || fail "the screen stays black at 192 DPI"
  await_steady "$work/3-dpi192.xwd" || fail "the picture does not hold still at 192 DPI"
  check_render "$work/3-dpi192.xwd" 2560x1080+0+0 none*2 \
    "at 192 DPI the picture is drawn at one pixel per screen pixel"
  check_escape "$program"
  set_dpi 96

  echo "# --window"
  start_program --window
  await_window "$program" >/dev/null || die "no window named Vortalux appeared (--window)"
  timeout 5 xdotool mousemove 1280 540
  await_lit "$work/5-window.xwd" 20 1920x810+320+135 || fail "the window stays black (--window)"
  await_steady "$work/5-window.xwd" || fail "the picture does not hold still (--window)"
  check_render "$work/5-window.xwd" 1920x810+320+135 none*2 \
    "--window opens a window of 3/4 of the screen, centred, drawn at its size"
  check_escape "$program"
  report_and_exit

else
  start_xorg_dummy "$work" "$here/xorg-dummy-1920x1080.conf"
  use_prefix "$4"
  before=$(current_mode)
  [ "$before" = 1920x1080 ] || die "the dummy Xorg screen starts at '$before', not 1920x1080"
  pass "the screen starts at 1920x1080"
  start_program
  await_window "$program" >/dev/null || die "no window named Vortalux appeared"
  timeout 5 xdotool mousemove 960 540
  await_lit "$work/1-desktop.xwd" 20 1920x1080+0+0 || fail "the screen stays black (no option)"
  check_mode_unchanged "$before"
  check_escape "$program"
  check_mode_unchanged "$before"

  # Wine's trace of its WGL calls (on standard error) shows the vertical-sync request.
  WINEDEBUG=-all,trace+wgl start_program --classic
  await_window "$program" >/dev/null || die "no window named Vortalux appeared (--classic)"
  check_mode_switched " (--classic: ChangeDisplaySettingsA)"
  check_escape_restores_mode "$program" " (ChangeDisplaySettingsA(NULL, 0))" 1920x1080
  if grep -q 'wglSwapIntervalEXT (1)' "$work/program.err"; then
    pass "vertical sync is requested: wglSwapIntervalEXT(1)"
  else
    fail "wglSwapIntervalEXT(1) was not called although WGL_EXT_swap_control is offered"
  fi
  mv "$work/program.err" "$work/wgl-trace.log"  # a trace, not errors: kept apart from the report
  report_and_exit
fi
