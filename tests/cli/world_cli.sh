#!/usr/bin/env bash
# tarvelin_world moves the world without drawing exactly as tarvelin_render's
# drawn frames move it: after a swim (turning, looking up, the dials running)
# and after the screensaver's turn the dumps are the same bytes. And its
# command line: a bad option is a usage error.
# Usage: world_cli.sh TARVELIN_WORLD TARVELIN_RENDER
set -u
world=$1
render=$2
work=$(mktemp -d -p "$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# same NAME ARGS...: both programs run ARGS and dump; the dumps must match.
same() {
  local name=$1
  shift
  "$render" "$@" --dump-world "$work/$name.drawn" || fail "$name: tarvelin_render exited $?"
  "$world" "$@" --dump-world "$work/$name.moved" || fail "$name: tarvelin_world exited $?"
  cmp "$work/$name.drawn" "$work/$name.moved" || fail "$name: the world moved without drawing differs"
}
same swim --frames 960 --keys "escape@650,up@660-960,left@700-760,q@760-800,a@900-960"
same saver --saver --frames 800 --keys "escape@650"

"$world" --frames 5 --bogus --dump-world "$work/x" 2>"$work/bogus.err"
rc=$?
[ $rc -eq 2 ] && grep -q "^tarvelin_world: .*(see --help)$" "$work/bogus.err" ||
  fail "an unknown option gave exit code $rc: $(cat "$work/bogus.err")"
"$world" --frames 5 2>"$work/nodump.err"
rc=$?
[ $rc -eq 2 ] || fail "no --dump-world gave exit code $rc"

echo "world_cli: $failures failure(s)"
[ $failures -eq 0 ]
