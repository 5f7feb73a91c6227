#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Vortalux needs to build, run and test, when any is missing,
# and builds SDL2 for the Windows program.
# Usage: tools/deps.sh [run|test|sdl2-windows]
#   run           build and start the demo
#   test          everything the tests use, SDL2 for Windows included
#   sdl2-windows  SDL2 for Windows only (the `windows` preset needs it)
# SDL2 for Windows is built from Debian's own source package of the version the host's
# libsdl2-dev has, with the project's MinGW-w64 toolchain file, static, into a cache outside the
# clone: ${XDG_CACHE_HOME:-$HOME/.cache}/vortalux/sdl2-<version>-mingw-w64-x86_64 (its path is
# printed). A warm run finds it there and returns at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# run-demo.sh builds the program and its pictures only (the demo preset).
run_packages=(build-essential cmake pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev
  libopengl-dev libegl1 libegl-mesa0 libgl1-mesa-dri libopengl0 libglu1-mesa libpng-dev)
# What building SDL2 for Windows takes: the cross compiler, dpkg-source to unpack the source
# package, and the host's libsdl2-dev, whose version it builds.
sdl2_windows_packages=(cmake make g++-mingw-w64-x86-64-win32 dpkg-dev libsdl2-dev)
test_packages=("${run_packages[@]}" "${sdl2_windows_packages[@]}" libgtest-dev libgmock-dev
  libbenchmark-dev clang lld clang-format git libclang-rt-14-dev xvfb xauth xdotool x11-apps
  imagemagick
  wine64 libgl1 libxrandr2 libxxf86vm1 libxi6 libxcursor1 libxinerama1 libxrender1 libxcomposite1
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils valgrind
  emscripten chromium firefox-esr nodejs python3 fakeroot file lintian desktop-file-utils
  nsis appstream sway xwayland grim libwayland-dev libxkbcommon-dev)

mode=${1:-test}
case "$mode" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  sdl2-windows) wanted=("${sdl2_windows_packages[@]}") ;;
  *) echo "usage: $0 [run|test|sdl2-windows]" >&2; exit 2 ;;
esac

sudo=()
need_root() {
  [ "$(id -u)" -eq 0 ] && return 0
  command -v sudo >/dev/null || { echo "Need root or sudo to $1" >&2; exit 1; }
  sudo=(sudo)
}

install_missing() {
  local missing=() package
  # The browser tests install puppeteer-core and lighthouse with npm; some builds of nodejs carry
  # npm themselves.
  if [ "$mode" = test ] && ! command -v npm >/dev/null; then wanted+=(npm); fi
  for package in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  need_root "install: ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
}

# The Debian mirror and keyring the machine's own sources use for the distribution's main suite
# (deb822 .sources or one-line sources.list), so the source package comes from the same place,
# checked against the same key. Prints "<uri> <keyring>"; the keyring may be empty.
machine_mirror() {
  local file
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk -v suite="$1" '
      function flush() {
        if (uri != "" && types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ")) {
          print uri, keyring; found = 1; exit
        }
        uri = ""; types = ""; suites = ""; keyring = ""
      }
      /^[ \t]*$/ { flush(); next }
      /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
      /^URIs:/ { uri = $2 }
      /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
      /^Signed-By:/ { keyring = $2 }
      END { if (!found) flush() }' "$file"
  done | head -n1 | grep . && return 0
  sed -n -E "s/^deb[ \t]+(\[[^]]*signed-by=([^] ]+)[^]]*\][ \t]+)?([^ \t]+)[ \t]+$1[ \t].*/\3 \2/p" \
    /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -n1 | grep . && return 0
  echo "http://deb.debian.org/debian /usr/share/keyrings/debian-archive-keyring.gpg"
}

