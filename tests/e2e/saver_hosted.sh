#!/usr/bin/env bash
# tarvelin_saver drawing in a host's window, as XScreenSaver, its settings
# preview and xsecurelock start it: found through $XSCREENSAVER_WINDOW (a
# 320 x 240 host) and through --window-id (a 1920 x 1080 host, given in
# decimal), the lake lands in the host's window with the 1024 x 768 frame
# fitted and black bars beside it, no window of the saver's own appears, and
# the X screensaver is left to work. SIGTERM ends it with code 0 within a
# second; the host destroying its window ends it with code 0; --root without
# a host draws on the root window and SIGHUP ends it with code 129; a window
# that does not exist is one line on stderr and code 1, a bad id code 2.
# Usage: saver_hosted.sh BIN_DIR X_PROBE OUT_DIR X_HOST
BIN=$1 PROBE=$2 OUT=$3/hosted HOST_TOOL=$4
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/saver_lib.sh"
unset XSCREENSAVER_WINDOW

trap cleanup_hosts EXIT

# Side by side: a window's picture is read from the screen.
start_xvfb 2304x1080
start_host 320x240+1960+0
small=$HOST_ID small_pid=$HOST_PID
start_host 1920x1080+0+0
big=$HOST_ID big_pid=$HOST_PID
windows_before=$(top_level_windows)

# Both at once: the variable for the small host, --window-id for the big one.
XSCREENSAVER_WINDOW=$small start_app_pid tarvelin_saver
small_saver_pid=$APP_OWN_PID small_rc=$APP_RC_FILE
start_app_pid tarvelin_saver --window-id "$((big))"
big_saver_pid=$APP_OWN_PID big_rc=$APP_RC_FILE
started=$(date +%s.%N)

# 1920 x 1080: the 4:3 picture is 1440 x 1080 with bars of 240 on each side.
pic=$(lake_in "$big" big 240 0 1440 1080) || exit 1
note "lake in the big host after $(elapsed_since "$started") s"
for bar in "0 0 240 1080" "1680 0 240 1080"; do
    # shellcheck disable=SC2086
    [ "$(stat_field "$pic" $bar 1)" = "100" ] || fail "the bar at $bar is not black"
done
# The credit line, scaled with the picture: from x = 240 + 440 x 1.406 in
# the picture's bottom rows, and no further right than the picture: reddish
# pixels, which a scaled picture's strokes blended with the scene still are.
text=$(stat_field "$pic" 840 1040 840 40 3)
note "big host: credit line $text red text pixels"
[ "$text" -gt 300 ] || fail "no credit line in the big host's picture"
[ "$(stat_field "$pic" 1680 1000 240 80 3)" = "0" ] || fail "the credit line runs into the bar"

pic=$(lake_in "$small" small 0 0 320 240) || exit 1
note "lake in the small host after $(elapsed_since "$started") s"
text=$(stat_field "$pic" 120 220 200 20 4)
note "small host: credit line $text red text pixels"
[ "$text" -gt 20 ] || fail "no credit line in the small host's picture"

[ "$(top_level_windows)" = "$windows_before" ] || fail "a top-level window appeared: $(top_level_windows | tr '\n' ' ')"
note "no window of the saver's own"

# The X screensaver still starts after a second without input.
"$PROBE" saver 1 >/dev/null || fail "no screensaver extension"
sleep 2.5
[ "$("$PROBE" saver)" = "on" ] || fail "the hosted saver kept the X screensaver off"
"$PROBE" saver 0 >/dev/null
xdotool mousemove 7 7
note "the X screensaver still starts"

APP_OWN_PID=$small_saver_pid APP_RC_FILE=$small_rc
stop_app TERM 5
note "SIGTERM: exit code $STOP_RC after $STOP_TOOK s"
[ "$STOP_RC" = "0" ] || fail "exit code $STOP_RC after SIGTERM"
awk -v t="$STOP_TOOK" 'BEGIN { exit !(t <= 1.0) }' || fail "SIGTERM took $STOP_TOOK s"
xwininfo -id "$small" >/dev/null 2>&1 || fail "the saver took the host's window with it"

# The host ends: it destroys its window.
APP_OWN_PID=$big_saver_pid APP_RC_FILE=$big_rc
sent=$(date +%s.%N)
kill "$big_pid"
rc=$(wait_app_exit 10) || exit 1
note "host's window destroyed: exit code $rc after $(elapsed_since "$sent") s"
[ "$rc" = "0" ] || fail "exit code $rc after the host's window went away"

# --root alone: the root window; a hang-up ends it with 128 + 1.
windows_before=$(top_level_windows)
start_app_pid tarvelin_saver --root
sleep 3
app_running || fail "--root ended by itself: $(cat "$APP_ERR")"
stop_app HUP 5
note "--root, SIGHUP: exit code $STOP_RC after $STOP_TOOK s"
[ "$STOP_RC" = "129" ] || fail "exit code $STOP_RC after SIGHUP, not 129"

# A window that does not exist, and an id that is none.
start_app_pid tarvelin_saver --window-id 0x7ffffff
rc=$(wait_app_exit 20) || exit 1
[ "$rc" = "1" ] || fail "exit code $rc for a missing window, not 1"
[ "$(wc -l <"$APP_ERR")" = "1" ] || fail "not one line on stderr: $(cat "$APP_ERR")"
note "missing window: $(cat "$APP_ERR")"
start_app_pid tarvelin_saver --window-id nowhere
rc=$(wait_app_exit 20) || exit 1
[ "$rc" = "2" ] || fail "exit code $rc for a bad window id, not 2"
[ "$(wc -l <"$APP_ERR")" = "1" ] || fail "not one line on stderr for a bad id"
[ "$(top_level_windows)" = "$windows_before" ] || fail "a top-level window appeared"
note "bad id: $(cat "$APP_ERR")"
