#!/usr/bin/env bash
# Frame figures at the screen sizes people have: the hosted screensaver and
# the viewer (swimming, the instruments up) at 1024 x 768, 1920 x 1080,
# 2560 x 1440 and 3840 x 2160, each drawn at the design size and scaled, and
# drawn at the window's size; tarvelin_render's --bench figures of the main
# view (median and 95th percentile, milliseconds) on whatever renderer the
# machine gives it (Mesa's llvmpipe without a GPU).
#
# Usage: bench/size-bench.sh [--frames N] [--sizes "WxH ..."] [--modes "design window"]
#   defaults: 1100 frames (the title takes the first 768), the four sizes, both modes
set -euo pipefail
cd "$(dirname "$0")/.."
frames=1100
sizes="1024x768 1920x1080 2560x1440 3840x2160"
modes="design window"
while [ $# -gt 0 ]; do
  case "$1" in
    --frames) frames=${2:?}; shift 2 ;;
    --sizes) sizes=${2:?}; shift 2 ;;
    --modes) modes=${2:?}; shift 2 ;;
    *) echo "size-bench.sh: unknown option '$1' (--frames N, --sizes \"WxH ...\", --modes \"design window\")" >&2
       exit 2 ;;
  esac
done
renderer=build/bin/tarvelin_render
[ -x "$renderer" ] || { echo "size-bench.sh: build first ($renderer is missing)" >&2; exit 1; }

# figures ARGS...: "median p95" of one run's main view.
figures() {
  "$renderer" --frames "$frames" --bench "$@" |
    sed -n 's/^main-view frame time: median \([0-9.]*\) ms, 95th percentile \([0-9.]*\) ms.*/\1 \2/p'
}

"$renderer" --frames 1 --bench | sed -n 's/^renderer: /renderer: /p'
printf '%-10s %-8s %-22s %-22s\n' size drawing "screensaver (hosted)" "viewer (swimming)"
for size in $sizes; do
  for mode in $modes; do
    read -r sm sp < <(figures --saver --host "$size" --resolution "$mode")
    read -r vm vp < <(figures --size "$size" --resolution "$mode" --keys "up@770-$frames,left@900-940")
    printf '%-10s %-8s %-22s %-22s\n' "$size" "$mode" "$sm / $sp ms" "$vm / $vp ms"
  done
done
