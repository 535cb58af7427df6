#!/usr/bin/env bash
# Q and A on any keyboard layout: with the X server's layout switched by
# setxkbmap (us, fr, de, ru), the key labelled Q looks up and the key labelled
# A looks down; where a layout has no Latin letter on the key (ru), the key
# in Q's place on a US keyboard is Q. The fog's colour follows the pitch:
# brighter looking up, darker looking down; holding each key long enough
# (one degree a frame, 178 frames from one limit to the other) pins the
# pitch at its limit, so every layout must give the US layout's colours.
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

# held KEYSYM NAME: holds the key that carries KEYSYM on the current layout
# until the fog's colour stops changing (the pitch has reached its limit,
# however fast the frames come), then prints that colour's green.
held() {
  local now last="" steady=0 tries=0
  xdotool keydown "$1"
  while [ $tries -lt 30 ]; do
    sleep 1
    now=$(brightness "$2")
    if [ "$now" = "$last" ]; then
      steady=$((steady + 1))
      [ $steady -ge 2 ] && break
    else
      steady=0
    fi
    last=$now
    tries=$((tries + 1))
  done
  xdotool keyup "$1"
  echo "$now"
}

up_us="" down_us=""
for layout in us fr de ru; do
  setxkbmap "$layout" || fail "setxkbmap $layout failed"
  case $layout in
    ru) q=Cyrillic_shorti a=Cyrillic_ef ;;  # the keys in Q's and A's places
    *) q=q a=a ;;
  esac
  focus "$id"
  up=$(held "$q" "$layout-up")
  down=$(held "$a" "$layout-down")
  note "$layout: '$q' gives fog green $up, '$a' gives $down"
  [ "$up" -gt $((down + 5)) ] || fail "$layout: Q did not look up and A down ($up vs $down)"
  if [ "$layout" = us ]; then
    up_us=$up down_us=$down
  else
    [ "$up" -ge $((up_us - 1)) ] && [ "$up" -le $((up_us + 1)) ] ||
      fail "$layout: looking up differs from the US layout ($up vs $up_us)"
    [ "$down" -ge $((down_us - 1)) ] && [ "$down" -le $((down_us + 1)) ] ||
      fail "$layout: looking down differs from the US layout ($down vs $down_us)"
  fi
done
setxkbmap us

xdotool keydown Escape
rc=$(wait_app_exit 20) || exit 1
xdotool keyup Escape
[ "$rc" = "0" ] || fail "exit code $rc after Escape"
note "Escape: exit code 0"
