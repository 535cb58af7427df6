#!/usr/bin/env bash
# Every frame of a few long runs, hashed: a wider net than the fixed set of
# scripts/same-pictures.sh for a change that must move no pixel (culling,
# drawing order, state changes). Each run is rendered to a lossless video and
# FFmpeg prints one MD5 per decoded frame; two builds are then compared with
# diff.
#
# Usage: scripts/frame-hashes.sh RENDERER FOLDER
#   e.g. scripts/frame-hashes.sh /tmp/before/tarvelin_render /tmp/h-before
#        scripts/frame-hashes.sh build/bin/tarvelin_render /tmp/h-after
#        diff -r /tmp/h-before /tmp/h-after && echo same
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 RENDERER FOLDER" >&2; exit 2; }
r=$1 out=$2
mkdir -p "$out"
run() {
  local name=$1; shift
  "$r" "$@" --video "$out/$name.mkv" >/dev/null
  ffmpeg -v error -i "$out/$name.mkv" -f framemd5 - | grep -v '^#' >"$out/$name.md5"
  rm -f "$out/$name.mkv"
}
# The screensaver's title and nearly two turns of its view.
run saver --saver --frames 1400
# The README's swim, then a long dive among ribbons with every bubble up.
run swim --frames 1000 --keys "a@771-810,up@811-1000,left@850-880"
run dive --frames 1250 --keys "a@771-830,up@831-1250,right@1000-1060,q@1150-1180"
# Looking up at the surface close above the bed, and the soft mode.
run climb --frames 1100 --keys "up@772-1100,q@900-1000,left@1000-1040"
run soft --soft --frames 900 --keys "a@771-800,up@801-900,right@820-840"