build_sdl2_windows() {
  local full version cache final
  full=$(dpkg-query -W -f='${Version}' libsdl2-dev 2>/dev/null) ||
    { echo "libsdl2-dev is not installed: its version is the one to build" >&2; exit 1; }
  version=${full#*:}
  version=${version%%[-+~]*}
  cache=${XDG_CACHE_HOME:-$HOME/.cache}/vortalux
  final=$cache/sdl2-$version-mingw-w64-x86_64
  if [ -f "$final/lib/libSDL2.a" ]; then
    echo "SDL2 $version for Windows: $final"
    return 0
  fi
  echo "Building SDL2 $version for Windows (MinGW-w64, static) from Debian's source package"
  mkdir -p "$cache"
  # Everything in a folder of this run's own; only its last step, a rename, makes the result
  # visible, so an interrupted run leaves nothing that looks complete.
  work=$(mktemp -d "$cache/.sdl2-$version-build.XXXXXX")
  trap 'rm -rf "$work"' EXIT

  # apt with a source list, source parts, package lists and caches of this step's own: the
  # machine's sources and lists stay as they are. apt checks the Release file's signature and
  # every file's hash as for any package.
  local codename mirror keyring apt
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || { echo "no VERSION_CODENAME in /etc/os-release" >&2; exit 1; }
  read -r mirror keyring <<<"$(machine_mirror "$codename")"
  mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" "$work/apt/cache/archives/partial"
  echo "deb-src${keyring:+ [signed-by=$keyring]} $mirror $codename main" >"$work/apt/sources.list"
  # Readable by apt's unprivileged download user.
  chmod 755 "$work"
  apt=(apt-get -q -o "Dir::Etc::SourceList=$work/apt/sources.list"
    -o "Dir::Etc::SourceParts=$work/apt/sources.list.d" -o "Dir::State::Lists=$work/apt/lists"
    -o "Dir::Cache=$work/apt/cache")
  "${apt[@]}" update >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; echo "apt-get update of the deb-src entry failed" >&2; exit 1; }
  (cd "$work" && "${apt[@]}" source "libsdl2=$full") >>"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log" >&2; echo "apt-get source libsdl2=$full failed" >&2; exit 1; }
  local source
  source=$(find "$work" -maxdepth 1 -type d -name "libsdl2-$version*" | head -n1)
  [ -n "$source" ] || { echo "the source package did not unpack into $work" >&2; exit 1; }

  local stage=$work/sdl2-$version-mingw-w64-x86_64
  cmake -S "$source" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$stage" \
    -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF >"$work/configure.log" 2>&1 ||
    { tail -n 30 "$work/configure.log" >&2; echo "configuring SDL2 failed" >&2; exit 1; }
  cmake --build "$work/build" --parallel 2 >"$work/build.log" 2>&1 ||
    { tail -n 30 "$work/build.log" >&2; echo "building SDL2 failed" >&2; exit 1; }
  cmake --install "$work/build" >"$work/install.log" 2>&1 ||
    { tail -n 30 "$work/install.log" >&2; echo "installing SDL2 failed" >&2; exit 1; }
  # The licence and the notices the packages carry beside the program: SDL's zlib licence, then
  # Debian's record of every file's copyright and licence, which holds the notices of the code
  # SDL includes from elsewhere (its maths functions, HIDAPI, the YUV conversion, ...).
  {
    cat "$source/LICENSE.txt"
    printf '\n\nThe copyright and licence of each file of SDL %s (Debian: %s):\n\n' \
      "$version" "debian/copyright of libsdl2 $full"
    cat "$source/debian/copyright"
  } >"$stage/LICENSE-SDL2.txt"
  [ -f "$stage/lib/libSDL2.a" ] || { echo "the build installed no lib/libSDL2.a" >&2; exit 1; }

  # A folder there without the library was left by hand: replaced. Another run that finished
  # first wins, and its result is as good.
  [ -f "$final/lib/libSDL2.a" ] || rm -rf "$final"
  mv -T "$stage" "$final" 2>/dev/null || [ -f "$final/lib/libSDL2.a" ] ||
    { echo "could not move the build to $final" >&2; exit 1; }
  echo "SDL2 $version for Windows: $final"
}

work=""  # SDL2's build folder, removed at exit
install_missing
if [ "$mode" != run ]; then
  build_sdl2_windows
fi
