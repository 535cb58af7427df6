#!/usr/bin/env bash
# Checks that a change moved no pixel and no byte of the world: renders a fixed
# set of frames of both programs and both layouts (title, swimming among the
# ribbons with bubbles near the top of the view, the benchmark's swim, a long
# dive, an F1 context rebuild, soft mode, the screensaver) and dumps the world
# after a scripted flight, once with the build of a reference commit and once
# with the working tree's build, then compares the files byte for byte.
#
# Usage: scripts/same-pictures.sh [REF]    (REF: a commit, default HEAD)
#        scripts/same-pictures.sh --render RENDERER FOLDER
#
# The reference is built from the project's own history in a worktree under
# build-ref/; the working tree's renderer is build/bin/tarvelin_render.
set -euo pipefail
cd "$(dirname "$0")/.."

# render_set RENDERER FOLDER: the fixed set of frames and the dumps.
render_set() {
  local r=$1 out=$2
  mkdir -p "$out"
  # Title, then swimming down among the weeds with bubbles rising into view,
  # F1 rebuilds at 905 (full screen to window) and 906 (back again).
  "$r" --frames 1000 --out "$out/swim" --shot 300,700,772,900,905,907,960,1000 \
    --keys "a@771-810,up@811-1000,left@850-880,f1@905-906" >/dev/null
  # Looking up at the surface from close above the lake bed, climbing.
  "$r" --frames 1100 --out "$out/climb" --shot 1100 \
    --keys "up@772-1100,q@900-1000,left@1000-1040" >/dev/null
  # The benchmark's swim: frames cut to the view frame's opening, weeds and
  # lake-bed cells culled at the edges of the view.
  "$r" --frames 1100 --out "$out/bench" --shot 771,800,905,940,1100 \
    --keys "up@770-1100,left@900-940" >/dev/null
  # A long dive: all fifty bubbles, rising through the top of the opening,
  # and ribbons passing close by.
  "$r" --frames 1250 --out "$out/dive" --shot 1000,1130,1131,1190,1250 \
    --keys "a@771-830,up@831-1250,right@1000-1060,q@1150-1180" >/dev/null
  # The 640 x 480 soft mode and its small layout.
  "$r" --soft --frames 900 --out "$out/soft" --shot 500,800,900 \
    --keys "a@771-800,up@801-900,right@820-840" >/dev/null
  # The screensaver: title, then its slow turn.
  "$r" --saver --frames 1100 --out "$out/saver" --shot 400,800,1100 >/dev/null
  # The world after a scripted flight, and the screensaver's at start-up.
  "$r" --frames 900 --keys "up@772-900,left@800-830,q@850-860" \
    --dump-world "$out/flight.dump" >/dev/null
  "$r" --saver --frames 0 --dump-world "$out/saver.dump" >/dev/null
}

if [ "${1:-}" = "--render" ]; then
  render_set "$2" "$3"
  exit 0
fi

ref=$(git rev-parse --verify "${1:-HEAD}^{commit}")
ref_tree=build-ref/tree
ref_build=build-ref/build
if [ ! -d "$ref_tree" ]; then
  git worktree add --detach "$ref_tree" "$ref" >/dev/null
else
  git -C "$ref_tree" checkout --detach --quiet "$ref"
fi
cmake -S "$ref_tree" -B "$ref_build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVELIN_TESTS=OFF -DTARVELIN_BENCH=OFF >/dev/null
cmake --build "$ref_build" --target tarvelin_render >/dev/null
cmake --build build --target tarvelin_render >/dev/null

rm -rf build-ref/before build-ref/after
render_set "$ref_build/bin/tarvelin_render" build-ref/before
render_set build/bin/tarvelin_render build-ref/after

status=0
count=0
while IFS= read -r file; do
  count=$((count + 1))
  if ! cmp -s "build-ref/before/$file" "build-ref/after/$file"; then
    echo "differs from ${ref:0:7}: $file"
    status=1
  fi
done < <(cd build-ref/before && find . -type f | sort)
[ "$(cd build-ref/after && find . -type f | wc -l)" -eq "$count" ] || {
  echo "the two builds wrote different sets of files"; status=1; }
[ $status -eq 0 ] && echo "same pictures: $count files byte-identical to ${ref:0:7}"
exit $status
