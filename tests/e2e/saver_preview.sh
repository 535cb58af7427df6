#!/usr/bin/env bash
# tarvelin_saver in a settings preview's window whose visual has no depth
# buffer (XScreenSaver's preview without its GL visual helper): given the
# window with --window-id, the saver draws into a child window of it with a
# visual of its own, and the lake shows in the host's window; no top-level
# window appears. Resized to 640 x 480, the host is filled again: the child
# follows. SIGTERM ends the saver with code 0 and takes the child away,
# leaving the host's window; a host that destroys its window (and the child
# with it) ends a second saver with code 0.
# Usage: saver_preview.sh BIN_DIR X_PROBE OUT_DIR X_HOST
BIN=$1 PROBE=$2 OUT=$3/preview HOST_TOOL=$4
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/saver_lib.sh"
unset XSCREENSAVER_WINDOW
trap cleanup_hosts EXIT

# children ID: the ids of the window's children, one a line.
children()
{
    xwininfo -children -id "$1" 2>/dev/null | awk '$1 ~ /^0x/ {print $1}'
}

# visual_of ID: the window's visual id.
visual_of()
{
    xwininfo -id "$1" | awk '/Visual:/ {print $2}'
}

# wait_child ID SECONDS: waits for the window's one child and prints its id.
wait_child()
{
    local deadline=$(($(date +%s) + $2)) child
    while true; do
        child=$(children "$1")
        [ -n "$child" ] && { echo "$child"; return 0; }
        app_running || fail "the saver ended: $(cat "$APP_ERR")"
        [ "$(date +%s)" -ge "$deadline" ] && fail "no child window in $1 within $2 s"
        sleep 0.2
    done
}

start_xvfb 1024x768
start_host 320x240+0+0 nodepth
host=$HOST_ID host_pid=$HOST_PID
windows_before=$(top_level_windows)

start_app_pid tarvelin_saver --window-id "$host"
child=$(wait_child "$host" 60) || exit 1
note "the saver draws in $child (visual $(visual_of "$child")) inside the host (visual $(visual_of "$host"))"
[ "$(visual_of "$child")" != "$(visual_of "$host")" ] || fail "the child has the host's visual"
[ "$(window_size "$child")" = "320x240" ] || fail "the child is $(window_size "$child"), not the host's 320x240"

lake_in "$host" small 0 0 320 240 >/dev/null || exit 1
note "lake in the 320 x 240 host after $(elapsed_since "$APP_START") s"
[ "$(top_level_windows)" = "$windows_before" ] || fail "a top-level window appeared: $(top_level_windows | tr '\n' ' ')"

# The host grows: the child and the picture with it.
xdotool windowsize "$host" 640 480
resized=$(date +%s.%N)
lake_in "$host" big 0 0 640 480 >/dev/null || exit 1
note "lake over the 640 x 480 host after $(elapsed_since "$resized") s"
[ "$(window_size "$child")" = "640x480" ] || fail "the child is $(window_size "$child") in a 640x480 host"

stop_app TERM 5
note "SIGTERM: exit code $STOP_RC after $STOP_TOOK s"
[ "$STOP_RC" = "0" ] || fail "exit code $STOP_RC after SIGTERM: $(cat "$APP_ERR")"
xwininfo -id "$host" >/dev/null 2>&1 || fail "the saver took the host's window with it"
[ -z "$(children "$host")" ] || fail "the child is left in the host's window"

# The host destroys its window, and the saver's child goes with it.
start_app_pid tarvelin_saver --window-id "$host"
wait_child "$host" 60 >/dev/null || exit 1
sleep 2
app_running || fail "the saver ended by itself: $(cat "$APP_ERR")"
sent=$(date +%s.%N)
kill "$host_pid"
rc=$(wait_app_exit 10) || exit 1
note "host's window destroyed: exit code $rc after $(elapsed_since "$sent") s"
[ "$rc" = "0" ] || fail "exit code $rc after the host's window went away: $(cat "$APP_ERR")"
[ ! -s "$APP_ERR" ] || fail "messages after the host's window went away: $(cat "$APP_ERR")"
