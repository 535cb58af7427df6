# Helpers of the screensaver hosting and signal tests, sourced after lib.sh.

APP_COUNT=0
APP_OWN_PIDS=""

# start_app_pid PROGRAM [ARGS...]: as start_app, with the program's own pid
# in APP_OWN_PID for signals, and its standard error in APP_ERR.
start_app_pid()
{
    local name=$1 pid_file
    shift
    APP_COUNT=$((APP_COUNT + 1))
    APP_ERR=$OUT/$name.$APP_COUNT.err
    APP_RC_FILE=$(mktemp)
    pid_file=$(mktemp)
    (
        "$BIN/$name" "$@" 2>"$APP_ERR" &
        echo $! >"$pid_file"
        wait $!
        echo $? >"$APP_RC_FILE"
    ) &
    APP_PID=$!
    for _ in $(seq 1 50); do
        [ -s "$pid_file" ] && break
        sleep 0.05
    done
    APP_OWN_PID=$(cat "$pid_file")
    APP_OWN_PIDS="$APP_OWN_PIDS $APP_OWN_PID"
    rm -f "$pid_file"
    APP_START=$(date +%s.%N)
    note "started $name $* (pid $APP_OWN_PID)"
}

# stop_app SIGNAL SECONDS: sends the signal to the program and waits for its
# end; sets STOP_RC to its exit code and STOP_TOOK to the seconds it took.
stop_app()
{
    local sent
    sent=$(date +%s.%N)
    kill "-$1" "$APP_OWN_PID" || fail "could not send $1"
    STOP_RC=$(wait_app_exit "$2") || exit 1
    STOP_TOOK=$(elapsed_since "$sent")
}

# top_level_windows: the ids of the root window's children, sorted.
top_level_windows()
{
    xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ {print $1}' | sort
}

# end_apps: ends every program start_app_pid started that still runs, before
# the display goes away under it.
end_apps()
{
    local pid
    for pid in $APP_OWN_PIDS; do kill -KILL "$pid" 2>/dev/null; done
}

HOST_PIDS=""
# cleanup_hosts: for the EXIT trap of a test that starts hosts.
cleanup_hosts()
{
    end_apps
    for pid in $HOST_PIDS; do kill "$pid" 2>/dev/null; done
    # The hosts leave before their display does.
    for pid in $HOST_PIDS; do wait "$pid" 2>/dev/null; done
    cleanup
}

# start_host WxH+X+Y [VISUAL]: a stand-in host window (x_host, in HOST_TOOL;
# VISUAL as x_host takes it); sets HOST_ID and HOST_PID.
start_host()
{
    local id_file
    id_file=$(mktemp)
    "$HOST_TOOL" "$@" >"$id_file" &
    HOST_PID=$!
    HOST_PIDS="$HOST_PIDS $HOST_PID"
    for _ in $(seq 1 100); do
        [ -s "$id_file" ] && break
        sleep 0.1
    done
    HOST_ID=$(cat "$id_file")
    rm -f "$id_file"
    [ -n "$HOST_ID" ] || fail "the stand-in host did not start"
    note "host $1: window $HOST_ID"
}

# lake_in HOST_ID NAME X Y W H: waits until the picture's rectangle (top-left
# origin) shows the lake, almost nothing of it black, and prints the
# picture's path.
lake_in()
{
    local id=$1 name=$2 deadline=$(($(date +%s) + 200)) pic black
    while true; do
        pic=$(grab "$id" "$name") || exit 1
        black=$(stat_field "$pic" "$3" "$4" "$5" "$6" 1)
        [ "$black" -lt 5 ] && { echo "$pic"; return 0; }
        [ "$(date +%s)" -ge "$deadline" ] && fail "no lake in $name after 200 s (black $black%)"
        sleep 1
    done
}
