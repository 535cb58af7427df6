#!/usr/bin/env bash
# The page in headless Chromium (SwiftShader's WebGL 2): a few frames of the
# fixed set (the title, the swim among the ribbons, the screensaver's turn,
# the soft mode, and the swim again as Chromium sets itself up without a GPU),
# each run with frames=N and keys=SCRIPT until the page says "done N", its
# last frame then compared with tarvelin_render's: at least 98 % of the
# pixels within 8 levels per channel. Where the page shows each frame as its
# background colour only (its drawing not yet in), each last frame must be one
# colour. Skips (77) where the web build or Chromium is missing, unless
# TARVELIN_REQUIRE_WEB=1 makes that a failure.
# Usage: web_page.sh BUILD_WEB_DIR TARVELIN_RENDER
set -u
web=$1
render=$2
here=$(dirname "$0")
if [ ! -f "$web/index.html" ] || [ ! -f "$web/tarvelin.wasm" ] || ! command -v chromium >/dev/null; then
  echo "web_page: no page in $web or no chromium (scripts/build-web.sh, scripts/install-deps.sh web)"
  [ "${TARVELIN_REQUIRE_WEB:-0}" = 1 ] && exit 1
  exit 77
fi
work=$(mktemp -d -p "$([ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
server=""
trap '[ -n "$server" ] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The page, its script and its WebAssembly: at most 2 MB (the world is generated, not shipped).
size=$(cat "$web/index.html" "$web/tarvelin.js" "$web/tarvelin.wasm" | wc -c)
[ "$size" -le 2000000 ] || fail "the page is $size bytes, more than 2 MB"

# A port of our own, then the page's folder served on it.
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server --bind 127.0.0.1 --directory "$web" "$port" >"$work/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
  python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/index.html')" 2>/dev/null && break
  sleep 0.2
done

# shot NAME FRAMES KEYS [saver|soft]: the page's last frame of the run, and the native one.
# CHROMIUM_GPU=auto: as Chromium sets itself up without a GPU (tests/web/drive.js).
shot() {
  local name=$1 frames=$2 keys=$3 mode=${4:-} width=1024 height=768 angle=(--use-angle=swiftshader)
  [ "${CHROMIUM_GPU:-swiftshader}" = auto ] && angle=()
  local query="frames=$frames" native=(--frames "$frames" --shot "$frames" --out "$work/$name")
  [ -n "$keys" ] && query="$query&keys=$keys" && native+=(--keys "$keys")
  [ -n "$mode" ] && query="$mode&$query" && native+=("--$mode")
  [ "$mode" = soft ] && width=640 height=480
  timeout 300 chromium --headless=new --no-sandbox --enable-unsafe-swiftshader "${angle[@]}" \
    --user-data-dir="$work/profile-$name" --window-size=1024,768 --virtual-time-budget=3600000 \
    --dump-dom "http://127.0.0.1:$port/?$query" >"$work/$name.html" 2>"$work/$name.chromium"
  local drawing
  if ! drawing=$(python3 "$here/frames.py" page "$work/$name.html" "$work/$name.png" $width $height "$frames"); then
    fail "$name ($query): $drawing"
    return
  fi
  if [ "$drawing" = lake ]; then
    "$render" "${native[@]}" >/dev/null || fail "$name: tarvelin_render exited $?"
    python3 "$here/frames.py" compare "$work/$name.png" "$(printf '%s/%s/frame-%06d.png' "$work" "$name" "$frames")" \
      0.98 8 || fail "$name: the page's frame $frames is not the native one"
  else
    echo "$name: the page shows each frame as its background colour ($drawing)"
    python3 "$here/frames.py" uniform "$work/$name.png" || fail "$name: more than the background colour"
  fi
}

# The page as a user has it, in real time: both questions answered from the
# keyboard (Return: Yes, full screen; Escape: No, no soft mode), frames
# coming, F1 switching full screen on the way. Full screen left by the
# browser itself (its Escape) comes back at one F1. F1 is held a moment, as
# a hand holds it: the browser grants full screen in a key's event only.
status="swimStatus().split(' ')"
question="!\$('question').hidden && \$('question').querySelector('p').textContent"
full="'full screen ' + !!document.fullscreenElement"
f1=(down F1 sleep 1 up F1)
node "$here/drive.js" "http://127.0.0.1:$port/" \
  wait "$question" 120 print "$question" key Enter \
  wait "$question && !\$('question').querySelector('p').textContent.includes('full')" print "$question" key Escape \
  wait "$status[1] > 3" 120 wait "document.fullscreenElement" 20 print "$full" \
  print "(document.exitFullscreen(), 'left')" wait "!document.fullscreenElement" 20 \
  "${f1[@]}" wait "document.fullscreenElement" 20 print "$full" \
  "${f1[@]}" wait "!document.fullscreenElement" 20 print "$full" \
  wait "$status[1] > 8" 120 print "swimStatus()" >"$work/start.log" 2>&1 ||
  fail "the start in real time (exit code $?): $(cat "$work/start.log")"
cat "$work/start.log"
[ "$(wc -l <"$work/start.log")" -eq 7 ] && [ "$(sed -n 1p "$work/start.log")" != "$(sed -n 2p "$work/start.log")" ] ||
  fail "the two questions were not both asked"
[ "$(sed -n 3,6p "$work/start.log" | tr '\n' ' ')" = "full screen true left full screen true full screen false " ] ||
  fail "F1 did not switch full screen: $(sed -n 3,6p "$work/start.log" | tr '\n' ' ')"
# The keys, with the frames as fast as they come (no script: the keyboard
# drives): a tap of Left turns the camera once the title is over (however
# late a loaded machine delivers the tap), Escape ends the swim with the page
# that offers to start again.
node "$here/drive.js" "http://127.0.0.1:$port/?frames=100000" \
  wait "$status[1] > 800" 300 print "(window.yawBefore = $status[7])" key ArrowLeft \
  wait "$status[7] != window.yawBefore" 120 print "$status[7]" \
  key Escape wait "!\$('ended').hidden" print "swimStatus()" >"$work/keys.log" 2>&1 ||
  fail "the keys (exit code $?): $(cat "$work/keys.log")"
cat "$work/keys.log"
[ "$(sed -n 1p "$work/keys.log")" != "$(sed -n 2p "$work/keys.log")" ] || fail "Left did not turn the camera"
grep -q "done 1" "$work/keys.log" || fail "Escape did not end the swim"

# Without WebGL 2 the page says so in the box the desktop programs show.
timeout 120 chromium --headless=new --no-sandbox --enable-unsafe-swiftshader --use-angle=swiftshader --disable-webgl2 \
  --user-data-dir="$work/profile-none" --virtual-time-budget=60000 --dump-dom "http://127.0.0.1:$port/?frames=10" \
  >"$work/none.html" 2>/dev/null
grep -q '<div id="message" class="box"><h1>[^<]*</h1><p>Can.t Create A GL Rendering Context' "$work/none.html" ||
  fail "without WebGL 2 the page showed no message: $(grep -o '<div id="message".*' "$work/none.html")"

shot title 700 ""
shot swim 900 "a@771-810,up@811-900,left@850-880"
shot saver 800 "" saver
shot soft 900 "a@771-800,up@801-900,right@820-840" soft
# The swim as the benchmark's first figure has it: Chromium's own set-up.
CHROMIUM_GPU=auto shot swim-auto 900 "a@771-810,up@811-900,left@850-880"

echo "web_page: $failures failure(s)"
[ $failures -eq 0 ]
