#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: the interactive
# viewer where there is a display, the headless tour where there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } && [ -x build/bin/tarvelin ]; then
    exec ./build/bin/tarvelin
elif [ -x scripts/tour.sh ]; then
    exec scripts/tour.sh
else
    ./build/bin/tarvelin_render --frames 0 --summary
fi
