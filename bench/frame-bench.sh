#!/usr/bin/env bash
# Frame benchmark: the same scripted swim, the title and the screensaver with
# the build of a reference commit and with this working tree's build, run in
# turn (old, new, then new, old, ...) so that both see the same load; then the
# main-view frame of this build broken down by drawing step, and the start-up
# time of the whole process against a plain transcription of the generation.
#
# Usage: bench/frame-bench.sh [--runs N] [--ref COMMIT] [--frames N] [--keys SCRIPT] [--cpu]
#   defaults: 5 runs, 1fa1e23, 1100 frames, up@770-1100,left@900-940
#   --cpu: frame times in CPU time of the whole process (all of the renderer's
#   threads) rather than wall time: the work per frame, which a busy machine
#   disturbs far less than the time per frame.
#
# Frame times come from the frame clock (bench/frame_clock.c) preloaded into
# tarvelin_render: the time from one frame's end to the next one's, the frame
# drawn and finished. The figures of all runs of a build are pooled; medians
# and 95th percentiles (nearest rank) in milliseconds. The reference is built
# from the project's own history in a worktree under build-bench/.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=5
ref=1fa1e23
frames=1100
keys="up@770-1100,left@900-940"
cpu=0
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=${2:?}; shift 2 ;;
    --ref) ref=${2:?}; shift 2 ;;
    --frames) frames=${2:?}; shift 2 ;;
    --keys) keys=${2:?}; shift 2 ;;
    --cpu) cpu=1; shift ;;
    *) echo "frame-bench.sh: unknown option '$1' (--runs N, --ref COMMIT, --frames N, --keys SCRIPT, --cpu)" >&2
       exit 2 ;;
  esac
done
case "$runs" in ''|*[!0-9]*|0) echo "frame-bench.sh: --runs wants a count of 1 or more" >&2; exit 2 ;; esac

ref_commit=$(git rev-parse --verify "$ref^{commit}")
work=build-bench
ref_tree=$work/tree
ref_build=$work/build
mkdir -p "$work"
if [ ! -d "$ref_tree" ]; then
  git worktree add --detach "$ref_tree" "$ref_commit" >/dev/null
else
  git -C "$ref_tree" checkout --detach --quiet "$ref_commit"
fi
echo "building ${ref_commit:0:7} in $ref_build and this tree in build/ ..."
cmake -S "$ref_tree" -B "$ref_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVELIN_TESTS=OFF -DTARVELIN_BENCH=OFF >/dev/null
cmake --build "$ref_build" --target tarvelin_render >/dev/null
[ -f build/CMakeCache.txt ] || cmake --preset default >/dev/null
cmake --build build --target tarvelin_render bench_frames bench_generation frame_clock >/dev/null

old=$ref_build/bin/tarvelin_render
new=build/bin/tarvelin_render
clock=$PWD/build/bench/libframe_clock.so
data=$work/data
rm -rf "$data"
mkdir -p "$data"

# run NAME RENDERER ARGS...: one run with the frame clock; the frame times go
# to $data/NAME.title and $data/NAME.main, split at the title's frame count.
run() {
  local name=$1 renderer=$2
  shift 2
  local times=$data/run.times
  rm -f "$times"
  local report
  report=$(FRAME_CLOCK_OUT=$PWD/$times FRAME_CLOCK_CPU=$cpu LD_PRELOAD=$clock "$renderer" "$@" --bench)
  local title
  title=$(echo "$report" | sed -n 's/^title frames: \([0-9]*\).*/\1/p')
  # Line k of the clock's file is frame k + 1.
  awk -v t="$title" 'NR < t' "$times" >>"$data/$name.title"
  awk -v t="$title" 'NR >= t' "$times" >>"$data/$name.main"
  echo "$report" | sed -n 's/^renderer: //p' >"$data/renderer"
}

# whole_process NAME RENDERER: wall time of `--frames 0`, in seconds.
whole_process() {
  local start end
  start=$(date +%s%N)
  "$2" --frames 0 >/dev/null
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 ))" | awk '{printf "%.3f\n", $1 / 1e6}' >>"$data/$1.startup"
}

for ((r = 1; r <= runs; r++)); do
  echo "run $r of $runs ..."
  if ((r % 2)); then order="old new"; else order="new old"; fi
  for b in $order; do
    renderer=$old
    [ "$b" = new ] && renderer=$new
    run "$b.swim" "$renderer" --frames "$frames" --keys "$keys"
    run "$b.saver" "$renderer" --saver --frames "$frames"
    whole_process "$b" "$renderer"
  done
done

# stat FILE: "median p95" of the numbers in FILE.
stat() {
  sort -g "$1" | awk '{v[NR] = $1} END {
    if (NR == 0) { print "- -"; exit }
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    r = int(0.95 * NR); if (r < 0.95 * NR) r++
    printf "%.2f %.2f\n", m, v[r] }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a > 0) printf "%.2f", b / a; else printf "-" }'; }

echo
clock_name="wall time"
[ "$cpu" = 1 ] && clock_name="CPU time of the process"
echo "renderer: $(cat "$data/renderer"), $runs runs of each build, taken in turn"
printf "%-40s %12s %12s %7s\n" "frame times (ms, $clock_name)" "${ref_commit:0:7}" "this tree" "ratio"
for part in swim.main:"swim, main view" swim.title:"title" saver.main:"screensaver, main view"; do
  key=${part%%:*}
  label=${part#*:}
  read -r om op <<<"$(stat "$data/old.$key")"
  read -r nm np <<<"$(stat "$data/new.$key")"
  printf "%-40s %12s %12s %7s\n" "$label, median" "$om" "$nm" "$(ratio "$om" "$nm")"
  printf "%-40s %12s %12s %7s\n" "$label, 95th percentile" "$op" "$np" "$(ratio "$op" "$np")"
done
read -r os _ <<<"$(stat "$data/old.startup")"
read -r ns _ <<<"$(stat "$data/new.startup")"
printf "%-40s %12s %12s %7s\n" "start-up, --frames 0 (s), median" "$os" "$ns" "$(ratio "$os" "$ns")"

echo
echo "main-view frame of this tree by drawing step (each step finished before the next):"
cpu_option=()
[ "$cpu" = 1 ] && cpu_option=(--cpu)
build/bin/bench_frames --steps "${cpu_option[@]}" --frames "$frames" --keys "$keys" | sed -n '/^step/,$p'

echo
plain=$(build/bin/bench_generation | sed -n 's/^  plain loops: \([0-9.]*\) s/\1/p')
echo "plain transcription of the generation loops: $plain s;" \
  "whole process, this tree: $ns s ($(awk -v p="$plain" -v n="$ns" 'BEGIN { printf "%.1f", p / n }')x faster)"
