#!/usr/bin/env bash
# The page's figures in headless Chromium (SwiftShader's WebGL 2), in real
# time: the main view's frame times over the README's swim, the time from the
# page's start to its first title frame, and the page's size (the HTML, the
# script and the WebAssembly). Build the page first (scripts/build-web.sh).
# The swim runs twice: as Chromium sets itself up on a machine without a GPU
# (WebGL on SwiftShader, the page composited in software), then with the
# browser's compositing on SwiftShader as well, as the tests run it; the two
# share the machine's cores, so the second is slower (tests/web/drive.js).
# Usage: bench/web-bench.sh [FRAMES KEYS]   (default: 900 up@800-900,left@850-870)
#        WEB=DIR for a page built elsewhere (default: build-web)
set -euo pipefail
cd "$(dirname "$0")/.."
frames=${1:-900}
keys=${2:-up@800-900,left@850-870}
web=${WEB:-build-web}
[ -f "$web/tarvelin.wasm" ] || { echo "web-bench.sh: no page in $web (scripts/build-web.sh builds it)" >&2; exit 1; }
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server --bind 127.0.0.1 --directory "$web" "$port" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null && break
  sleep 0.2
done
for gpu in auto swiftshader; do
  case $gpu in
    auto) echo "Chromium's own set-up without a GPU (WebGL on SwiftShader, the page composited in software):" ;;
    swiftshader) echo "everything on SwiftShader (--use-angle=swiftshader, the page composited there too):" ;;
  esac
  CHROMIUM_GPU=$gpu node tests/web/drive.js "http://127.0.0.1:$port/?frames=$frames&keys=$keys&bench" \
    wait "document.title == 'done $frames'" 900 print "document.getElementById('bench').textContent"
done
size=$(cat "$web/index.html" "$web/tarvelin.js" "$web/tarvelin.wasm" | wc -c)
echo "page size: $size bytes (index.html, tarvelin.js, tarvelin.wasm)"
echo "machine load (1, 5, 15 minutes): $(cut -d' ' -f1-3 /proc/loadavg)"
