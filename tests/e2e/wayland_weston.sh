#!/usr/bin/env bash
# Both programs on Wayland: a Weston compositor nested in Xvfb (its X11
# backend; the headless one has no seat, which SDL needs), the programs on
# SDL's Wayland driver with no X display to fall back to, and pictures taken
# with weston-screenshooter. tarvelin in a window draws the lake and ends
# with 0 on SIGTERM, taking its window with it; tarvelin_saver started by
# hand fills the screen, switches to a window with F1 (a new window after the
# old one is gone: SDL's libdecor path crashed there) and ends with 0 on
# SIGTERM. Skipped (77) where Weston is not installed.
# Usage: wayland_weston.sh BIN_DIR X_PROBE OUT_DIR
BIN=$1 PROBE=$2 OUT=$3/wayland
mkdir -p "$OUT"
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/saver_lib.sh"

for tool in weston weston-screenshooter; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

WIDTH=1280 HEIGHT=1024
WESTON_PID=""
# Wayland sockets live in XDG_RUNTIME_DIR, which must be the user's alone.
RUNTIME=$(mktemp -d)
chmod 700 "$RUNTIME"
cleanup_weston()
{
    end_apps
    [ -n "$WESTON_PID" ] && kill "$WESTON_PID" 2>/dev/null && wait "$WESTON_PID" 2>/dev/null
    cleanup
    rm -rf "$RUNTIME"
}
trap cleanup_weston EXIT

start_xvfb "${WIDTH}x$HEIGHT"
# A black desktop without a panel, so that whatever is not black in a
# picture is the programs'; no idle blanking during the test.
cat >"$OUT/weston.ini" <<INI
[core]
idle-time=0

[shell]
background-color=0xff000000
panel-position=none
INI
# Weston 10 offers the screenshooter protocol to any client only with --debug.
XDG_RUNTIME_DIR=$RUNTIME weston --config="$OUT/weston.ini" --backend=x11-backend.so --socket=tarvelin-test \
    --width=$WIDTH --height=$HEIGHT --debug --log="$OUT/weston.log" >/dev/null 2>&1 &
WESTON_PID=$!
for _ in $(seq 1 300); do
    [ -S "$RUNTIME/tarvelin-test" ] && break
    kill -0 "$WESTON_PID" 2>/dev/null || fail "Weston ended: $(tail -5 "$OUT/weston.log")"
    sleep 0.1
done
[ -S "$RUNTIME/tarvelin-test" ] || fail "no Wayland socket after 30 s: $(tail -5 "$OUT/weston.log")"
export XDG_RUNTIME_DIR=$RUNTIME WAYLAND_DISPLAY=tarvelin-test
note "Weston $(weston --version 2>&1 | awk '{print $2}') on $DISPLAY, socket $WAYLAND_DISPLAY"

# start_on_weston PROGRAM [ARGS...]: start_app_pid with the Wayland driver and no X display.
start_on_weston()
{
    local x_display=$DISPLAY
    unset DISPLAY
    SDL_VIDEODRIVER=wayland start_app_pid "$@"
    export DISPLAY=$x_display
}

# screenshot NAME: the compositor's whole output as $OUT/NAME.png; prints the path.
SHOT_DIR=$OUT/shots
screenshot()
{
    rm -rf "$SHOT_DIR"
    mkdir -p "$SHOT_DIR"
    (cd "$SHOT_DIR" && weston-screenshooter) >/dev/null 2>&1 || fail "weston-screenshooter failed"
    mv "$SHOT_DIR"/*.png "$OUT/$1.png" 2>/dev/null || fail "weston-screenshooter saved no picture"
    echo "$OUT/$1.png"
}

# black_percent PICTURE: the black share of the whole output, in percent.
black_percent()
{
    stat_field "$1" 0 0 $WIDTH $HEIGHT 1
}

# wait_for_lake_shot NAME MAX_BLACK SECONDS: screenshots until two in a row
# are less than MAX_BLACK percent black with many colours (the title sequence
# is nearly all black, the desktop all of it); prints the last one's path.
wait_for_lake_shot()
{
    local deadline=$(($(date +%s) + $3)) pic black colours seen=0
    while true; do
        pic=$(screenshot "$1") || exit 1
        black=$(black_percent "$pic")
        colours=$(stat_field "$pic" 0 0 $WIDTH $HEIGHT 2)
        if [ "$black" -lt "$2" ] && [ "$colours" -gt 500 ]; then
            seen=$((seen + 1))
            if [ "$seen" -ge 2 ]; then
                note "$1: $black% black, $colours colours" >&2
                echo "$pic"
                return 0
            fi
        else
            seen=0
        fi
        app_running || fail "the program ended: $(tail -3 "$APP_ERR")"
        [ "$(date +%s)" -ge "$deadline" ] && fail "$1: no lake after $3 s ($black% black, $colours colours)"
        sleep 1
    done
}

# expect_term WHAT: SIGTERM ends the program with 0, and its window goes.
expect_term()
{
    stop_app TERM 5
    note "$1, SIGTERM: exit code $STOP_RC after $STOP_TOOK s"
    [ "$STOP_RC" = 0 ] || fail "$1: exit code $STOP_RC after SIGTERM: $(tail -3 "$APP_ERR")"
    local black
    for _ in $(seq 1 20); do
        black=$(black_percent "$(screenshot desktop)")
        # The pointer's arrow may stay on the desktop.
        [ "$black" -ge 99 ] && return 0
        sleep 0.2
    done
    fail "$1: the window is still on the screen after the program ended ($black% black)"
}

# The shell's black background, once it is drawn: until then the output is red.
for _ in $(seq 1 60); do
    black=$(black_percent "$(screenshot empty)")
    [ "$black" -ge 99 ] && break
    sleep 0.5
done
[ "$black" -ge 99 ] || fail "the desktop is not black before the programs start ($black%)"

# The viewer's 1024 x 768 window covers 60% of the output, its view frame a
# part of that: the lake leaves the screen well under 80% black.
start_on_weston tarvelin --window --no-soft
wait_for_lake_shot viewer 80 180 >/dev/null || exit 1
expect_term "viewer in a window"

# The saver started by hand fills the screen (SDL scales its 1024 x 768 mode
# up to the output), then F1 takes it to a 1024 x 768 window on the black
# desktop. Keys go through Xvfb to Weston's window and from there to the
# saver, which has the keyboard focus.
start_on_weston tarvelin_saver
wait_for_lake_shot saver-fullscreen 20 180 >/dev/null || exit 1
xdotool mousemove $((WIDTH / 2)) $((HEIGHT / 2))
tap F1
deadline=$(($(date +%s) + 60))
while true; do
    pic=$(screenshot saver-window) || exit 1
    black=$(black_percent "$pic")
    colours=$(stat_field "$pic" 0 0 $WIDTH $HEIGHT 2)
    # Outside the window the desktop is black: 40% of the output.
    [ "$black" -ge 35 ] && [ "$black" -lt 80 ] && [ "$colours" -gt 500 ] && break
    app_running || fail "the saver ended after F1: $(tail -3 "$APP_ERR")"
    [ "$(date +%s)" -ge "$deadline" ] && fail "no window after F1 within 60 s ($black% black, $colours colours)"
    sleep 1
done
note "saver in a window after F1: $black% black, $colours colours"
expect_term "saver in a window"
