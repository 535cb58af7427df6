# A private Xvfb for an end-to-end test, shared by lib.sh (the Linux programs)
# and wine_lib.sh (the Windows programs under Wine). Sourced; the caller
# provides fail MESSAGE, and calls xvfb_stop when it clears away.

XVFB_PID=""

# xvfb_start WIDTHxHEIGHTxDEPTH [LOG]: starts Xvfb with that screen on a free
# display number, waits until it takes clients, and exports DISPLAY. The
# server's output goes to LOG (default: nowhere).
xvfb_start() {
  local screen=$1 log=${2:-/dev/null} fd_file
  fd_file=$(mktemp)
  # -displayfd: the server picks a free display and writes its number once it
  # accepts clients. -noreset: it keeps its settings and accepts clients while
  # the last one leaves (each message box is a client of its own).
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$fd_file" >"$log" 2>&1 &
  XVFB_PID=$!
  local _
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$fd_file" ]; then
    rm -f "$fd_file"
    fail "Xvfb did not start"
  fi
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
  unset WAYLAND_DISPLAY
}

# xvfb_stop: ends the server xvfb_start started, if it runs.
xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
