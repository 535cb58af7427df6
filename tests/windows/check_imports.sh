#!/usr/bin/env bash
# Checks the cross-built Windows programs in BIN: each is a GUI program of the
# expected PE format, and it needs no DLL beyond the system's own (the C and
# C++ runtimes are linked in statically).
# Usage: check_imports.sh BIN FORMAT OBJDUMP
#   FORMAT: what file(1) must say, e.g. 'PE32+ executable (GUI) x86-64'
#   OBJDUMP: the mingw-w64 objdump of that target
# A missing build folder or tool ends the test as skipped (77), unless
# TARVELIN_REQUIRE_WINE=1 asks for the Windows builds to be there.
set -euo pipefail

bin=$1 format=$2 objdump=$3

skip() {
  if [ "${TARVELIN_REQUIRE_WINE:-0}" = 1 ]; then
    echo "FAIL: $* (TARVELIN_REQUIRE_WINE is set)"
    exit 1
  fi
  echo "SKIP: $*"
  exit 77
}

[ -d "$bin" ] || skip "no Windows build folder '$bin' (scripts/build-windows.sh)"
command -v file >/dev/null || skip "file not installed"
command -v "$objdump" >/dev/null || skip "$objdump not installed"

failures=0
for name in tarvelin.exe tarvelin_saver.exe tarvelin_saver.scr; do
  program=$bin/$name
  if [ ! -f "$program" ]; then
    echo "FAIL: $program is missing"
    failures=$((failures + 1))
    continue
  fi
  described=$(file -b "$program")
  case "$described" in
    "$format"*) ;;
    *) echo "FAIL: $program is '$described', not '$format'"; failures=$((failures + 1)); continue ;;
  esac
  dlls=$("$objdump" -p "$program" | awk '/DLL Name:/ {print tolower($3)}' | sort -u | tr '\n' ' ')
  # Every Windows program imports kernel32.dll: without it the import table
  # was not read, and an empty list would pass for a clean one.
  case " $dlls" in
    *" kernel32.dll "*) ;;
    *) echo "FAIL: $program: no imports read (objdump found: '$dlls')"; failures=$((failures + 1)); continue ;;
  esac
  for dll in $dlls; do
    case "$dll" in
      kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|opengl32.dll|glu32.dll|msvcrt.dll) ;;
      *) echo "FAIL: $program needs $dll (all it needs: $dlls)"; failures=$((failures + 1)) ;;
    esac
  done
  echo "ok: $name: $described; imports $dlls"
done
[ "$failures" -eq 0 ]
