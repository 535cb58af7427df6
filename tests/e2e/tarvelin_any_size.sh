#!/usr/bin/env bash
# The viewer in a window of any size, and full screen at the desktop's own
# resolution: resized to 800 x 450, 1600 x 1200 and 500 x 900, the window
# shows the whole picture (five dials, the view frame, the credit line) with
# black bars beside or above and below it; --fullscreen=desktop covers the
# screen without changing the display mode and --fps shows the frame rate;
# F1 goes to a window and back to the desktop-sized full screen.
# Usage: tarvelin_any_size.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/any_size
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"
MODAL="python3 $(dirname "$0")/modal_colour.py"

# whole_picture PIC W H: checks the 1024 x 768 picture fitted in a W x H
# grab. Places in the picture are given in its own pixels from the bottom
# left, as the program draws them, and scaled into the grab here.
whole_picture() {
  local pic=$1 w=$2 h=$3 pw ph px py
  if [ $((w * 768)) -ge $((h * 1024)) ]; then
    ph=$h; pw=$(((h * 2048 + 768) / 1536)); px=$(((w - pw) / 2)); py=0
  else
    # Centred from the bottom: an odd leftover row goes above the picture.
    pw=$w; ph=$(((w * 1536 + 1024) / 2048)); px=0; py=$((h - ph - (h - ph) / 2))
  fi
  # at X Y: the grab's pixel of the picture's (X, Y).
  at() { echo $((px + $1 * pw / 1024)) $((py + (768 - $2) * ph / 768)); }
  local bar
  for bar in "0 0 $px $h" "$((px + pw)) 0 $((w - px - pw)) $h" "0 0 $w $py" "0 $((py + ph)) $w $((h - py - ph))"; do
    # shellcheck disable=SC2086
    set -- $bar
    [ "$3" -gt 0 ] && [ "$4" -gt 0 ] || continue
    [ "$(stat_field "$pic" $bar 1)" = "100" ] || fail "${w}x$h: the bar at $bar is not black"
  done
  # The dials' faces (centres and radii of the large layout): four mostly
  # teal, the last one's wedges in several colours (the frame is one).
  local dial x y r rgb
  for dial in "75 75 50" "200 75 62" "725 75 50" "825 75 37"; do
    read -r x y r <<<"$dial"
    # shellcheck disable=SC2046
    rgb=$($MODAL "$pic" $(at $((x - r / 2)) $((y + r / 2))) $((r * pw / 1024)) $((r * ph / 768)))
    read -r red green blue _ <<<"$rgb"
    [ "$green" -gt 110 ] && [ "$blue" -gt 110 ] && [ "$red" -lt 140 ] ||
      fail "${w}x$h: no dial face at ($x, $y): its commonest colour is $rgb"
  done
  # shellcheck disable=SC2046
  [ "$(stat_field "$pic" $(at 900 100) $((50 * pw / 1024)) $((50 * ph / 768)) 2)" -ge 4 ] ||
    fail "${w}x$h: no wedges in the last dial"
  # The frame's green band across the top, and the credit line under the view.
  # shellcheck disable=SC2046
  rgb=$($MODAL "$pic" $(at 20 760) $((980 * pw / 1024)) $((30 * ph / 768 + 1)))
  read -r red green blue _ <<<"$rgb"
  [ "$green" -gt 40 ] && [ "$red" -lt 30 ] && [ "$blue" -lt 30 ] || fail "${w}x$h: no green frame at the top: $rgb"
  # shellcheck disable=SC2046
  local text
  text=$(stat_field "$pic" $(at 430 26) $((180 * pw / 1024)) $((24 * ph / 768 + 1)) 3)
  [ "$text" -gt 10 ] || fail "${w}x$h: no credit line ($text reddish pixels)"
  note "${w}x$h: picture ${pw}x$ph at ($px, $py), bars black, five dials, frame, credit line ($text px)"
}

command -v xrandr >/dev/null || fail "xrandr is missing (package x11-xserver-utils)"
# viewable ID: waits until the window is mapped (SDL shows it once its
# context is made), so that it can take the focus.
viewable() {
  local _
  for _ in $(seq 1 100); do
    xwininfo -id "$1" 2>/dev/null | grep -q "Map State: IsViewable" && return 0
    sleep 0.1
  done
  fail "window $1 was not shown within 10 s"
}

start_xvfb 1920x1200
mode=$(xrandr --current | head -1)
[ -n "$mode" ] || fail "xrandr gives no screen size"
start_app tarvelin --window --no-soft
id=$(wait_window "$TITLE" 60) || exit 1
viewable "$id"
focus "$id"
wait_for_lake "$id" 180 >/dev/null || exit 1
for size in 800x450 1600x1200 500x900; do
  xdotool windowsize --sync "$id" "${size%x*}" "${size#*x}" || fail "could not resize to $size"
  sleep 1.5
  [ "$(window_size "$id")" = "$size" ] || fail "the window is $(window_size "$id"), not $size"
  whole_picture "$(grab "$id" "window-$size")" "${size%x*}" "${size#*x}"
done
pkill -TERM -P "$APP_PID"
rc=$(wait_app_exit 20) || exit 1
[ "$rc" = 0 ] || fail "exit code $rc after SIGTERM"

start_app tarvelin --fullscreen=desktop --no-soft --fps
id=$(wait_window "$TITLE" 60) || exit 1
viewable "$id"
focus "$id"
pic=$(wait_for_lake "$id" 180) || exit 1
[ "$(window_size "$id")" = "1920x1200" ] || fail "the desktop-sized window is $(window_size "$id")"
[ "$(xrandr --current | head -1)" = "$mode" ] || fail "the display mode changed: $(xrandr --current | head -1)"
whole_picture "$pic" 1920 1200
# The frame rate: yellow text in the picture's top left corner.
yellow=$(stat_field "$pic" 40 0 360 60 8)
[ "$yellow" -gt 20 ] || fail "--fps: no yellow figures in the top left corner ($yellow pixels)"
note "full screen at the desktop's 1920x1200, mode unchanged ($mode), frame rate shown ($yellow px)"
for size in 1024x768 1920x1200; do
  tap F1
  sleep 2
  id=$(wait_window "$TITLE" 30) || exit 1
  viewable "$id"
  [ "$(window_size "$id")" = "$size" ] || fail "F1: the window is $(window_size "$id"), not $size"
  focus "$id"
done
note "F1: a 1024x768 window, then the desktop-sized full screen again"
xdotool keydown Escape
rc=$(wait_app_exit 20) || exit 1
xdotool keyup Escape
[ "$rc" = 0 ] || fail "exit code $rc after Escape"
