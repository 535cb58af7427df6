#!/usr/bin/env bash
# tarvelin answered No (full screen) and Yes (soft mode): the questions come
# before any window, a 640 x 480 window with the program's title shows the
# lake and the credit line, and its close button ends the program with 0.
# Usage: tarvelin_soft_window.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/soft_window
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"

start_xvfb 1280x1024
start_app tarvelin

wait_window "Start FullScreen?" 60 >/dev/null || exit 1
[ -z "$(find_window "$TITLE")" ] || fail "the window opened before the questions"
answer "Start FullScreen?" Escape
answer "Start In A Soft Mode?" Return

id=$(wait_window "$TITLE" 30) || exit 1
size=$(window_size "$id")
[ "$size" = "640x480" ] || fail "window is $size, not 640x480"
note "window $id $size"
[ "$(cursor_over "$id")" = "visible" ] || fail "the cursor is hidden in a window"

focus "$id"
pic=$(wait_for_lake "$id" 180) || exit 1
cp "$pic" "$OUT/lake.ppm"
# The soft layout's credit line: (160, 10) in overlay units, 1.6 pixels each.
text=$(stat_field "$OUT/lake.ppm" 246 440 200 36 4)
note "credit line: $text red text pixels"
[ "$text" -gt 50 ] || fail "no credit line in the soft layout's place"

"$PROBE" close "$id" || fail "could not send the close request"
rc=$(wait_app_exit 20) || exit 1
[ "$rc" = "0" ] || fail "exit code $rc after the close button"
note "closed, exit code 0"
