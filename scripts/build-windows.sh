#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64 through the win32 and win64
# presets: 32-bit into build-win32/bin/, 64-bit into build-win64/bin/.
# Usage: scripts/build-windows.sh [win32|win64]...
set -euo pipefail
cd "$(dirname "$0")/.."

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(win32 win64)

for target in "${targets[@]}"; do
  case "$target" in
    win32|win64) ;;
    *) echo "build-windows.sh: unknown target '$target' (win32 or win64)" >&2; exit 2 ;;
  esac
  cmake --preset "$target" >/dev/null
  cmake --build --preset "$target" -j 2
done
