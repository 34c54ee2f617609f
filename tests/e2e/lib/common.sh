# common.sh -- what the end-to-end tests share: entering an X server of their own, finding the
# game's window and waiting for the game to end. Sourced by the tests, never run alone.
# The including script sets NAME (for messages) and defines fail().

TITLE="Mirrorfall ver 1.00a"

# Re-runs the calling script under xvfb-run with "--inside BUILD" unless it already is; skips when
# Xvfb is not installed and fails when one of the tools named is missing.
e2e_enter_xvfb() {
    local script="$1" build="$2"
    shift 2
    if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
        echo "e2e $NAME: skipped (Xvfb is not installed)"
        exit 0
    fi
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e $NAME: FAIL: $tool is missing (scripts/setup.sh installs it)"
            exit 1
        fi
    done
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$script" --inside "$build"
}

# Waits up to 20 s for the game (process $pid) to show its window; sets $window.
e2e_wait_window() {
    window=""
    for _ in $(seq 1 100); do
        window="$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -n 1)"
        [ -n "$window" ] && return 0
        kill -0 "$pid" 2>/dev/null || fail "the game ended before its window showed"
        sleep 0.2
    done
    fail "no window titled \"$TITLE\""
}

# Waits up to 5 s for the game to end after $1 and expects exit status 0.
e2e_expect_clean_exit() {
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the game did not end within 5 seconds of $1"
    wait "$pid"
    local status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
}

# Presses key $1 in the game (process $pid): held long enough for the game to see it in at least
# one frame, and released long enough for its latch to open again.
press() {
    kill -0 "$pid" 2>/dev/null || fail "the game ended before the key $1"
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
    sleep 0.15
}
