#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit and render
# tests, then the same unit tests under the address and undefined-behaviour
# sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

scripts/build.sh build
ctest --test-dir build --output-on-failure -j2

scripts/build.sh build-sanitize -DTARVELIN_SANITIZE=ON -DTARVELIN_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ctest --test-dir build-sanitize --output-on-failure -j2 -L unit
