#!/usr/bin/env bash
# tarvelin asking for full screen where the display has no 1024 x 768 mode:
# the fallback question; No ends the program with code 1 (it could not run)
# after "Program Will Now Close." and a line on standard error; Yes gives a 1024 x 768 window, in which Escape held from the
# start ends the program once the title allows it: after at least 600
# frames, which at no more than 60 frames a second take 10 s.
# Usage: tarvelin_fallback.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/fallback
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"

start_xvfb 1280x1024

# Declining the window.
start_app tarvelin
answer "Start FullScreen?" Return
answer "Start In A Soft Mode?" Escape
answer "Kalo GL" Escape
answer "ERROR" Return
rc=$(wait_app_exit 20) || exit 1
[ "$rc" = "1" ] || fail "exit code $rc after declining the window, not 1"
note "declined: exit code 1"

# Accepting it.
start_app tarvelin
answer "Start FullScreen?" Return
answer "Start In A Soft Mode?" Escape
answer "Kalo GL" Return
id=$(wait_window "$TITLE" 30) || exit 1
opened=$(date +%s.%N)
size=$(window_size "$id")
[ "$size" = "1024x768" ] || fail "window is $size, not 1024x768"
note "window $id $size"
[ "$(cursor_over "$id")" = "visible" ] || fail "the cursor is hidden in a window"

focus "$id"
xdotool keydown Escape
rc=$(wait_app_exit 240) || exit 1
xdotool keyup Escape
took=$(elapsed_since "$opened")
note "Escape held: exit code $rc after $took s"
[ "$rc" = "0" ] || fail "exit code $rc after Escape"
awk -v t="$took" 'BEGIN { exit !(t >= 9.5) }' || fail "ended after $took s: more than 60 frames a second"
