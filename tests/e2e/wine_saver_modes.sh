#!/usr/bin/env bash
# The Windows screensaver's modes under wine64 and Xvfb.
# /p HWND: the preview is a child filling the given window (a stand-in for
# the settings' preview, built here with mingw-w64), draws frames there, and
# ends with code 0 when that window is destroyed. (Wine shows no drawing in
# a child window whose parent belongs to another process, GDI's or OpenGL's,
# so the frames are counted by their buffer swaps instead of looked at.)
# The settings dialog, from /c and from the .scr with no switch: Cancel
# stores nothing, OK stores the choices in the registry.
# /s: covers the desktop with its display mode untouched and the picture
# fitted (1280 x 800 here: 1067 x 800 with bars beside it), the frame rate
# shown as stored, a mouse move of two pixels leaves it running, one of a
# hundred ends it with code 0. Usage: wine_saver_modes.sh BIN_DIR
set -uo pipefail
source "$(dirname "$0")/wine_lib.sh"

wine_test_setup "${1:-}"
[ -f "$BIN/tarvelin_saver.scr" ] || skip "no $BIN/tarvelin_saver.scr"
CC=x86_64-w64-mingw32-gcc
command -v "$CC" >/dev/null || skip "$CC not installed"
"$CC" -O1 -o "$WORK/win_host.exe" "$E2E_DIR/win_host.c" -luser32 -lgdi32 ||
  fail "could not build the stand-in preview host"
start_display 1280x800x24
make_prefix
TITLE="OpenGL WinAPI template by Orvandel"

swaps() {
  grep -c "wglSwapBuffers" "$WINE_LOG" 2>/dev/null || true
}

echo "== /p HWND: a child filling the host's window, drawing until the window is destroyed"
gone=$WORK/host-gone
"$WINE" "$WORK/win_host.exe" 400 200 "Z:${gone//\//\\}" >"$WORK/host.out" 2>"$WORK/host.err" &
HOST_PID=$!
for _ in $(seq 300); do
  [ -s "$WORK/host.out" ] && break
  sleep 0.1
done
hwnd=$(head -n1 "$WORK/host.out" | tr -d '\r')
[ -n "$hwnd" ] || fail "the stand-in host printed no window handle: $(cat "$WORK/host.err")"
echo "ok   stand-in host: HWND $hwnd"
WINE_LOG=$WORK/wine-preview.log
WINEDEBUG=trace+msgbox,trace+wgl "$WINE" "$BIN/tarvelin_saver.scr" /p "$hwnd" >"$WINE_LOG" 2>&1 &
PROGRAM_PID=$!
for _ in $(seq 600); do
  grep -q "^child OpenGL 0 0 400 200 1" "$WORK/host.out" && break
  kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the preview ended by itself"
  sleep 0.1
done
grep -q "^child OpenGL 0 0 400 200 1" "$WORK/host.out" ||
  fail "no visible child filling the host: $(tail -n +2 "$WORK/host.out" | tr '\n' ';')"
echo "ok   the preview is a visible child window filling the host's 400 x 200"
before=$(swaps)
sleep 5
after=$(swaps)
echo "ok   frames drawn: $((after - before)) buffer swaps in 5 s"
[ $((after - before)) -ge 20 ] || fail "the preview drew $((after - before)) frames in 5 s"
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the preview ended by itself"
grep -q "MSGBOX_OnInit" "$WINE_LOG" && fail "the preview showed a message box"
# Only the host's window goes: its process stays.
touch "$gone"
wait_program 20 || fail "the preview did not end when its host's window was destroyed"
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after the host's window went, not 0"
kill -0 "$HOST_PID" 2>/dev/null || fail "the stand-in host ended before the preview"
echo "ok   the host's window destroyed: the preview ended with exit code 0"
kill "$HOST_PID" 2>/dev/null

