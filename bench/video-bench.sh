#!/usr/bin/env bash
# How fast tarvelin_render makes a video of the README's swim (900 frames at
# 1024 x 768, the title first), against drawing the same frames alone: the
# wall-clock time of each run and its frames per second, which must stay
# above 60 for a video to be made faster than it plays. The machine's other
# work counts too: run it a few times.
#
# Usage: bench/video-bench.sh [--runs N] [--formats "mp4 webm mkv"]
#   defaults: 3 runs, mp4 only
set -euo pipefail
cd "$(dirname "$0")/.."
runs=3
formats=mp4
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=${2:?}; shift 2 ;;
    --formats) formats=${2:?}; shift 2 ;;
    *) echo "video-bench.sh: unknown option '$1' (--runs N, --formats \"mp4 webm mkv\")" >&2; exit 2 ;;
  esac
done
renderer=build/bin/tarvelin_render
[ -x "$renderer" ] || { echo "video-bench.sh: build first ($renderer is missing)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
frames=900
swim=(--frames $frames --keys up@800-900,left@850-870)

# timed LABEL ARGS...: one run's wall-clock seconds and frames per second.
timed() {
  local label=$1 start end
  shift
  start=$(date +%s%N)
  "$renderer" "${swim[@]}" "$@" 2>/dev/null
  end=$(date +%s%N)
  awk -v l="$label" -v ns=$((end - start)) -v f=$frames \
    'BEGIN { printf "%-14s %6.2f s  %6.1f frames/s\n", l, ns / 1e9, f / (ns / 1e9) }'
}

echo "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
for run in $(seq "$runs"); do
  timed "frames only"
  for format in $formats; do
    timed "$format" --video "$work/swim.$format"
  done
done
