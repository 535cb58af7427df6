#!/usr/bin/env bash
# Renders a short tour without a display: the title sequence, the tower's
# poles, a swim down over the lake bed in the lamp's light, and the climb to
# the rippled surface. PNG frames go to the folder given (default: tour).
# Usage: scripts/tour.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-tour}
./build/bin/tarvelin_render --frames 1450 --out "$out" \
  --shot 700,772,950,1450 \
  --keys "a@772-810,up@772-1380,left@900-960,q@961-1060,a@1381-1430"
echo "tour: the title in $out/frame-000700.png, the lake in $out/frame-000772.png, frame-000950.png and frame-001450.png"
