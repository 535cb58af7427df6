#!/usr/bin/env bash
# A window destroyed by another client (xdotool windowclose) ends the
# program within 2 s with exit code 1, full screen and windowed, through its
# own shutdown: one line saying the window was closed by another program,
# never Xlib's own error report (which would end it before the display mode
# is restored).
# Without care this hangs: SDL's own X error handler talks to the server
# from inside the error and deadlocks there, deaf to SIGTERM. The race is
# not certain to be hit in one try, so the full-screen case runs three times.
# Usage: tarvelin_destroyed.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/destroyed
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
TITLE="OpenGL WinAPI template by Orvandel"

start_xvfb 1024x768

# destroy_window_of PROGRAM ARGS...: starts it, destroys its window once it
# draws, and expects it gone within 2 s with a non-zero code.
destroy_window_of() {
  start_app "$@" 2>"$OUT/stderr"
  local id rc
  id=$(wait_window "$TITLE" 60) || exit 1
  sleep 2
  xdotool windowclose "$id" || fail "xdotool could not destroy window $id"
  local start=$(date +%s.%N)
  rc=$(wait_app_exit 2) || {
    # Its own program only: the other end-to-end tests run beside this one.
    pkill -KILL -P "$APP_PID" 2>/dev/null
    kill -KILL "$APP_PID" 2>/dev/null
    fail "$* still ran 2 s after its window was destroyed"
  }
  note "$*: ended $(elapsed_since "$start") s after its window was destroyed, exit code $rc"
  [ "$rc" = "1" ] || fail "$*: exit code $rc after losing its window, not 1: $(cat "$OUT/stderr")"
  grep -q "^$1: the window was closed by another program" "$OUT/stderr" ||
    fail "$*: no line saying the window was closed: $(cat "$OUT/stderr")"
  ! grep -q "X Error of failed request" "$OUT/stderr" || fail "$*: ended by Xlib's error report: $(cat "$OUT/stderr")"
}

for n in 1 2 3; do
  destroy_window_of tarvelin_saver
done
destroy_window_of tarvelin --window --no-soft
