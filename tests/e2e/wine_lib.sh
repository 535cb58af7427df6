# Helpers for the end-to-end tests of the Windows programs under wine64 and Xvfb.
# Sourced by wine_*.sh; a missing tool or build ends the test as skipped (77).

SKIP=77
E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$E2E_DIR/xvfb.sh"

skip() {
  if [ "${TARVELIN_REQUIRE_WINE:-0}" = 1 ]; then
    echo "FAIL: $* (TARVELIN_REQUIRE_WINE is set)"
    exit 1
  fi
  echo "SKIP: $*"
  exit $SKIP
}

fail() {
  echo "FAIL: $*"
  [ -n "${WINE_LOG:-}" ] && [ -f "$WINE_LOG" ] && { echo "--- wine log (tail)"; grep -a -v fixme "$WINE_LOG" | tail -20; }
  exit 1
}

# Finds the wine64 loader: Debian installs it in Wine's library folder, not on the PATH.
find_wine() {
  local candidate
  for candidate in "${WINE:-}" /usr/lib/wine/wine64 "$(command -v wine64 || true)" "$(command -v wine || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
      WINE=$candidate
      WINESERVER=$(dirname "$candidate")/wineserver
      [ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver || true)
      return 0
    fi
  done
  return 1
}

# Checks the tools and the program folder given as $1; sets BIN.
wine_test_setup() {
  BIN=${1:-}
  [ -n "$BIN" ] && [ -d "$BIN" ] || skip "no Windows build folder '${BIN}'"
  find_wine || skip "wine64 not installed"
  local tool
  for tool in Xvfb xdotool xwd python3; do
    command -v "$tool" >/dev/null || skip "$tool not installed"
  done
  WORK=$(mktemp -d)
  trap wine_test_cleanup EXIT
  trap "exit 143" TERM INT
}

# Starts Xvfb on a free display with the given screen size (WxHxD).
start_display() {
  xvfb_start "$1" "$WORK/xvfb.log"
}

# A fresh Wine prefix. "Courier New" is not installed under Wine here; its
# metric-compatible clone Liberation Mono stands in, as fontconfig does on Linux.
make_prefix() {
  export WINEPREFIX="$WORK/prefix"
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEDEBUG=-all
  "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 || fail "wineboot failed"
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Courier New' /t REG_SZ \
    /d 'Liberation Mono' /f >>"$WORK/wineboot.log" 2>&1 || fail "could not set the font replacement"
  "$WINESERVER" -w
}

# Starts a Windows program in the background; message box texts go to its log.
start_program() {
  WINE_LOG="$WORK/wine-$(basename "$1").log"
  WINEDEBUG=trace+msgbox "$WINE" "$@" >"$WINE_LOG" 2>&1 &
  PROGRAM_PID=$!
}

# Waits for the program to end within $1 seconds; sets EXIT_CODE.
wait_program() {
  local limit=$1 i
  for i in $(seq $((limit * 10))); do
    if ! kill -0 "$PROGRAM_PID" 2>/dev/null; then
      wait "$PROGRAM_PID" && EXIT_CODE=0 || EXIT_CODE=$?
      PROGRAM_PID=
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Prints the id of the first window whose title is exactly $1, waiting up to $2 seconds.
wait_window() {
  local title=$1 limit=$2 i id
  for i in $(seq $((limit * 2))); do
    id=$(xdotool search --name "^$(printf '%s' "$title" | sed 's/[]?*.^$()+|{}\\[]/\\&/g')\$" 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    if [ -n "${PROGRAM_PID:-}" ] && ! kill -0 "$PROGRAM_PID" 2>/dev/null; then return 1; fi
    sleep 0.5
  done
  return 1
}

window_exists() {
  xdotool getwindowname "$1" >/dev/null 2>&1
}

# Answers the message box titled $1 with key $2 and waits for it to go away.
# Wine hands keys to the window with the focus, so a key is sent again only
# when the box has had time to close: a repeat must not answer the next box.
answer_box() {
  local title=$1 key=$2 id try i
  id=$(wait_window "$title" 60) || fail "no message box '$title'"
  sleep 0.5
  for try in 1 2 3 4; do
    xdotool key --window "$id" "$key" 2>/dev/null
    for i in $(seq 25); do
      sleep 0.2
      window_exists "$id" || return 0
    done
  done
  fail "message box '$title' did not take the answer '$key'"
}

# Checks that the program showed a message box with exactly the text $1
# (a line break written as \n).
expect_box_text() {
  grep -F -q "MSGBOX_OnInit L\"$1\"" "$WINE_LOG" || fail "no message box with the text \"$1\""
}

# Holds key $2 down in window $1 for $3 seconds, as a person would.
hold_key() {
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
  xdotool keydown "$2" 2>/dev/null
  sleep "$3"
  xdotool keyup "$2" 2>/dev/null
}

# Closes window $1 with Alt+F4 (the window menu's Close) and waits up to $2
# seconds for the program to end; the keys are sent again while it runs, in
# case the window had not yet taken the focus.
close_with_alt_f4() {
  local id=$1 limit=$2 start=$SECONDS
  while [ $((SECONDS - start)) -lt "$limit" ]; do
    xdotool windowfocus "$id" 2>/dev/null
    sleep 0.3
    xdotool key alt+F4 2>/dev/null
    wait_program 3 && return 0
  done
  return 1
}

# Saves the window's picture as an XWD file; false while it cannot be read
# (a window that is not mapped yet).
screenshot() {
  xwd -id "$1" -silent >"$2" 2>"$WORK/xwd.log"
}

# Takes screenshots of window $1 until the probe $2 passes on one, for up to $3 seconds.
wait_for_picture() {
  local id=$1 check=$2 limit=$3 start=$SECONDS
  while [ $((SECONDS - start)) -lt "$limit" ]; do
    if screenshot "$id" "$WORK/shot.xwd" &&
      python3 "$E2E_DIR/wine_probe.py" "$check" "$WORK/shot.xwd" >"$WORK/probe.txt" 2>&1; then
      cat "$WORK/probe.txt"
      echo "     (after $((SECONDS - start)) s)"
      return 0
    fi
    sleep 2
  done
  cat "$WORK/probe.txt" "$WORK/xwd.log" 2>/dev/null
  if [ -n "${E2E_SHOT_DIR:-}" ]; then
    mkdir -p "$E2E_SHOT_DIR"
    python3 "$E2E_DIR/wine_probe.py" png "$WORK/shot.xwd" "$E2E_SHOT_DIR/failed-$check.png" || true
  fi
  fail "the picture did not pass '$check' within $limit s"
}

wine_test_cleanup() {
  if [ -n "${PROGRAM_PID:-}" ]; then kill "$PROGRAM_PID" 2>/dev/null || true; fi
  if [ -n "${WINEPREFIX:-}" ] && [ -n "${WINESERVER:-}" ]; then "$WINESERVER" -k 2>/dev/null || true; fi
  xvfb_stop
  wait 2>/dev/null || true
  [ -n "${WORK:-}" ] && rm -rf "$WORK"
}
