#!/usr/bin/env bash
# End-to-end test of tarvelin_saver under wine64 and Xvfb: /a ends at once,
# /p without a window and an unknown switch end at once with an error code,
# /s runs full screen with its credit line and ends on Escape, and closing the
# window ends it too; the .exe with no switch runs as started by hand
# (wine_saver_modes.sh has /p, /s, /c and the .scr with no switch at work).
# Usage: wine_saver.sh BIN_DIR
set -uo pipefail
source "$(dirname "$0")/wine_lib.sh"

wine_test_setup "${1:-}"
[ -f "$BIN/tarvelin_saver.exe" ] || skip "no $BIN/tarvelin_saver.exe"
[ -f "$BIN/tarvelin_saver.scr" ] || fail "no $BIN/tarvelin_saver.scr beside the saver"
# A screen of the saver's own size, so its full-screen mode is granted.
start_display 1024x768x24
make_prefix
TITLE="OpenGL WinAPI template by Orvandel"

# /a: the password switch, nothing to do. /p for a window that does not
# exist: one line on stderr, code 1, no box. An unknown switch: code 2.
for case in "/a:0" "-A:0" "/p 1:1" "/P 1:1" "/x:2" "/config:2"; do
  args=${case%:*} code=${case##*:}
  # shellcheck disable=SC2086
  start_program "$BIN/tarvelin_saver.scr" $args
  wait_program 30 || fail "'$args' did not end at once"
  [ "$EXIT_CODE" -eq "$code" ] || fail "'$args' ended with exit code $EXIT_CODE, not $code"
  grep -q "MSGBOX_OnInit" "$WINE_LOG" && fail "'$args' showed a message box"
  echo "ok   '$args' ended at once with exit code $code"
done

echo "== /s: full screen, the lake and the credit line, Escape ends it"
start_program "$BIN/tarvelin_saver.scr" /s
window=$(wait_window "$TITLE" 60) || fail "no window titled '$TITLE'"
geometry=$(xdotool getwindowgeometry "$window" | grep -E 'Position|Geometry' | awk '{print $2}' | tr '\n' ' ')
[ "$geometry" = "0,0 1024x768 " ] || fail "window at $geometry, not full screen 0,0 1024x768"
echo "ok   full-screen window, $geometry"
grep -q "MSGBOX_OnInit" "$WINE_LOG" && fail "the screensaver showed a message box"
wait_for_picture "$window" saver "${E2E_PICTURE_WAIT:-300}"
if [ -n "${E2E_SHOT_DIR:-}" ]; then
  mkdir -p "$E2E_SHOT_DIR"
  python3 "$E2E_DIR/wine_probe.py" png "$WORK/shot.xwd" "$E2E_SHOT_DIR/wine-tarvelin_saver.png"
fi
hold_key "$window" Escape 1.5
wait_program 60 || fail "Escape did not end the screensaver"
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after Escape, not 0"
echo "ok   Escape ended it with exit code 0"

echo "== tarvelin_saver.exe with no arguments: runs; closing the window (Alt+F4) ends it"
start_program "$BIN/tarvelin_saver.exe"
window=$(wait_window "$TITLE" 60) || fail "no window titled '$TITLE'"
sleep 2
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the screensaver ended by itself"
close_with_alt_f4 "$window" 60 || fail "closing the window did not end the screensaver"
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after closing, not 0"
echo "ok   closing the window ended it with exit code 0"
echo "PASS"
