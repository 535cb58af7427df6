#!/usr/bin/env bash
# End-to-end test of tarvelin.exe under wine64 and Xvfb: the start-up questions,
# the window, a screenshot of the lake with its instruments, Escape, and the
# full-screen fallback with an F1 switch. Usage: wine_viewer.sh BIN_DIR
set -uo pipefail
source "$(dirname "$0")/wine_lib.sh"

wine_test_setup "${1:-}"
[ -f "$BIN/tarvelin.exe" ] || skip "no $BIN/tarvelin.exe"
# The screen is larger than the 1024 x 768 mode, which Xvfb cannot switch to,
# so a full-screen request is refused and the fallback question comes.
start_display 1280x1024x24
make_prefix
TITLE="OpenGL WinAPI template by Orvandel"

echo "== the command line: --version and --help print, a bad option is exit code 2"
for program in tarvelin tarvelin_saver; do
  out=$(WINEDEBUG=-all "$WINE" "$BIN/$program.exe" --version 2>/dev/null | tr -d '\r')
  echo "$out" | grep -Eqx "$program [0-9]+\.[0-9]+\.[0-9]+" || fail "$program.exe --version printed '$out'"
  WINEDEBUG=-all "$WINE" "$BIN/$program.exe" --help 2>/dev/null | grep -q "^usage: $program" ||
    fail "$program.exe --help printed no usage"
  WINEDEBUG=-all "$WINE" "$BIN/$program.exe" --bogus >/dev/null 2>"$WORK/bad-option.err"
  rc=$?
  [ $rc -eq 2 ] || fail "$program.exe --bogus ended with exit code $rc, not 2"
  grep -q "unknown option '--bogus'" "$WORK/bad-option.err" || fail "$program.exe --bogus said: $(cat "$WORK/bad-option.err")"
  echo "ok   $program.exe: --version, --help and a bad option"
done
# Both questions answered on the command line: straight to the window.
start_program "$BIN/tarvelin.exe" --window --soft
window=$(wait_window "$TITLE" 60) || fail "no window with --window --soft"
[ "$(xdotool getwindowgeometry "$window" | awk '/Geometry/{print $2}')" = "640x480" ] ||
  fail "--window --soft did not give a 640 x 480 window"
close_with_alt_f4 "$window" 60 || fail "closing the window did not end the program"
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after closing, not 0"
echo "ok   --window --soft opened a 640 x 480 window without a question"

echo "== full screen refused: windowed fallback, then F1 asks again and No closes"
start_program "$BIN/tarvelin.exe"
answer_box "Start FullScreen?" y
answer_box "Start In A Soft Mode?" n
answer_box "Kalo GL" y
expect_box_text 'The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?'
window=$(wait_window "$TITLE" 60) || fail "no window after taking the windowed fallback"
echo "ok   windowed fallback opened the window"
# F1 rebuilds the window with full screen inverted, back to full screen,
# which is refused again; declining the fallback ends the program.
hold_key "$window" F1 0.5
answer_box "Kalo GL" n
answer_box "ERROR" Return
expect_box_text "Program Will Now Close."
wait_program 30 || fail "the program did not end after \"Program Will Now Close.\""
[ "$EXIT_CODE" -eq 1 ] || fail "exit code $EXIT_CODE after declining the fallback, not 1"
echo "ok   F1 asked for full screen again; declining ended it with exit code 1"

echo "== soft mode: a 640 x 480 window; closing it ends the program"
start_program "$BIN/tarvelin.exe"
answer_box "Start FullScreen?" n
answer_box "Start In A Soft Mode?" y
window=$(wait_window "$TITLE" 60) || fail "no window titled '$TITLE'"
geometry=$(xdotool getwindowgeometry "$window" | grep Geometry | awk '{print $2}')
[ "$geometry" = "640x480" ] || fail "soft mode's client area is $geometry, not 640x480"
echo "ok   soft mode window, $geometry"
close_with_alt_f4 "$window" 60 || fail "closing the window did not end the program"
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after closing, not 0"
echo "ok   closing the window ended it with exit code 0"

echo "== questions answered No, No: a 1024 x 768 window"
start_program "$BIN/tarvelin.exe"
answer_box "Start FullScreen?" n
expect_box_text "Would You Like To Run In Fullscreen Mode?"
answer_box "Start In A Soft Mode?" n
expect_box_text "Would You Like To Run In A Soft Mode?"
window=$(wait_window "$TITLE" 60) || fail "no window titled '$TITLE'"
geometry=$(xdotool getwindowgeometry "$window" | grep Geometry | awk '{print $2}')
[ "$geometry" = "1024x768" ] || fail "client area is $geometry, not 1024x768"
echo "ok   window '$TITLE', $geometry"

# The title sequence runs first; the lake and the instruments follow it.
wait_for_picture "$window" viewer "${E2E_PICTURE_WAIT:-300}"
if [ -n "${E2E_SHOT_DIR:-}" ]; then
  mkdir -p "$E2E_SHOT_DIR"
  python3 "$E2E_DIR/wine_probe.py" png "$WORK/shot.xwd" "$E2E_SHOT_DIR/wine-tarvelin.png"
fi

hold_key "$window" Escape 1.5
wait_program 60 || fail "Escape did not end the program"
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after Escape, not 0"
echo "ok   Escape ended it with exit code 0"
grep MSGBOX_OnInit "$WINE_LOG" | grep -v -e "Fullscreen Mode?" -e "Soft Mode?" \
  && fail "a message box other than the two questions was shown"
echo "PASS"
