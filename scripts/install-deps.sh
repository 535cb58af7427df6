#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, if any are missing.
# Usage: scripts/install-deps.sh [windows] [web]
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libbenchmark-dev
  libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libpng-dev libfreetype-dev libfontconfig-dev fonts-liberation fontconfig
  libavformat-dev libavcodec-dev libavutil-dev ffmpeg
  libsdl2-dev libx11-dev libxfixes-dev libxss-dev
  xvfb xauth xdotool x11-apps x11-utils x11-xserver-utils x11-xkb-utils xkb-data xfonts-base python3
  groff-base man-db appstream dpkg-dev file
  xscreensaver dbus-daemon python3-dbus python3-gi
  weston zenity
)
for group in "$@"; do
  case "$group" in
    windows) packages+=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 file python3 icoutils) ;;
    # Emscripten (its optimiser needs acorn from node-acorn) and the browser the page is tested in.
    web) packages+=(emscripten node-acorn nodejs chromium python3) ;;
    *) echo "install-deps.sh: unknown group '$group' (windows, web)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
