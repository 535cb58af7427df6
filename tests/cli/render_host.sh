#!/usr/bin/env bash
# tarvelin_render --host: the screensaver in a host's window of any size.
set -u
render=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# IHDR: width and height as big-endian 32-bit numbers at offset 16.
png_size() { od -An -tx1 -j16 -N8 "$1" | tr -d ' \n'; }

"$render" --saver --host 320x240 --frames 2 --shot 2 --out "$work/small" 2>"$work/err" ||
  fail "--saver --host 320x240 failed: $(cat "$work/err")"
[ "$(png_size "$work/small/frame-000002.png")" = "00000140000000f0" ] || fail "the host's frame is not 320 x 240"
"$render" --saver --host 1920x1080 --frames 1 --shot 1 --out "$work/big" 2>"$work/err" ||
  fail "--saver --host 1920x1080 failed: $(cat "$work/err")"
[ "$(png_size "$work/big/frame-000001.png")" = "0000078000000438" ] || fail "the host's frame is not 1920 x 1080"

for bad in "--host 320x240" "--saver --host 0x240" "--saver --host 320" "--saver --host x" \
  "--saver --host 320x240x3" "--saver --host 20000x10" "--saver --host -5x10" "--saver --host"; do
  # shellcheck disable=SC2086
  "$render" $bad --frames 1 >"$work/out" 2>"$work/err"
  rc=$?
  [ $rc -eq 2 ] || fail "'$bad' exited $rc, expected 2"
  [ "$(wc -l <"$work/err")" -eq 1 ] || fail "'$bad' printed $(wc -l <"$work/err") lines on stderr"
done

echo "render_host: $failures failure(s)"
[ $failures -eq 0 ]
