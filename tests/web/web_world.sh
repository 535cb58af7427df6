#!/usr/bin/env bash
# The WebAssembly world (tarvelin_world.js under Node) against the native one:
# at start-up the dumps are the same bytes; after the README's swim the camera
# and every fish agree to within 1e-4. Skips (77) where the web build is
# missing, unless TARVELIN_REQUIRE_WEB=1 makes that a failure.
# Usage: web_world.sh BUILD_WEB_DIR TARVELIN_RENDER
set -u
web=$1
render=$2
here=$(dirname "$0")
if [ ! -f "$web/tarvelin_world.js" ] || ! command -v node >/dev/null; then
  echo "web_world: no $web/tarvelin_world.js or no node (scripts/build-web.sh builds it)"
  [ "${TARVELIN_REQUIRE_WEB:-0}" = 1 ] && exit 1
  exit 77
fi
work=$(mktemp -d -p "$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# both NAME ARGS...: the same run natively and under Node, each dumping the world.
both() {
  local name=$1
  shift
  "$render" "$@" --dump-world "$work/$name.native" || fail "$name: tarvelin_render $* exited $?"
  node "$web/tarvelin_world.js" "$@" --dump-world "$work/$name.web" 2>"$work/$name.err" ||
    fail "$name: tarvelin_world.js $* exited $?: $(head -c 400 "$work/$name.err")"
}

both start --frames 0
cmp "$work/start.native" "$work/start.web" || fail "the world at start-up differs from the native one"

swim="up@800-900,left@850-870"
both swim --frames 900 --keys "$swim"
python3 "$here/dumps.py" "$work/swim.web" "$work/swim.native" 1e-4 || fail "after the swim $swim"
cmp -s "$work/start.web" "$work/swim.web" && fail "the swim moved nothing"

node "$web/tarvelin_world.js" --frames x --dump-world "$work/x" 2>"$work/usage.err"
rc=$?
[ $rc -eq 2 ] && grep -q "(see --help)$" "$work/usage.err" || fail "a bad --frames gave exit code $rc: $(cat "$work/usage.err")"

echo "web_world: $failures failure(s)"
[ $failures -eq 0 ]
