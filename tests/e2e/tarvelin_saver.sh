#!/usr/bin/env bash
# tarvelin_saver: asks nothing, runs full screen at 1024 x 768 with the cursor
# hidden, keeps the X screensaver off (even where SDL is told to allow it),
# shows the lake and its credit line once the title sequence is over
# (no sooner than 770 frames at 60 a second allow), ends with code 0 on the
# close button, and with Escape held from the start once the title allows it.
# Usage: tarvelin_saver.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/saver
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"

start_xvfb 1024x768

# The X screensaver starts after 1 s without input, while nothing runs...
"$PROBE" saver 1 >/dev/null || fail "no screensaver extension"
sleep 2.5
[ "$("$PROBE" saver)" = "on" ] || fail "the X screensaver does not start by itself"
xdotool mousemove 5 5
sleep 0.3
[ "$("$PROBE" saver)" = "off" ] || fail "input does not stop the X screensaver"

export SDL_VIDEO_ALLOW_SCREENSAVER=1
start_app tarvelin_saver
id=$(wait_window "$TITLE" 60) || exit 1
opened=$(date +%s.%N)
# ...and not while the program runs.
sleep 3
[ "$("$PROBE" saver)" = "off" ] || fail "the X screensaver started while the program ran"
"$PROBE" saver 0 >/dev/null
size=$(window_size "$id")
[ "$size" = "1024x768" ] || fail "window is $size, not 1024x768"
[ "$(cursor_over "$id")" = "hidden" ] || fail "the cursor shows in full screen"
pic=$(wait_for_lake "$id" 240) || exit 1
took=$(elapsed_since "$opened")
note "lake after $took s"
awk -v t="$took" 'BEGIN { exit !(t >= 12.5) }' || fail "title over after $took s: more than 60 frames a second"
cp "$pic" "$OUT/lake.ppm"
others=$(window_titles | grep -v -x -F "$TITLE" | grep -v '^$' || true)
[ -z "$others" ] || fail "other windows: $others"
text=$(stat_field "$OUT/lake.ppm" 430 740 320 28 4)
note "credit line: $text red text pixels"
[ "$text" -gt 200 ] || fail "no credit line"
"$PROBE" close "$id" || fail "could not send the close request"
rc=$(wait_app_exit 20) || exit 1
[ "$rc" = "0" ] || fail "exit code $rc after the close button"

start_app tarvelin_saver
id=$(wait_window "$TITLE" 60) || exit 1
opened=$(date +%s.%N)
focus "$id"
xdotool keydown Escape
rc=$(wait_app_exit 240) || exit 1
xdotool keyup Escape
took=$(elapsed_since "$opened")
note "Escape held: exit code $rc after $took s"
[ "$rc" = "0" ] || fail "exit code $rc after Escape"
awk -v t="$took" 'BEGIN { exit !(t >= 9.5) }' || fail "ended after $took s: more than 60 frames a second"
