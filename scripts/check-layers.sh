#!/usr/bin/env bash
# Fails on any project include that points up the layer list, or sideways
# into another folder of the same rank (docs/HACKING.md has the rule):
#   common < gles < render < lakebed < objects < instruments < scene < shell
#   < shell/freetype, shell/posix < shell/x11
#   < shell/sdl, shell/win32, shell/headless, shell/world, shell/web
# A folder may always include its own headers. tests/ and bench/ may include
# anything.
# Usage: scripts/check-layers.sh [ROOT]    (default: the repository)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# rank FOLDER: the folder's place in the list, or nothing for folders outside it.
rank() {
  case "$1" in
    common) echo 0 ;; gles) echo 1 ;; render) echo 2 ;; lakebed) echo 3 ;; objects) echo 4 ;;
    instruments) echo 5 ;; scene) echo 6 ;; shell) echo 7 ;;
    shell/freetype|shell/posix) echo 8 ;; shell/x11) echo 9 ;;
    shell/sdl|shell/win32|shell/headless|shell/world|shell/web) echo 10 ;;
    *) echo "" ;;
  esac
}

# folder_of PATH: the layer folder a file or header path belongs to.
folder_of() {
  case "$1" in
    shell/*/*) echo "${1%%/*}/$(echo "$1" | cut -d/ -f2)" ;;
    */*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

failures=0
checked=0
while IFS= read -r file; do
  from=$(folder_of "$file")
  from_rank=$(rank "$from")
  [ -n "$from_rank" ] || continue
  checked=$((checked + 1))
  while IFS= read -r line; do
    header=$(echo "$line" | sed -E 's/^#include "([^"]+)".*/\1/')
    to=$(folder_of "$header")
    to_rank=$(rank "$to")
    [ -n "$to_rank" ] || continue
    [ "$to" = "$from" ] && continue
    if [ "$to_rank" -ge "$from_rank" ]; then
      if [ "$to_rank" -gt "$from_rank" ]; then how="up"; else how="sideways"; fi
      echo "$file: includes $header ($how: $from may only use the layers below it)"
      failures=$((failures + 1))
    fi
  done < <(grep -E '^#include "' "$root/$file" || true)
done < <(cd "$root" && git ls-files --cached --others --exclude-standard -- '*.h' '*.cpp' | sort)

if [ "$failures" -ne 0 ]; then
  echo "layer check: $failures include(s) against the layer order"
  exit 1
fi
echo "layer check: $checked files, every include points down"
