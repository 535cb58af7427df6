#!/usr/bin/env bash
# The desktop's screensaver stays off while tarvelin runs and comes on after
# it ends: a real XScreenSaver 6 (one minute's idle timeout, blanking only)
# under Xvfb, on a private D-Bus session bus, with the xscreensaver-systemd
# helper it starts itself. The viewer (SDL) asks org.freedesktop.ScreenSaver
# to inhibit the screensaver; xscreensaver-systemd, which serves that name,
# then tells XScreenSaver every 50 s that the user is active. The helper also
# needs systemd-logind on the system bus for a sleep lock, which a container
# has neither of: a second private bus stands in for the system bus, with
# login1_standin.py serving the one call it makes. Skipped (77) where
# XScreenSaver, D-Bus or python3-dbus is not installed.
# Usage: screensaver_inhibit.sh BIN_DIR X_PROBE OUT_DIR
if [ "${1:-}" != "--on-session-bus" ]; then
    command -v dbus-run-session >/dev/null || { echo "SKIP: dbus-run-session is not installed"; exit 77; }
    exec dbus-run-session -- bash "$0" --on-session-bus "$@"
fi
shift
BIN=$1 PROBE=$2 OUT=$3/inhibit
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/saver_lib.sh"

for tool in xscreensaver xscreensaver-command dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
# Debian's python3-dbus and python3-gi are for the system's interpreter.
PYTHON=/usr/bin/python3
"$PYTHON" -c 'import dbus, dbus.mainloop.glib; from gi.repository import GLib' 2>/dev/null ||
    { echo "SKIP: python3-dbus or python3-gi is not installed"; exit 77; }
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || fail "no session bus from dbus-run-session"

TIMEOUT=60       # XScreenSaver's idle timeout: the settings' shortest
WORK=$(mktemp -d)
DAEMON_PID="" WATCH_PID="" SYSTEM_BUS_PID="" LOGIN1_PID=""
cleanup_session()
{
    end_apps
    local pid
    for pid in $WATCH_PID $DAEMON_PID $LOGIN1_PID $SYSTEM_BUS_PID; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    cleanup
    rm -rf "$WORK"
}
trap cleanup_session EXIT

# The bus standing in for the system bus, and logind's part on it.
dbus-daemon --session --nofork --nopidfile --address="unix:path=$WORK/system_bus" --print-address=3 \
    3>"$WORK/system_bus.address" 2>"$OUT/system_bus.log" &
SYSTEM_BUS_PID=$!
for _ in $(seq 1 100); do
    [ -s "$WORK/system_bus.address" ] && break
    sleep 0.1
done
[ -s "$WORK/system_bus.address" ] || fail "the stand-in system bus did not start: $(cat "$OUT/system_bus.log")"
export DBUS_SYSTEM_BUS_ADDRESS
DBUS_SYSTEM_BUS_ADDRESS=$(head -n1 "$WORK/system_bus.address")
"$PYTHON" "$(dirname "$0")/login1_standin.py" >"$OUT/login1.log" 2>&1 &
LOGIN1_PID=$!
for _ in $(seq 1 100); do
    grep -q '^ready' "$OUT/login1.log" && break
    kill -0 "$LOGIN1_PID" 2>/dev/null || fail "login1_standin.py ended: $(cat "$OUT/login1.log")"
    sleep 0.1
done
grep -q '^ready' "$OUT/login1.log" || fail "login1_standin.py did not start"

mkdir -p "$WORK/home"
cat >"$WORK/home/.xscreensaver" <<SETTINGS
timeout:	0:01:00
cycle:		0:00:00
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
mode:		blank
SETTINGS

start_xvfb 1024x768
HOME="$WORK/home" xscreensaver -no-splash -verbose >"$OUT/xscreensaver.log" 2>&1 &
DAEMON_PID=$!
# wait_log PATTERN SECONDS: waits for the line in XScreenSaver's log (its
# helpers write there too).
wait_log()
{
    local deadline=$(($(date +%s) + $2))
    until grep -q "$1" "$OUT/xscreensaver.log"; do
        kill -0 "$DAEMON_PID" 2>/dev/null || fail "XScreenSaver ended: $(tail -5 "$OUT/xscreensaver.log")"
        [ "$(date +%s)" -ge "$deadline" ] && fail "no \"$1\" from XScreenSaver within $2 s: $(tail -5 "$OUT/xscreensaver.log")"
        sleep 0.2
    done
}
wait_log 'xscreensaver-systemd: .*registered as "org.freedesktop.ScreenSaver"' 30
note "XScreenSaver $(xscreensaver-command -version 2>/dev/null | awk '{print $2}') with xscreensaver-systemd, timeout $TIMEOUT s"
xscreensaver-command -watch >"$OUT/watch.log" 2>&1 &
WATCH_PID=$!

# blanked: whether XScreenSaver has blanked the screen at any time so far.
blanked()
{
    grep -q '^BLANK\|^LOCK' "$OUT/watch.log"
}

start_app_pid tarvelin --window --no-soft
wait_log 'inhibited by "Tarvelin"' 30
inhibited=$(date +%s)
note "xscreensaver-systemd: $(grep -m1 'inhibited by "Tarvelin"' "$OUT/xscreensaver.log" | cut -d' ' -f3-)"

# Past the timeout from the inhibition's first reset: only the heartbeat
# after it keeps the screen from blanking now.
until [ "$(date +%s)" -ge $((inhibited + TIMEOUT + 5)) ]; do
    app_running || fail "the viewer ended: $(tail -3 "$APP_ERR")"
    blanked && fail "XScreenSaver blanked the screen while the viewer ran: $(grep -m1 '^BLANK\|^LOCK' "$OUT/watch.log")"
    sleep 1
done
state=$(xscreensaver-command -time 2>&1)
note "after $((TIMEOUT + 5)) s of the viewer: $state"
[[ "$state" == *"non-blanked"* ]] || fail "XScreenSaver's state while the viewer runs: $state"

stop_app TERM 5
[ "$STOP_RC" = 0 ] || fail "the viewer ended with $STOP_RC after SIGTERM"
wait_log 'uninhibited by "Tarvelin"' 10
ended=$(date +%s)
note "viewer ended with 0; the inhibition is released"

# The last heartbeat came at most HEARTBEAT s ago: the screen blanks within
# the timeout after it.
deadline=$((ended + TIMEOUT + 15))
until blanked; do
    [ "$(date +%s)" -ge "$deadline" ] && fail "no blanking within $((TIMEOUT + 15)) s after the viewer ended: $(xscreensaver-command -time 2>&1)"
    sleep 1
done
note "blanked $(($(date +%s) - ended)) s after the viewer ended: $(xscreensaver-command -time 2>&1)"
