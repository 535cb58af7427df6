#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit, command-line,
# render and end-to-end tests; then under the address and undefined-behaviour
# sanitizers the unit tests, the renderer's command-line and frame tests and a
# short flight of each program; then the Windows builds and their tests under
# wine64; and the web build with its tests.
set -euo pipefail
cd "$(dirname "$0")/.."
# Everything at once: one package index update for the Linux and the Windows tools.
scripts/install-deps.sh windows web

cmake --preset default >/dev/null
cmake --build --preset default
# The preset leaves out the Windows programs' tests (run below, once they are
# built), the load test and the screensaver inhibition test (run next).
ctest --preset default -j2
# F1 with the machine kept busy: alone, since its load would slow the others;
# then the two minutes of waiting for XScreenSaver's idle timeout.
ctest --test-dir build --output-on-failure -L 'load|idle'

# The web page and tarvelin_world.js (Emscripten), then their tests: the world
# under Node and the page in headless Chromium against the native programs.
scripts/build-web.sh
TARVELIN_REQUIRE_WEB=1 ctest --test-dir build --output-on-failure -L web

# The sanitizer build is optimised lightly (-O1, line tables only: see
# CMakePresets.json), which halves its compile time; the reports still
# name files and lines.
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j2

# The Windows programs: both cross builds, the 32-bit files checked to be
# PE32 (there is no 32-bit Wine here to run them), the 64-bit ones run under
# wine64 and Xvfb, where a missing tool is a failure, not a skip.
scripts/build-windows.sh
TARVELIN_REQUIRE_WINE=1 ctest --test-dir build --output-on-failure -j2 -L 'wine|windows'
