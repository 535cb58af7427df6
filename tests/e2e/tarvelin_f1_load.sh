#!/usr/bin/env bash
# F1 on a busy machine: with four busy loops beside it, sixty F1 presses
# 0.3 s apart, starting windowed and starting full screen, leave the viewer
# running, with no "ERROR" box; SIGTERM then ends it with code 0. Each switch
# opens its new window on the display and video driver of the first.
# Usage: tarvelin_f1_load.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/f1-load
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"

start_xvfb 1024x768
busy=()
for _ in 1 2 3 4; do
  sh -c 'while :; do :; done' &
  busy+=($!)
done
trap 'kill "${busy[@]}" 2>/dev/null; cleanup' EXIT

for start in --window --fullscreen; do
  err=$OUT/stderr$start
  start_app tarvelin "$start" --no-soft 2>"$err"
  wait_window "$TITLE" 60 >/dev/null || exit 1
  for n in $(seq 1 60); do
    id=$(find_window "$TITLE")
    [ -n "$id" ] && xdotool windowfocus "$id" 2>/dev/null
    xdotool key F1
    sleep 0.3
    [ -z "$(find_window ERROR)" ] || fail "$start: an ERROR box after F1 number $n: $(cat "$err")"
    app_running || fail "$start: the viewer ended after F1 number $n: $(cat "$err")"
  done
  pkill -TERM -P "$APP_PID"
  rc=$(wait_app_exit 20) || exit 1
  [ "$rc" = 0 ] || fail "$start: exit code $rc after SIGTERM: $(cat "$err")"
  note "$start: 60 F1 presses under load, then SIGTERM: exit code 0"
done
