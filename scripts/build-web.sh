#!/usr/bin/env bash
# Builds the web page (build-web/index.html, tarvelin.js, tarvelin.wasm) and
# tarvelin_world.js with Debian's Emscripten; the font's glyphs come from the
# native build (build/), which is built first.
# Usage: scripts/build-web.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
# Emscripten's optimiser looks for acorn among Node's modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
cmake --preset default >/dev/null
cmake --build --preset default --target tarvelin_glyphs
cmake --preset web -DTARVELIN_GLYPHS="$PWD/build/bin/tarvelin_glyphs" >/dev/null
cmake --build --preset web
