#!/usr/bin/env bash
# tarvelin answered No (full screen) and Yes (soft mode): the questions come
# before any window, a 640 x 480 window with the program's title and its
# icon (the 64 x 64 monogram: a black tile, transparent corners, yellow
# letters) shows the lake and the credit line, and its close button ends the
# program with 0.
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

# The icon as _NET_WM_ICON: width, height, then one ARGB value a pixel.
icon=$(xprop -id "$id" -notype 32c _NET_WM_ICON | sed 's/^_NET_WM_ICON = //' | tr ',' '\n' | awk '
    NR == 1 { w = $1 } NR == 2 { h = $1 }
    NR == 3 { corner = $1 }
    NR > 2 { v = $1 + 0; a = int(v / 16777216); r = int(v / 65536) % 256; g = int(v / 256) % 256; b = v % 256
             n++; if (a == 255 && r + g + b == 0) black++; if (a == 255 && r > 180 && g > 180 && b < 100) yellow++ }
    END { printf "%dx%d %d corner %d black %d yellow %d", w, h, n, corner, black, yellow }')
note "icon: $icon"
read -r icon_size icon_pixels _ icon_corner _ icon_black _ icon_yellow <<<"$icon"
[ "$icon_size" = "64x64" ] && [ "$icon_pixels" = "4096" ] || fail "no 64 x 64 icon: $icon"
[ "$icon_corner" = "0" ] || fail "the icon's corner is not transparent: $icon"
[ "$icon_black" -gt 1000 ] && [ "$icon_yellow" -gt 100 ] || fail "the icon is not the monogram on its tile: $icon"
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
