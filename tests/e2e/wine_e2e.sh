#!/usr/bin/env bash
# End to end for the Windows program: vortalux.exe, cross-built by the `windows` preset, run by
# Wine (from Debian) in a real X server and driven with real key events, as linux_e2e.sh drives
# the Linux program; the same checks, on the same screenshots.
#
#   wine_e2e.sh prefix <wine prefix>
#       Creates the tests' own Wine prefix once (~10 s, ~700 MB): no prompts (no Mono, no Gecko),
#       and windows unmanaged (Managed=N), without which every exit waits ~2 s for a window manager.
#   wine_e2e.sh exe <windows runtime dir> <version>
#       The files a user gets: vortalux.exe importing only system DLLs, its DPI-aware manifest,
#       icon and version resources embedded (and no icon call of its own), and gfx/ with the
#       four pictures beside it.
#   wine_e2e.sh xvfb <windows runtime dir> <work dir> <wine prefix>
#       Xvfb at 1024x768x24: the .exe starts, draws the demo, responds to up, left and right,
#       releases keys when it loses the focus, and Escape ends it with WinMain's exit code 1.
#   wine_e2e.sh display-mode <windows runtime dir> <work dir> <wine prefix>
#       Xorg with the dummy driver: ChangeDisplaySettingsA switches the screen from 1280x1024 to
#       1024x768, and ChangeDisplaySettingsA(NULL, 0) at WM_CLOSE gives 1280x1024 back; Wine's
#       WGL trace shows the vertical-sync request, wglSwapIntervalEXT(1).
#   wine_e2e.sh installer <installer .exe> <work dir> <wine prefix> <version>
#       The installer (cpack -G NSIS) run silently (/S) into a folder of the test's own (/D=):
#       the files, the Start-menu shortcut (its target and working folder), the uninstall entry
#       (name, version, publisher, icon, size); the installed program started from its folder
#       under Xvfb, driven and ended with a tap of Escape; then the silent uninstaller leaves
#       nothing. A second install, without /D=, lands in Program Files\Vortalux.
#
# What Wine cannot show of Windows, and so these tests do not claim:
# - Xvfb has one mode only; ChangeDisplaySettingsA(1024x768) succeeds there as a no-op. The real
#   switch and restore are checked on Xorg with the dummy driver (display-mode).
# - The DPI-awareness manifest changes nothing under Wine (X11 does not scale windows); the test
#   checks that it is embedded, not its effect on a scaled Windows desktop.
# - Vertical sync: the request is seen in Wine's trace; that frames then wait for the vertical
#   blank is not, since neither Xvfb nor the dummy driver has one.
# - The start-up message boxes are not reached: MessageBoxA would wait for a click forever.
# - Explorer, the taskbar and Apps & features are not there: the icon and version resources and
#   the uninstall entry are checked as data, not as shown.
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
    # The icon and version resources: data for Explorer and the taskbar, which the program's own
    # calls never read; its window class keeps hIcon NULL, so it imports nothing that loads or
    # sets an icon.
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
    icon_calls=$("$objdump" -p "$exe" | awk 'NF == 3 && $3 ~ /^(LoadIcon|LoadImage|CreateIcon|CopyIcon|SetClassLong|DrawIcon)/ { print $3 }')
    if [ -z "$icon_calls" ]; then
      pass "the program makes no icon call (LoadIcon, LoadImage, SetClassLong...): the class icon stays NULL"
    else
      fail "the program calls icon functions: $icon_calls"
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
    echo "usage: $0 prefix <prefix> | exe <dir> <version> | xvfb|display-mode <dir> <work dir> <prefix>" \
      "| installer <installer> <work dir> <prefix> <version>" >&2
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

# The shortcut's target and working folder, as "target<TAB>folder" (the shell-link format:
# a header, an optional item list, link info with the target's local path, then counted
# strings: name, relative path, working folder, ...).
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
for bit in (0x4, 0x8, 0x10):
    if flags & bit:
        count = struct.unpack_from("<H", data, at)[0]
        raw = data[at + 2:at + 2 + count * width]
        strings[bit] = raw.decode("utf-16-le" if width == 2 else "latin-1")
        at += 2 + count * width
print(target + "\t" + strings.get(0x10, "").rstrip("\0"))
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

if [ "$mode" = installer ]; then
  start_xvfb "$work"
  use_prefix "$4"
  # No desktop entries in this user's home for the shortcut the installer makes.
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
  shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vortalux.lnk"
  # What an earlier, failed run may have left in the shared prefix.
  timeout 30 "$WINE64" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vortalux' \
    /f >/dev/null 2>&1
  default_w='C:\Program Files\Vortalux'
  default="$WINEPREFIX/drive_c/Program Files/Vortalux"
  rm -rf "$shortcut" "$default"
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
    LICENSE Uninstall.exe; do
    [ -s "$target/$file" ] || missing+=" $file"
  done
  if [ -z "$missing" ]; then
    pass "the program, gfx/, README.md, LICENSE and the uninstaller are installed"
  else
    fail "missing from the install folder:$missing"
  fi

  if [ -f "$shortcut" ]; then
    IFS=$'\t' read -r link_target link_folder <<<"$(shortcut_fields "$shortcut")"
    if [ "$link_target" = "$target_w\vortalux.exe" ] && [ "$link_folder" = "$target_w" ]; then
      pass "the Start-menu shortcut starts vortalux.exe in the install folder"
    else
      fail "the shortcut starts '$link_target' in '$link_folder', not vortalux.exe in $target_w"
    fi
  else
    fail "no Start-menu shortcut at $shortcut"
  fi

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

  runtime=$target
  start_program
  check_driving "$work" "$program"
  check_escape "$program"

  uninstall_silently "$target_w"
  left=$(find "$target" 2>/dev/null | head -n5 | tr '\n' ' ')
  if [ ! -e "$target" ] && [ ! -e "$shortcut" ] && [ -z "$(uninstall_entry)" ]; then
    pass "the silent uninstaller (/S) removed every file, the shortcut and the uninstall entry"
  else
    fail "left after uninstalling: ${left:-no files}$([ -e "$shortcut" ] && echo ", the shortcut")$(
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
