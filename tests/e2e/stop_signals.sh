#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end both programs promptly wherever they are:
# while a message box is up (the "Kalo GL" question on a display without a
# 1024 x 768 mode, a start question) and while the loop runs. SIGTERM and
# SIGINT end them with code 0, SIGHUP with 129.
# Usage: stop_signals.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/signals
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/saver_lib.sh"
trap 'end_apps; cleanup' EXIT
TITLE="OpenGL WinAPI template by Orvandel"

# expect_stop SIGNAL CODE WHAT: sends the signal and checks the end.
expect_stop()
{
    stop_app "$1" 5
    note "$3, SIG$1: exit code $STOP_RC after $STOP_TOOK s"
    [ "$STOP_RC" = "$2" ] || fail "$3: exit code $STOP_RC after SIG$1, not $2"
    awk -v t="$STOP_TOOK" 'BEGIN { exit !(t <= 1.0) }' || fail "$3: SIG$1 took $STOP_TOOK s"
    # The server takes the windows of a client that has gone a moment later.
    for _ in $(seq 1 20); do
        [ -z "$(find_window "$4")" ] && return 0
        sleep 0.1
    done
    fail "$3: the window \"$4\" is still there"
}

start_xvfb 1280x1024

start_app_pid tarvelin
answer "Start FullScreen?" Return
answer "Start In A Soft Mode?" Escape
wait_window "Kalo GL" 30 >/dev/null || exit 1
sleep 0.3
expect_stop TERM 0 "viewer, \"Kalo GL\" box up" "Kalo GL"

start_app_pid tarvelin_saver
wait_window "Kalo GL" 60 >/dev/null || exit 1
sleep 0.3
expect_stop INT 0 "saver, \"Kalo GL\" box up" "Kalo GL"

start_app_pid tarvelin
wait_window "Start FullScreen?" 60 >/dev/null || exit 1
sleep 0.3
expect_stop HUP 129 "viewer, first question up" "Start FullScreen?"

start_app_pid tarvelin
answer "Start FullScreen?" Escape
answer "Start In A Soft Mode?" Escape
wait_window "$TITLE" 30 >/dev/null || exit 1
sleep 1
expect_stop TERM 0 "viewer in its window" "$TITLE"

# During start-up, while the world is generated: half a second in, and at
# once, before main has run for long (a signal that comes before the
# handlers exist would end the program with the signal, not with code 0).
for delay in 0.5 0.01; do
  start_app_pid tarvelin --window --no-soft
  sleep "$delay"
  stop_app TERM 5
  note "viewer starting, SIGTERM after $delay s: exit code $STOP_RC after $STOP_TOOK s"
  [ "$STOP_RC" = 0 ] || fail "SIGTERM $delay s into start-up: exit code $STOP_RC, not 0"
  # The bound of the other stops: a busy machine (the end-to-end group runs
  # side by side) stretches a pass of the generation between two checks.
  awk -v t="$STOP_TOOK" 'BEGIN { exit !(t <= 1.0) }' || fail "SIGTERM $delay s into start-up took $STOP_TOOK s"
done

# A question box outlives no program, however it ends: after SIGKILL, the
# box's process goes too, and with it the box.
start_app_pid tarvelin
wait_window "Start FullScreen?" 60 >/dev/null || exit 1
kill -KILL "$APP_OWN_PID"
for _ in $(seq 1 30); do
  [ -z "$(find_window "Start FullScreen?")" ] && break
  sleep 0.1
done
[ -z "$(find_window "Start FullScreen?")" ] || fail "the question box stayed on the screen after SIGKILL"
wait_app_exit 5 >/dev/null || exit 1

# Accepting the window fallback: the saver in a window of its own.
start_app_pid tarvelin_saver
answer "Kalo GL" Return
wait_window "$TITLE" 30 >/dev/null || exit 1
sleep 1
expect_stop INT 0 "saver in its window" "$TITLE"
