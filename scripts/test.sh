#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit, command-line
# and render tests, then the unit tests again under the address and
# undefined-behaviour sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default -j2

cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize -j2
