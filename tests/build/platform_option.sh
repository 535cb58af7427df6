#!/usr/bin/env bash
# Configures the source tree with TARVELIN_PLATFORM values that cannot work
# and checks that each stops the configure with a message naming the choices,
# before any front end is looked for.
# Usage: platform_option.sh SOURCE_DIR
set -uo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
# expect_refusal VALUE TEXT: configuring with VALUE fails and prints TEXT.
expect_refusal() {
  local out rc
  out=$(cmake -S "$src" -B "$work/$1" -G Ninja -DTARVELIN_PLATFORM="$1" 2>&1)
  rc=$?
  if [ "$rc" -eq 0 ]; then
    echo "FAIL: TARVELIN_PLATFORM=$1 was accepted"
    failures=$((failures + 1))
  elif ! grep -qF "$2" <<<"$out"; then
    echo "FAIL: TARVELIN_PLATFORM=$1: no '$2' in:"
    echo "$out"
    failures=$((failures + 1))
  else
    echo "ok: TARVELIN_PLATFORM=$1 refused"
  fi
}

expect_refusal amiga "TARVELIN_PLATFORM is 'amiga'; it must be linux, win32 or web"
expect_refusal Linux "TARVELIN_PLATFORM is 'Linux'; it must be linux, win32 or web"
expect_refusal "" "TARVELIN_PLATFORM is ''; it must be linux, win32 or web"
expect_refusal win32 "TARVELIN_PLATFORM win32 needs a Windows compiler"
expect_refusal web "TARVELIN_PLATFORM web needs Emscripten"
[ "$failures" -eq 0 ]
