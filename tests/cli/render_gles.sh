#!/usr/bin/env bash
# tarvelin_render --renderer gles against --renderer gl: the OpenGL ES 3
# emulation draws each frame of a fixed set (titles, swims with the
# instruments and text, F1 context rebuilds, a dive, the soft mode, the
# screensaver, a design-size frame scaled into a larger window) with at least
# 99 % of its pixels within 8 levels per channel of the desktop frame.
# Usage: render_gles.sh TARVELIN_RENDER FRAME_MATCH [FOLDER]
# (FOLDER: keep the frames there to look at them; default a temporary one)
set -u
render=$1
match=$2
if [ -n "${3:-}" ]; then
  work=$3
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# compare NAME SHOTS ARGS...: the run with both renderers, then each shot.
compare() {
  local name=$1 shots=$2
  shift 2
  for api in gl gles; do
    "$render" --renderer "$api" --shot "$shots" --out "$work/$name-$api" "$@" >/dev/null 2>"$work/err" ||
      fail "$name with --renderer $api failed: $(cat "$work/err")"
  done
  for shot in ${shots//,/ }; do
    local file
    file=$(printf 'frame-%06d.png' "$shot")
    result=$("$match" --tolerance 8 --least 99 "$work/$name-gl/$file" "$work/$name-gles/$file" 2>&1) ||
      fail "$name frame $shot: $result"
    echo "$name frame $shot: $result"
  done
}

compare swim 300,772,900,905,907,1000 --frames 1000 --keys "a@771-810,up@811-1000,left@850-880,f1@905-906"
compare dive 1130,1250 --frames 1250 --keys "a@771-830,up@831-1250,right@1000-1060,q@1150-1180"
compare soft 500,900 --soft --frames 900 --keys "a@771-800,up@801-900,right@820-840"
compare saver 400,1100 --saver --frames 1100
compare design 790 --size 1600x1000 --resolution design --frames 790 --keys "up@772-790"

# The comparison itself fails on frames that differ.
"$match" "$work/swim-gl/frame-000300.png" "$work/swim-gl/frame-001000.png" >/dev/null &&
  fail "frame_match took the title frame for the swim's"

[ $failures -eq 0 ] || exit 1
echo "render_gles: all frames match"
