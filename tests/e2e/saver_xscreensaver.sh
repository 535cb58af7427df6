#!/usr/bin/env bash
# tarvelin_saver under a real XScreenSaver: configured to run
# "tarvelin_saver --root", activated with xscreensaver-command, the saver
# draws the lake into XScreenSaver's window, fitted to the 1280 x 1024
# screen with black bars above and below, opens no window of its own, and
# deactivating ends it with nothing left running. XScreenSaver runs no
# saver as root, so as root the daemon runs as nobody. Skipped (77) where
# XScreenSaver is not installed.
# Usage: saver_xscreensaver.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/xscreensaver
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"

for tool in xscreensaver xscreensaver-command; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
as_user=()
if [ "$(id -u)" = "0" ]; then
    command -v runuser >/dev/null || { echo "SKIP: runuser is not installed"; exit 77; }
    as_user=(runuser -u nobody --)
fi

WORK=$(mktemp -d)
DAEMON_PID=""
cleanup_daemon()
{
    [ -n "$DAEMON_PID" ] && kill "$DAEMON_PID" 2>/dev/null
    pkill -KILL -f "^$WORK/bin/tarvelin_saver" 2>/dev/null
    cleanup
    rm -rf "$WORK"
}
trap cleanup_daemon EXIT

# A copy of the saver and a home that the daemon's user can use.
chmod 755 "$WORK"
mkdir -p "$WORK/bin" "$WORK/home"
cp "$BIN/tarvelin_saver" "$WORK/bin/"
SAVER=$WORK/bin/tarvelin_saver
cat >"$WORK/home/.xscreensaver" <<SETTINGS
timeout:	0:30:00
cycle:		0:00:00
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
mode:		one
selected:	0
programs:	GL: $SAVER --root \n
SETTINGS
[ ${#as_user[@]} -gt 0 ] && chown -R nobody "$WORK/home"

start_xvfb 1280x1024
"${as_user[@]}" env HOME="$WORK/home" DISPLAY="$DISPLAY" xscreensaver -no-splash -verbose \
    >"$OUT/xscreensaver.log" 2>&1 &
DAEMON_PID=$!
for _ in $(seq 1 100); do
    xscreensaver-command -version >/dev/null 2>&1 && break
    sleep 0.1
done
xscreensaver-command -version >/dev/null 2>&1 || fail "XScreenSaver did not start: $(tail -5 "$OUT/xscreensaver.log")"
note "XScreenSaver $(xscreensaver-command -version 2>/dev/null | awk '{print $2}') running"

xscreensaver-command -activate >/dev/null || fail "xscreensaver-command -activate failed"
activated=$(date +%s.%N)
saver_pid=""
for _ in $(seq 1 100); do
    saver_pid=$(pgrep -f "^$SAVER" | head -n1)
    [ -n "$saver_pid" ] && break
    sleep 0.1
done
[ -n "$saver_pid" ] || fail "XScreenSaver did not start the saver: $(tail -5 "$OUT/xscreensaver.log")"
command_line=$(tr '\0' ' ' </proc/"$saver_pid"/cmdline)
host=$(tr '\0' '\n' </proc/"$saver_pid"/environ | sed -n 's/^XSCREENSAVER_WINDOW=//p')
note "saver: $command_line in XScreenSaver's window $host"
[ "$command_line" = "$SAVER --root " ] || fail "started as '$command_line'"
[ -n "$host" ] || fail "XScreenSaver gave no window"

# The screen: the 4:3 picture is 1280 x 960, with 32 rows of bar above and
# below. The lake shows once the title sequence is over.
root=$(xwininfo -root | awk '/Window id:/ {print $4; exit}')
deadline=$(($(date +%s) + 200))
seen=0
while true; do
    pic=$(grab "$root" screen) || exit 1
    black=$(stat_field "$pic" 0 32 1280 960 1)
    # The lake in two pictures a second apart: one alone may be a moment
    # of something else (XScreenSaver's own fade, the title's last frame).
    if [ "$black" -lt 5 ]; then seen=$((seen + 1)); else seen=0; fi
    [ "$seen" -ge 2 ] && break
    kill -0 "$saver_pid" 2>/dev/null || fail "the saver ended: $(tail -5 "$OUT/xscreensaver.log")"
    [ "$(date +%s)" -ge "$deadline" ] && fail "no lake on the screen after 200 s (black $black%)"
    sleep 1
done
note "lake on the screen after $(elapsed_since "$activated") s"
# The credit line on the second picture, away from the moment the lake took
# the title's place (once, under load, the first picture showed the lake
# without it).
[ "$(stat_field "$pic" 0 0 1280 32 1)" = "100" ] || fail "the bar above the picture is not black"
[ "$(stat_field "$pic" 0 992 1280 32 1)" = "100" ] || fail "the bar below the picture is not black"
text=$(stat_field "$pic" 540 960 700 32 3)  # reddish: scaled strokes blend with the scene
note "credit line: $text red text pixels"
[ "$text" -gt 200 ] || fail "no credit line"

# Every top-level window is XScreenSaver's own.
others=$(xwininfo -root -children | awk '$1 ~ /^0x/' | grep -v '("xscreensaver" "XScreenSaver")' || true)
[ -z "$others" ] || fail "windows that are not XScreenSaver's: $others"

xscreensaver-command -deactivate >/dev/null || fail "xscreensaver-command -deactivate failed"
sent=$(date +%s.%N)
for _ in $(seq 1 100); do
    kill -0 "$saver_pid" 2>/dev/null || break
    sleep 0.05
done
kill -0 "$saver_pid" 2>/dev/null && fail "the saver still runs after -deactivate"
note "deactivated: the saver ended after $(elapsed_since "$sent") s"
sleep 0.5
left=$(pgrep -f "^$SAVER" || true)
[ -z "$left" ] || fail "still running: $left"
