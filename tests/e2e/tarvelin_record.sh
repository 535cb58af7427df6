#!/usr/bin/env bash
# A swim recorded in the viewer replays exactly: tarvelin under Xvfb with
# --record, driven by xdotool (swim, turn, look up and down, F1 to a window and
# back), ended by SIGTERM; tarvelin_render --replay then draws the same frames
# and finds the camera where the recording left it.
# Usage: tarvelin_record.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/record
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"
SWIM=$OUT/swim.txt
rm -f "$SWIM"

# hold KEY SECONDS
hold()
{
    xdotool keydown "$1"
    sleep "$2"
    xdotool keyup "$1"
}

# f1_to CURSOR: F1, then focus on the new window once its cursor is CURSOR.
f1_to()
{
    local id="" cursor=""
    tap F1
    for _ in $(seq 1 50); do
        id=$(find_window "$TITLE")
        [ -n "$id" ] && cursor=$(cursor_over "$id")
        [ "$cursor" = "$1" ] && break
        sleep 0.2
    done
    [ "$cursor" = "$1" ] || fail "F1 gave no window with the cursor $1"
    focus "$id"
}

start_xvfb 1024x768
start_app tarvelin --fullscreen --no-soft --record "$SWIM"
id=$(wait_window "$TITLE" 30) || exit 1
focus "$id"
wait_for_lake "$id" 240 >/dev/null || exit 1
hold Up 1.5
hold Left 0.5
hold q 0.4
f1_to visible
hold Down 0.4
hold a 0.3
f1_to hidden
hold Right 0.4
hold Up 0.5

kill -TERM "$(pgrep -P "$APP_PID" -x tarvelin)"
rc=$(wait_app_exit 20) || exit 1
[ "$rc" = "0" ] || fail "exit code $rc after SIGTERM"
[ -s "$SWIM" ] || fail "no recording after SIGTERM"
for key in up down left right q a f1; do
    grep -Eq " \+$key( |$)" "$SWIM" || fail "the recording has no +$key: $(cat "$SWIM")"
done
[ "$(grep -Eo ' \+f1( |$)' "$SWIM" | wc -l)" -eq 2 ] || fail "the recording has not two F1 presses"
note "recorded: $(tail -n 2 "$SWIM" | tr '\n' ' ')"

out=$("$BIN/tarvelin_render" --replay "$SWIM" 2>&1) || fail "the replay failed: $out"
note "$out"
[[ "$out" == *"the camera matches the recording"* ]] || fail "no verdict from the replay"
