# Shared helpers for the end-to-end tests: a private virtual X display, a copy of
# the media to run in, and checks that fail with one clear line.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A scratch folder removed on exit, with the given media folder copied in as data/.
make_workdir() {
    WORKDIR=$(mktemp -d "${TMPDIR:-/tmp}/orvane-e2e-XXXXXX")
    trap 'stop_xvfb; rm -rf "$WORKDIR"' EXIT
    cp -r "$1" "$WORKDIR/data"
}

# Starts Xvfb on a free display of 1024x768 at 24 bits and exports DISPLAY.
start_xvfb() {
    command -v Xvfb >/dev/null || fail "Xvfb is not installed (Debian package xvfb)"
    local fifo="$WORKDIR/displayfd"
    mkfifo "$fifo"
    # -noreset: the server would otherwise reset, refusing clients for a moment,
    # each time its last client (the readiness probe below) disconnects.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" 2>"$WORKDIR/xvfb.log" &
    XVFB_PID=$!
    local number
    read -r -t 10 number <"$fifo" || fail "Xvfb did not start: $(cat "$WORKDIR/xvfb.log")"
    export DISPLAY=":$number"
    # On a loaded machine the display may be named before it takes clients.
    local deadline=$((SECONDS + 10))
    until xdpyinfo >/dev/null 2>&1; do
        [ $SECONDS -lt $deadline ] || fail "display $DISPLAY takes no clients: $(cat "$WORKDIR/xvfb.log")"
        sleep 0.1
    done
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null || true
        wait "$XVFB_PID" 2>/dev/null || true
        XVFB_PID=
    fi
}

# Waits up to $2 seconds for a window titled $1; prints its id.
wait_for_window() {
    local id deadline=$((SECONDS + $2))
    while [ $SECONDS -lt $deadline ]; do
        id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# Waits up to $2 seconds for process $1 to end; sets STATUS to its exit status.
wait_for_exit() {
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || { kill -9 "$1"; fail "the program did not end within $2 s"; }
        sleep 0.2
    done
    STATUS=0
    wait "$1" || STATUS=$?
}

# The program's standard output must be "Loading the images.." and then only
# frame counts, one decimal number a line.
check_report_lines() {
    local out=$1 minimum=$2
    [ "$(head -n 1 "$out")" = "Loading the images.." ] || fail "first line is not 'Loading the images..': $(head -n 1 "$out")"
    local counts
    counts=$(tail -n +2 "$out")
    if [ -n "$counts" ] && printf '%s\n' "$counts" | grep -qvE '^[0-9]+$'; then
        fail "a report line is not a number: $(printf '%s\n' "$counts" | grep -vE '^[0-9]+$' | head -n 1)"
    fi
    local lines
    lines=$(printf '%s' "$counts" | grep -c . || true)
    [ "$lines" -ge "$minimum" ] || fail "expected at least $minimum frame-count lines, got $lines"
}

# Waits up to $3 seconds for file $1 to hold $2 lines, or for process $4 to end.
wait_for_lines() {
    local deadline=$((SECONDS + $3))
    while [ $SECONDS -lt $deadline ] && kill -0 "$4" 2>/dev/null; do
        [ "$(wc -l <"$1" 2>/dev/null || echo 0)" -ge "$2" ] && return 0
        sleep 0.1
    done
    true
}