echo "== the settings dialog: /c, Cancel stores nothing; no switch, OK stores the choices"
DIALOG="Lake Bottom Screensaver"
SETTINGS_KEY='HKCU\Software\Tarvelin\Screensaver'
start_program "$BIN/tarvelin_saver.scr" /c
answer_box "$DIALOG" Escape
wait_program 20 || fail "/c did not end after Cancel"
[ "$EXIT_CODE" -eq 0 ] || fail "/c ended with exit code $EXIT_CODE after Cancel, not 0"
"$WINE" reg query "$SETTINGS_KEY" >"$WORK/reg.txt" 2>&1 && fail "Cancel stored settings: $(cat "$WORK/reg.txt")"
echo "ok   /c showed the settings dialog; Cancel ended it with code 0, nothing stored"
# A .scr with no switch: as Explorer's Configure starts it. Alt+D picks the
# design size, Alt+F ticks the frame rate, Return is OK.
start_program "$BIN/tarvelin_saver.scr"
dialog=$(wait_window "$DIALOG" 60) || fail "no settings dialog from the .scr with no switch"
sleep 0.5
xdotool key --window "$dialog" alt+d alt+f Return 2>/dev/null
wait_program 20 || fail "the settings dialog did not end on Return"
[ "$EXIT_CODE" -eq 0 ] || fail "the settings dialog ended with exit code $EXIT_CODE, not 0"
"$WINE" reg query "$SETTINGS_KEY" 2>/dev/null | tr -d '\r' >"$WORK/reg.txt"
grep -Eq "Resolution +REG_DWORD +0x1$" "$WORK/reg.txt" && grep -Eq "ShowFrameRate +REG_DWORD +0x1$" "$WORK/reg.txt" ||
  fail "OK did not store the design size and the frame rate: $(cat "$WORK/reg.txt")"
echo "ok   no switch: the settings dialog; OK stored the design size and the frame rate"

echo "== /s: over the whole desktop, the picture fitted; a small mouse move is forgiven, a larger one ends it"
xdotool mousemove 500 400
start_program "$BIN/tarvelin_saver.scr" /s
window=$(wait_window "$TITLE" 60) || fail "no window titled '$TITLE'"
geometry=$(xdotool getwindowgeometry "$window" | grep -E 'Position|Geometry' | awk '{print $2}' | tr '\n' ' ')
[ "$geometry" = "0,0 1280x800 " ] || fail "window at $geometry, not over the desktop at 0,0 1280x800"
echo "ok   over the desktop: $geometry"
start=$SECONDS
until screenshot "$window" "$WORK/screen.xwd" &&
  python3 "$E2E_DIR/wine_probe.py" fitted "$WORK/screen.xwd" 106 0 1067 800 >"$WORK/probe.txt" 2>&1; do
  kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the screensaver ended by itself"
  [ $((SECONDS - start)) -lt "${E2E_PICTURE_WAIT:-300}" ] || { cat "$WORK/probe.txt"; fail "no fitted lake"; }
  sleep 2
done
cat "$WORK/probe.txt"
echo "     (after $((SECONDS - start)) s)"
# The stored choice: the frame rate in the picture's top left corner.
python3 "$E2E_DIR/wine_probe.py" yellow "$WORK/screen.xwd" 106 0 360 60 || fail "/s shows no frame rate"
if [ -n "${E2E_SHOT_DIR:-}" ]; then
  mkdir -p "$E2E_SHOT_DIR"
  python3 "$E2E_DIR/wine_probe.py" png "$WORK/screen.xwd" "$E2E_SHOT_DIR/wine-saver-desktop.png"
fi
xdotool mousemove 502 401
sleep 2
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "a 2-pixel move ended the screensaver"
echo "ok   a 2-pixel move left it running"
xdotool mousemove 600 450
wait_program 20 || fail "a 100-pixel move did not end the screensaver"
[ "$EXIT_CODE" -eq 0 ] || fail "exit code $EXIT_CODE after the mouse move, not 0"
echo "ok   a 100-pixel move ended it with exit code 0"

echo "PASS"
