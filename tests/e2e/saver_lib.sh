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
