#!/usr/bin/env bash
# tarvelin_render drawing frames: PNG files, exit codes and --bench figures.
set -u
render=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$render" --frames 3 --shot all --out "$work/a/b" >"$work/out" 2>"$work/err" || fail "--frames 3 --shot all failed"
[ -s "$work/err" ] && fail "rendering printed on stderr: $(cat "$work/err")"
for n in 1 2 3; do
  f="$work/a/b/frame-00000$n.png"
  [ "$(head -c 4 "$f" | tail -c 3)" = "PNG" ] || fail "$f is not a PNG file"
done
[ -e "$work/a/b/frame-000004.png" ] && fail "a frame beyond --frames was written"
"$render" --frames 3 --shot 2 --out "$work/only" || fail "--shot 2 failed"
[ "$(ls "$work/only")" = frame-000002.png ] || fail "--shot 2 wrote $(ls "$work/only")"

"$render" --soft --frames 1 --shot 1 --out "$work/soft" || fail "--soft failed"
# IHDR: width and height as big-endian 32-bit numbers at offset 16.
[ "$(od -An -tx1 -j16 -N8 "$work/soft/frame-000001.png" | tr -d ' \n')" = "00000280000001e0" ] ||
  fail "soft-mode frame is not 640 x 480"

"$render" --saver --frames 2 --bench >"$work/out" || fail "--saver --bench failed"
grep -q "title frames: 2" "$work/out" || fail "--bench lacks the title frame count"
grep -q "median .* ms, 95th percentile .* ms, worst .* ms" "$work/out" || fail "--bench lacks the frame times"
grep -q "world generation: " "$work/out" || fail "--bench lacks the generation time"

touch "$work/file"
"$render" --frames 1 --shot 1 --out "$work/file/sub" >"$work/out" 2>"$work/err"
rc=$?
[ $rc -eq 1 ] || fail "unwritable --out exited $rc, expected 1"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "unwritable --out printed $(wc -l <"$work/err") lines"
grep -q "cannot create folder '$work/file/sub'" "$work/err" || fail "unwritable --out said: $(cat "$work/err")"
"$render" --frames 1 --out "$work/unused" || fail "--frames 1 without shots failed"
[ -e "$work/unused" ] && fail "a run without shots made its --out folder"

"$render" --frames 50 --keys escape@1-50 --shot all --out "$work/esc" || fail "escape run failed"
[ "$(ls "$work/esc" | wc -l)" -eq 50 ] || fail "escape during the title ended the run early"

echo "render_frames: $failures failure(s)"
[ $failures -eq 0 ]
