#!/usr/bin/env bash
# Configures and builds the programs into build/bin/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default >/dev/null
cmake --build --preset default
