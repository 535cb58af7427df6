#!/usr/bin/env bash
# tarvelin full screen at 1024 x 768; F1 pressed again and again switches
# between full screen (cursor hidden) and a window (cursor shown), each time
# in a new window and context that still show the tower and the credit line,
# on the X connection the program opened first (a video driver started again
# may pick another display or no display at all); Escape then ends the program
# with code 0.
# Usage: tarvelin_f1.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/f1
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"

start_xvfb 1024x768
start_app tarvelin
answer "Start FullScreen?" Return
answer "Start In A Soft Mode?" Escape
id=$(wait_window "$TITLE" 30) || exit 1
[ "$(window_size "$id")" = "1024x768" ] || fail "window is $(window_size "$id")"
[ "$(cursor_over "$id")" = "hidden" ] || fail "the cursor shows in full screen"
focus "$id"
pic=$(wait_for_lake "$id" 240) || exit 1
cp "$pic" "$OUT/switch-0.ppm"

# The start view looks at the tower's poles from close by. Scene: the upper
# part of the picture; credit line: (440, 10).
tower0=$(stat_field "$OUT/switch-0.ppm" 0 0 1024 460 3)
text0=$(stat_field "$OUT/switch-0.ppm" 430 740 170 28 4)
note "before F1: tower $tower0 px, text $text0 px"
[ "$tower0" -gt 20000 ] || fail "no tower in the start view"
[ "$text0" -gt 100 ] || fail "no credit line"

# The program's sockets (its X connection among them), by inode.
sockets() { ls -l /proc/"$(pgrep -P "$APP_PID" -x tarvelin)"/fd 2>/dev/null | grep -o 'socket:\[[0-9]*\]' | sort -u; }
sockets0=$(sockets)
[ -n "$sockets0" ] || fail "no sockets found for the program"

expected=visible
for n in 1 2 3 4; do
    tap F1
    # The new window hides the cursor in full screen and shows it in a
    # window; X may give it the old window's id again. The old window can
    # still be found for a moment after the new one has shown its cursor:
    # it is the new one once its size can be read.
    cursor=""
    for _ in $(seq 1 50); do
        id=$(find_window "$TITLE")
        [ -n "$id" ] && cursor=$(cursor_over "$id")
        [ "$cursor" = "$expected" ] && [ "$(window_size "$id")" != "x" ] && break
        sleep 0.2
    done
    [ "$cursor" = "$expected" ] || fail "F1 number $n: the cursor is still $cursor"
    [ "$(window_size "$id")" = "1024x768" ] || fail "window is $(window_size "$id")"
    focus "$id"
    sleep 1
    grab "$id" "switch-$n" >/dev/null || exit 1
    tower=$(stat_field "$OUT/switch-$n.ppm" 0 0 1024 460 3)
    text=$(stat_field "$OUT/switch-$n.ppm" 430 740 170 28 4)
    note "after F1 number $n: window $id, cursor $cursor, tower $tower px, text $text px"
    [ "$tower" -gt $((tower0 / 2)) ] || fail "the tower is gone after F1 number $n"
    [ "$text" -gt $((text0 / 2)) ] || fail "the credit line is gone after F1 number $n"
    [ "$expected" = visible ] && expected=hidden || expected=visible
    [ -z "$(comm -23 <(echo "$sockets0") <(sockets))" ] || fail "F1 number $n closed the program's first X connection"
done

xdotool keydown Escape
rc=$(wait_app_exit 20) || exit 1
xdotool keyup Escape
[ "$rc" = "0" ] || fail "exit code $rc after Escape"
note "Escape: exit code 0"
