#!/usr/bin/env bash
# Q and A on any keyboard layout: with the X server's layout switched by
# setxkbmap (us, fr, ru), the key labelled Q looks up and the key labelled
# A looks down; where a layout has no Latin letter on the key (ru), the key
# in Q's place on a US keyboard is Q. The fog's colour follows the pitch:
# brighter looking up, darker looking down.
# Usage: tarvelin_layouts.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/layouts
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"
command -v setxkbmap >/dev/null || fail "setxkbmap is missing (package x11-xkb-utils)"

start_xvfb 1280x1024
# Both questions answered on the command line: straight to a 640 x 480 window.
start_app tarvelin --window --soft
id=$(wait_window "$TITLE" 60) || exit 1
[ -z "$(find_window "Start FullScreen?")" ] || fail "a question was asked despite the options"
focus "$id"
wait_for_lake "$id" 180 >/dev/null || exit 1

# brightness NAME: the green of the most common colour of the view inside
# the instruments' frame: the fog's colour, which follows the pitch.
brightness() {
  local pic
  pic=$(grab "$id" "$1") || exit 1
  python3 "$(dirname "$0")/modal_colour.py" "$pic" 120 60 400 200 | awk '{print $2}'
}

# moved KEYSYM SIGN NAME: holds the key that carries KEYSYM on the current
# layout until the fog's green has moved by more than 5 from where it was,
# up (SIGN 1) or down (SIGN -1), and fails when it moves the other way or
# not at all within 20 s. Each key moves the pitch only as far as it takes,
# so the pitch stays well inside its limits from one layout to the next.
moved() {
  local before now tries=0
  before=$(brightness "$3-before")
  xdotool keydown "$1"
  while [ $tries -lt 100 ]; do
    sleep 0.2
    now=$(brightness "$3")
    [ $(( (now - before) * $2 )) -gt 5 ] && break
    [ $(( (before - now) * $2 )) -gt 5 ] && { xdotool keyup "$1"; fail "$3: '$1' moved the view the wrong way ($before to $now)"; }
    tries=$((tries + 1))
  done
  xdotool keyup "$1"
  [ $tries -lt 100 ] || fail "$3: holding '$1' for 20 s did not move the view ($before to $now)"
  note "$3: '$1' moved the fog's green from $before to $now"
}

# US, then French (AZERTY: the keys labelled Q and A are in each other's
# places) and Russian (no Latin letters). What the key map makes of a key
# and its place is checked by the unit tests; this checks that the X
# server's layout reaches it through SDL as it does on a user's desktop.
for layout in us fr ru; do
  setxkbmap "$layout" || fail "setxkbmap $layout failed"
  case $layout in
    ru) q=Cyrillic_shorti a=Cyrillic_ef ;;  # the keys in Q's and A's places
    *) q=q a=a ;;
  esac
  focus "$id"
  moved "$q" 1 "$layout-up"
  moved "$a" -1 "$layout-down"
done
setxkbmap us

xdotool keydown Escape
rc=$(wait_app_exit 20) || exit 1
xdotool keyup Escape
[ "$rc" = "0" ] || fail "exit code $rc after Escape"
note "Escape: exit code 0"
