#!/usr/bin/env bash
# Makes the Windows programs' icon, shell/win32/tarvelin.ico, from the icons
# tarvelin_render draws: 16, 32 and 48 pixels as bitmaps, which every Windows
# reads, and 256 pixels as PNG. The cross builds cannot run tarvelin_render,
# so the file is kept in the repository; run this after a change to the icon.
# (The Linux icons are drawn at build time.) Needs icotool (icoutils).
# Usage: scripts/make-icons.sh [BUILD_DIR]    (default: build, built first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

command -v icotool >/dev/null || { echo "make-icons.sh: icotool is missing (apt-get install icoutils)" >&2; exit 1; }
cmake --build "$build" --target tarvelin_render >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for size in 16 32 48 256; do
  "$build/bin/tarvelin_render" --icon "$size" --out "$work/tarvelin-$size.png"
done
icotool -c -o shell/win32/tarvelin.ico \
  "$work/tarvelin-16.png" "$work/tarvelin-32.png" "$work/tarvelin-48.png" -r "$work/tarvelin-256.png"
icotool -l shell/win32/tarvelin.ico
