#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: where there is a
# display, the interactive viewer; without one, the world summary and a short
# rendered tour of the lake written as PNG frames to tour/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } && [ -x build/bin/tarvelin ]; then
    exec ./build/bin/tarvelin
fi
./build/bin/tarvelin_render --frames 0 --summary
scripts/tour.sh tour
