#!/usr/bin/env bash
# Builds the web page, then serves build-web/ on http://127.0.0.1:8000/ (PORT
# in the environment chooses another port) until interrupted.
# Usage: scripts/serve-web.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh
port=${PORT:-8000}
echo "serving the lake on http://127.0.0.1:$port/ (?saver for the screensaver); Ctrl+C ends"
exec python3 -m http.server --bind 127.0.0.1 --directory build-web "$port"
