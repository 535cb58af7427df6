#!/usr/bin/env bash
# Builds the Debian package from the sources alone: a fresh build folder
# (build-package/, made anew each time) without the tests and benchmarks,
# then CPack. Where lintian is installed, its findings are printed. The last
# line is the path of the .deb.
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh >/dev/null

rm -rf build-package
cmake --preset default -B build-package -DTARVELIN_TESTS=OFF -DTARVELIN_BENCH=OFF >/dev/null
cmake --build build-package >&2
(cd build-package && cpack -G DEB -B "$PWD/deb" >&2)
debs=(build-package/deb/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package.sh: cpack made no single .deb" >&2; exit 1; }
if command -v lintian >/dev/null; then
  lintian -I --pedantic "${debs[0]}" >&2 || true
fi
echo "$PWD/${debs[0]}"
