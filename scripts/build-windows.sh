#!/usr/bin/env bash
# Cross-builds the Windows programs with mingw-w64: 32-bit into build-win32/bin/,
# 64-bit into build-win64/bin/. Usage: scripts/build-windows.sh [win32|win64]...
set -euo pipefail
cd "$(dirname "$0")/.."

targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(win32 win64)

for target in "${targets[@]}"; do
  case "$target" in
    win32) toolchain=cmake/mingw-i686.cmake ;;
    win64) toolchain=cmake/mingw-x86_64.cmake ;;
    *) echo "build-windows.sh: unknown target '$target' (win32 or win64)" >&2; exit 2 ;;
  esac
  cmake -S . -B "build-$target" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DTARVELIN_PLATFORM=win32 -DTARVELIN_TESTS=OFF -DTARVELIN_BENCH=OFF >/dev/null
  cmake --build "build-$target" -j 2
done
