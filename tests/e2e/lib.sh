# Shared helpers of the end-to-end tests: a private Xvfb, windows found by
# title, keys sent with xdotool, pictures through x_probe.
# Each test sources this file with BIN (the programs' folder), PROBE (the
# x_probe tool) and OUT (a folder for its pictures) set.

set -u

. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"

APP_PID=""
APP_RC_FILE=""

fail()
{
    echo "FAIL: $*" >&2
    exit 1
}

note()
{
    echo "[$(date +%H:%M:%S)] $*"
}

cleanup()
{
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null
    xvfb_stop
    wait 2>/dev/null
}
trap cleanup EXIT
# A test ended by timeout still clears away its program and Xvfb.
trap "exit 143" TERM INT

# start_xvfb WIDTHxHEIGHT: a private X server on a free display number.
start_xvfb()
{
    xvfb_start "$1x24"
    note "Xvfb $1 on $DISPLAY"
}

# start_app PROGRAM: runs it in the background; its exit code is kept.
start_app()
{
    APP_RC_FILE=$(mktemp)
    ("$BIN/$1" "${@:2}"; echo $? >"$APP_RC_FILE") &
    APP_PID=$!
    APP_START=$(date +%s.%N)
    note "started $1"
}

app_running()
{
    [ ! -s "$APP_RC_FILE" ]
}

# wait_app_exit SECONDS: waits for the program to end; prints its exit code.
wait_app_exit()
{
    local deadline=$(($(date +%s) + $1))
    while app_running; do
        [ "$(date +%s)" -ge "$deadline" ] && fail "the program did not end within $1 s"
        sleep 0.1
    done
    APP_PID=""
    cat "$APP_RC_FILE"
}

# find_window TITLE: the id of a window with exactly that title, or nothing.
find_window()
{
    xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" '$2 == t || index($0, " " t " ") {print $1; exit}'
}

# wait_window TITLE SECONDS: waits until a window with the title exists.
wait_window()
{
    local deadline=$(($(date +%s) + $2)) id
    while true; do
        id=$(find_window "$1")
        [ -n "$id" ] && { echo "$id"; return 0; }
        app_running || fail "the program ended while waiting for \"$1\""
        [ "$(date +%s)" -ge "$deadline" ] && fail "no window \"$1\" within $2 s"
        sleep 0.1
    done
}

# window_titles: the titles of every top-level window, one a line.
window_titles()
{
    xwininfo -root -children 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\(.*\)":.*/\1/p'
}

# answer TITLE KEY: waits for the message box titled TITLE and presses KEY in it.
answer()
{
    local id
    id=$(wait_window "$1" 30) || exit 1
    sleep 0.3
    xdotool windowfocus --sync "$id" key "$2" || fail "could not press $2 in \"$1\""
    note "answered \"$1\" with $2"
}

# window_size ID: prints WIDTHxHEIGHT.
window_size()
{
    xwininfo -id "$1" | awk '/Width:/{w=$2} /Height:/{h=$2} END{print w "x" h}'
}

# focus ID: gives the window the keyboard focus (there is no window manager).
# A window is listed a moment before it is mapped, and the server refuses
# the focus until it is: that is waited for, 5 s at the most.
focus()
{
    local deadline=$(($(date +%s) + 5))
    until xdotool windowfocus --sync "$1" 2>/dev/null; do
        [ "$(date +%s)" -ge "$deadline" ] && fail "could not focus $1"
        sleep 0.1
    done
}

# tap KEY: holds the key for a few frames, then releases it.
tap()
{
    xdotool keydown "$1"
    sleep 0.3
    xdotool keyup "$1"
}

# grab ID NAME: saves the window's picture as $OUT/NAME.ppm and prints the path.
grab()
{
    "$PROBE" grab "$1" "$OUT/$2.ppm" || fail "could not grab window $1"
    echo "$OUT/$2.ppm"
}

# stat_field FILE X Y W H N: field N of the rectangle's statistics: 1 black
# percent, 2 distinct colours, 3 reddish pixels (lit red surfaces), 4 pure red
# pixels (unlit red text), 5-7 mean red, green, blue, 8 yellow pixels.
stat_field()
{
    "$PROBE" stats "$1" "$2" "$3" "$4" "$5" | awk -v n="$6" '{print $n}'
}

# cursor_over ID: moves the pointer into the window and prints whether the
# cursor is hidden or visible there.
cursor_over()
{
    xdotool mousemove --window "$1" 100 100
    sleep 0.3
    "$PROBE" cursor
}

# wait_for_lake ID SECONDS: grabs pictures until the title sequence is over
# in two grabs in a row: the title's picture is about 90% black, the lake's
# (even inside the interactive program's black view frame) far less; prints
# the last picture's path.
wait_for_lake()
{
    local deadline=$(($(date +%s) + $2)) pic size w h black seen=0
    size=$(window_size "$1")
    w=${size%x*}
    h=${size#*x}
    while true; do
        pic=$(grab "$1" "lake-wait") || exit 1
        black=$(stat_field "$pic" 0 0 "$w" "$h" 1)
        if [ "$black" -lt 60 ]; then
            seen=$((seen + 1))
            if [ "$seen" -ge 2 ]; then
                echo "$pic"
                return 0
            fi
        else
            seen=0
        fi
        app_running || fail "the program ended during the title sequence"
        [ "$(date +%s)" -ge "$deadline" ] && fail "no lake after $2 s (black $black%)"
        sleep 0.5
    done
}

elapsed_since()
{
    echo "$(date +%s.%N) $1" | awk '{printf "%.1f", $1 - $2}'
}
