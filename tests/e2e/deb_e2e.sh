#!/usr/bin/env bash
# The Linux packages, checked as a user and a distribution would take them.
#
#   deb_e2e.sh build <source dir>
#       Setup: makes both packages in build/linux-package as a user would with
#       `cmake --workflow --preset linux-package`, incrementally and with warnings as errors.
#   deb_e2e.sh contents <package dir> <work dir>
#       lintian --pedantic reports neither an error nor a warning on the .deb; both desktop
#       entries pass desktop-file-validate; the .deb and the .tar.gz hold the program, its
#       pictures, the launcher, README.md and the pictures it shows (docs/images/), the desktop
#       entry and the hicolor icons at every size; the .deb also its AppStream metadata, manual
#       page, copyright and changelog, every file owned by root.
#   deb_e2e.sh appstream <package dir> <work dir>
#       appstreamcli validate-tree --no-net on the .deb's files: the metadata, and the desktop
#       entry its launchable names, with no error, warning or pedantic note.
#   deb_e2e.sh archive <package dir> <work dir>
#       The .tar.gz unpacked, its desktop entry and icons put in a home of the test's own by
#       README.md's own command: the entry starts the unpacked launcher, from /, which finds the
#       pictures (no "cannot load" message, the first frame the render of the start), and the
#       program drives under Xvfb as the program of the build tree does; Escape ends it with 1.
#   deb_e2e.sh install <package dir> <work dir>
#       Installs the .deb (dpkg -i, then apt-get install -f for missing dependencies), starts
#       /usr/games/vortalux from / under Xvfb and drives it likewise, then purges the package and
#       finds none of its files left. Installs software, so it runs only as root with
#       VORTALUX_TEST_INSTALL=1 and is skipped otherwise.
#
# The drives compare the first frame with START_REFERENCE=<png> when given, and with
# FRAME_COUNTER=<.so> (tests/soak/frame_counter.cpp) preloaded into the program their waits count
# its frames (e2e_lib.sh). Exits 0 when every check passes, 1 when one fails, 77 (skipped) when a
# tool is not installed or installing is not allowed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/e2e_lib.sh
source "$here/e2e_lib.sh"

mode=${1:-}

if [ "$mode" = build ]; then
  set -e
  need_tools dpkg-shlibdeps file  # without them CPack writes a .deb that names no libraries
  cd "$2"
  timeout 600 cmake --preset linux-package -DVORTALUX_WERROR=ON >/dev/null
  timeout 900 cmake --build --preset linux-package --parallel "$(nproc 2>/dev/null || echo 2)"
  timeout 300 cpack --preset linux-package
  exit 0
fi

