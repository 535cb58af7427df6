#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit, command-line
# and render tests, then under the address and undefined-behaviour
# sanitizers the unit tests, the renderer's command-line and frame tests and a
# short flight of each program, then the Windows builds and their tests
# under wine64.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default -j2 -LE wine

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j2

# The Windows programs: both cross builds, the 32-bit files checked to be
# PE32 (there is no 32-bit Wine here to run them), the 64-bit ones run under
# wine64 and Xvfb, where a missing tool is a failure, not a skip.
scripts/install-deps.sh windows
scripts/build-windows.sh
# check_windows_program FILE FORMAT OBJDUMP: the file's format, and that it
# needs no DLL beyond the system's own (the C and C++ runtimes are linked in).
check_windows_program() {
  file "$1" | grep -q "$2" || { file "$1"; echo "$1: not '$2'"; exit 1; }
  local dlls
  dlls=$("$3" -p "$1" | awk '/DLL Name:/ {print tolower($3)}' | sort -u | tr '\n' ' ')
  for dll in $dlls; do
    case "$dll" in
      kernel32.dll|user32.dll|gdi32.dll|opengl32.dll|glu32.dll|msvcrt.dll) ;;
      *) echo "$1 needs $dll (all it needs: $dlls)"; exit 1 ;;
    esac
  done
}
for name in tarvelin.exe tarvelin_saver.exe tarvelin_saver.scr; do
  check_windows_program "build-win32/bin/$name" 'PE32 executable (GUI) Intel 80386' i686-w64-mingw32-objdump
  check_windows_program "build-win64/bin/$name" 'PE32+ executable (GUI) x86-64' x86_64-w64-mingw32-objdump
done
TARVELIN_REQUIRE_WINE=1 ctest --test-dir build --output-on-failure -L wine
