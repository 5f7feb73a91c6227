#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Vortalux needs to build, run and test, when any is missing.
# Usage: tools/deps.sh [run|test]   (run: build and start the demo; test: everything the tests use)
set -euo pipefail

# run-demo.sh builds the program and its pictures only (the demo preset).
run_packages=(build-essential cmake pkg-config libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev
  libopengl-dev libegl1 libegl-mesa0 libgl1-mesa-dri libopengl0 libglu1-mesa libpng-dev)
test_packages=("${run_packages[@]}" libgtest-dev libgmock-dev libbenchmark-dev clang lld clang-format git
  libclang-rt-14-dev g++-mingw-w64-x86-64-win32 xvfb xauth xdotool x11-apps imagemagick
  wine64 libgl1 libxrandr2 libxxf86vm1 libxi6 libxcursor1 libxinerama1 libxrender1 libxcomposite1
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils valgrind
  emscripten chromium firefox-esr nodejs python3 dpkg-dev file fakeroot lintian desktop-file-utils
  nsis appstream sway xwayland grim libwayland-dev libxkbcommon-dev)

case "${1:-test}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

missing=()
# The browser tests install puppeteer-core and lighthouse with npm; some builds of nodejs carry
# npm themselves.
if [ "${1:-test}" = test ] && ! command -v npm >/dev/null; then wanted+=(npm); fi
for package in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