[ $# -eq 3 ] || { echo "usage: $0 build <source dir> | contents|appstream|archive|install <package dir> <work dir>" >&2; exit 2; }
packages=$(cd "$2" && pwd)
work=$3
rm -rf "$work" && mkdir -p "$work"
# The newest of each, should older versions lie beside them.
deb=$(ls -t "$packages"/vortalux_*.deb 2>/dev/null | head -n1)
tgz=$(ls -t "$packages"/Vortalux-*-linux-*.tar.gz 2>/dev/null | head -n1)
if [ -z "$deb" ] || [ -z "$tgz" ]; then die "no .deb and .tar.gz in $packages (see e2e_linux_package_build)"; fi

# Passes when the listing ($1, one path a line) holds every path that follows.
check_holds() {
  local listing=$1 what=$2 path missing=()
  shift 2
  for path in "$@"; do
    grep -qxF "$path" "$listing" || missing+=("$path")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    pass "$what holds all $# expected files"
  else
    fail "$what lacks ${missing[*]}"
  fi
}

# Starts the launcher $1 from / under a fresh Xvfb and checks the drive and Escape, after its
# options reach the program.
drive_from_root() {
  need_tools Xvfb xdotool xrandr xwd compare identify mogrify
  if (cd / && timeout 20 "$1" --help) 2>&1 | grep -q -- '--classic'; then
    pass "the launcher hands its options to the program (--help lists --classic)"
  else
    fail "the launcher does not hand --help to the program"
  fi
  unset SDL_VIDEODRIVER
  start_xvfb "$work"
  local counter=()
  if [ -f "${FRAME_COUNTER:-}" ]; then
    frame_count="$work/frames.count"
    counter=("LD_PRELOAD=$FRAME_COUNTER" "VORTALUX_SOAK_COUNT=$frame_count")
  fi
  (cd / && exec env "${counter[@]}" nice -n 15 timeout 90 "$1") >"$work/program.out" \
    2>"$work/program.err" &
  program=$!
  cleanup_pids+=("$program")
  check_driving "$work" "$program"
  check_escape "$program"
  if grep -q 'cannot load' "$work/program.err"; then
    fail "started from /, the packaged program did not find its pictures"
  else
    pass "started from /, the packaged program finds its pictures"
  fi
}

pictures=(gfx/Flare.bmp gfx/Sky.bmp gfx/StartEnd.bmp gfx/Track.bmp)
shown=(docs/images/start.png docs/images/climb.png docs/images/finish.png docs/images/web.png
  docs/images/phone.png)
desktop=(share/applications/vortalux.desktop)
for size in 16 32 48 64 128 256; do
  desktop+=("share/icons/hicolor/${size}x$size/apps/vortalux.png")
done

# desktop-file-validate on the entry $1, when it is installed.
check_desktop_entry() {
  if ! command -v desktop-file-validate >/dev/null; then
    note "desktop-file-validate is not installed (desktop-file-utils): $2 is not checked"
  elif desktop-file-validate "$1" >"$work/desktop.txt" 2>&1; then
    pass "$2 passes desktop-file-validate"
  else
    fail "desktop-file-validate on $2: $(cat "$work/desktop.txt")"
  fi
}

case "$mode" in
  contents)
    need_tools lintian dpkg-deb tar
    # --fail-on makes the exit code count errors and warnings; the tags are shown either way.
    if timeout 300 lintian --pedantic --fail-on error,warning "$deb" >"$work/lintian.txt" 2>&1; then
      pass "lintian --pedantic reports no error and no warning on $(basename "$deb")"
    else
      fail "lintian finds fault with $(basename "$deb")"
    fi
    sed 's/^/#   /' "$work/lintian.txt"

    dpkg-deb -c "$deb" >"$work/deb.list" || die "dpkg-deb cannot read $deb"
    awk '{ sub(/^\./, "", $6); print $6 }' "$work/deb.list" >"$work/deb.paths"
    data=/usr/share/games/vortalux
    doc=/usr/share/doc/vortalux
    check_holds "$work/deb.paths" "the .deb" /usr/games/vortalux /usr/lib/games/vortalux/vortalux \
      "${pictures[@]/#/$data/}" "${desktop[@]/#//usr/}" \
      /usr/share/metainfo/org.example.vortalux.metainfo.xml /usr/share/man/man6/vortalux.6.gz \
      "$doc/copyright" "$doc/changelog.gz" "$doc/README.md" "${shown[@]/#/$doc/}"
    if awk '$2 != "root/root" { exit 1 }' "$work/deb.list"; then
      pass "every file in the .deb belongs to root"
    else
      fail "the .deb holds files not owned by root: $(awk '$2 != "root/root" { print $6 }' "$work/deb.list")"
    fi
    dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/vortalux.desktop \
      >"$work/deb.desktop"
    check_desktop_entry "$work/deb.desktop" "the .deb's desktop entry"

    tar -tzf "$tgz" | sed 's|^[^/]*/||' >"$work/tgz.paths" || die "tar cannot read $tgz"
    check_holds "$work/tgz.paths" "the .tar.gz" vortalux bin/vortalux "${pictures[@]}" README.md \
      LICENSE "${shown[@]}" "${desktop[@]}"
    tar -xzOf "$tgz" --wildcards '*/share/applications/vortalux.desktop' >"$work/tgz.desktop"
    check_desktop_entry "$work/tgz.desktop" "the .tar.gz's desktop entry"
    ;;

  appstream)
    need_tools dpkg-deb
    command -v appstreamcli >/dev/null || skip "appstreamcli is not installed (Debian: appstream)"
    dpkg-deb -x "$deb" "$work/tree" || die "dpkg-deb cannot unpack $deb"
    # validate-tree also finds the desktop entry that the launchable names.
    if timeout 120 appstreamcli validate-tree --no-net --pedantic "$work/tree" >"$work/appstream.txt" 2>&1; then
      pass "appstreamcli validate-tree --pedantic finds nothing to report on the .deb's metadata"
    else
      fail "appstreamcli validate-tree finds fault with the .deb's metadata"
    fi
    sed 's/^/#   /' "$work/appstream.txt"
    ;;

  archive)
    need_tools tar
    tar -xzf "$tgz" -C "$work" || die "cannot unpack $tgz"
    unpacked=$(ls -d "$work"/Vortalux-*/ 2>/dev/null | head -n1)
    [ -x "$unpacked/vortalux" ] || die "the .tar.gz has no launcher at its top"
    # README.md's command for one user's menu, run as written, in a home of the test's own.
    readme=$(grep -o '`mkdir -p ~/.local[^`]*`' "$unpacked/README.md" | tr -d '`')
    [ -n "$readme" ] || die "README.md has no command that puts the desktop entry in ~/.local"
    home="$work/home"
    mkdir -p "$home"
    (cd "$unpacked" && HOME=$home bash -euc "$readme") || die "README.md's command failed: $readme"
    entry="$home/.local/share/applications/vortalux.desktop"
    check_desktop_entry "$entry" "the entry README.md's command installs"
    missing=""
    for icon in "${desktop[@]:1}"; do
      [ -s "$home/.local/$icon" ] || missing+=" $icon"
    done
    [ -z "$missing" ] || fail "README.md's command left out:$missing"
    exec_path=$(sed -n 's/^Exec="\(.*\)"$/\1/p' "$entry")
    if [ "$exec_path" -ef "$unpacked/vortalux" ]; then
      pass "the entry starts the unpacked launcher: $exec_path"
    else
      die "the entry's Exec is not the unpacked launcher: $(grep '^Exec=' "$entry")"
    fi
    drive_from_root "$exec_path"
    ;;

  install)
    [ "$(id -u)" -eq 0 ] || skip "installing the .deb needs root"
    [ "${VORTALUX_TEST_INSTALL:-}" = 1 ] || skip "installing is allowed only with VORTALUX_TEST_INSTALL=1"
    need_tools dpkg dpkg-query apt-get
    if dpkg-query -W -f='${Status}' vortalux 2>/dev/null | grep -q installed; then
      die "vortalux is installed already; this test installs and removes it itself"
    fi
    purge() { dpkg-query -W vortalux >/dev/null 2>&1 && timeout 120 dpkg --purge vortalux >/dev/null 2>&1; }
    cleanup_hooks+=(purge)  # also when a check below ends the test early
    if ! timeout 120 dpkg -i "$deb" >"$work/dpkg.txt" 2>&1; then
      note "dpkg -i left dependencies missing; apt-get install -f brings them"
      timeout 600 env DEBIAN_FRONTEND=noninteractive apt-get install -f -y --no-install-recommends \
        >>"$work/dpkg.txt" 2>&1 || die "the package's dependencies cannot be installed (see $work/dpkg.txt)"
    fi
    if [ "$(dpkg-query -W -f='${Status}' vortalux 2>/dev/null)" = "install ok installed" ]; then
      pass "dpkg installs $(basename "$deb")"
    else
      die "the package is not installed after dpkg -i (see $work/dpkg.txt)"
    fi
    dpkg-query -L vortalux >"$work/installed.paths"

    drive_from_root /usr/games/vortalux

    if timeout 120 dpkg --purge vortalux >>"$work/dpkg.txt" 2>&1 &&
      ! dpkg-query -W -f='${Status}' vortalux 2>/dev/null | grep -q installed; then
      pass "dpkg --purge removes the package"
    else
      fail "dpkg --purge did not remove the package (see $work/dpkg.txt)"
    fi
    # Left behind would be any file of the list, or any folder of the package's own name.
    left=$(while read -r path; do
      if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == */vortalux ]]; }; then echo "$path"; fi
    done <"$work/installed.paths")
    if [ -z "$left" ]; then
      pass "nothing of the package is left ($(wc -l <"$work/installed.paths") paths checked)"
    else
      fail "left after the purge: $left"
    fi
    ;;

  *)
    echo "usage: $0 build <source dir> | contents|appstream|archive|install <package dir> <work dir>" >&2
    exit 2
    ;;
esac
report_and_exit
