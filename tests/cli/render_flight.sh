#!/usr/bin/env bash
# A short flight of each program, title to main view: Escape ends the title
# once it has faded in (frame 650), then the viewer swims, turns, looks up and
# switches the window twice; the screensaver turns and switches too. Each run
# saves frames and dumps the world. Meant above all for the sanitizer build,
# where any error or leak of ours makes a run fail or print on stderr.
set -u
render=$1
work=$(mktemp -d -p "$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# flight NAME ARGS...: one run; exit code 0, nothing on stderr, main-view frames drawn.
flight() {
  local name=$1
  shift
  "$render" "$@" --bench --out "$work/$name" --dump-world "$work/$name.tvwd" >"$work/$name.out" 2>"$work/$name.err"
  local rc=$?
  [ $rc -eq 0 ] || fail "$name flight exited $rc"
  [ -s "$work/$name.err" ] && fail "$name flight printed on stderr:" && head -40 "$work/$name.err"
  grep -q "main-view frames: 1[0-9][0-9]$" "$work/$name.out" ||
    fail "$name flight did not reach the main view: $(grep frames "$work/$name.out" | tr '\n' ' ')"
  [ "$(head -c 4 "$work/$name.tvwd")" = TVWD ] || fail "$name flight wrote no dump"
}

flight interactive --frames 780 --shot 651,780 --keys "escape@650,up@655-780,left@670-700,q@700-720,f1@720-721"
[ -s "$work/interactive/frame-000651.png" ] && [ -s "$work/interactive/frame-000780.png" ] ||
  fail "interactive flight saved no frames"
flight saver --saver --frames 760 --shot 760 --keys "escape@650,f1@700-701"
[ -s "$work/saver/frame-000760.png" ] || fail "screensaver flight saved no frame"
cmp -s "$work/interactive.tvwd" "$work/saver.tvwd" && fail "the two flights ended in the same world"

echo "render_flight: $failures failure(s)"
[ $failures -eq 0 ]
