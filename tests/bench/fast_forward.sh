#!/usr/bin/env bash
# fast_forward.sh -- how long a replay takes to watch in the real window, plainly and with Ctrl
# held (fast-forward, 240 frames a second), on this machine under Xvfb. The replay goes into slot
# 1 of a fresh copy of the game folder and is chosen on the replay list; the time runs from
# Enter on the list (the shutter included) to the log's "Replay ended" line, whose end state
# must be the one `mirrorfall-sim verify` reports. Prints one line per run and the ratio.
# Usage: tests/bench/fast_forward.sh REPLAY_FILE [BUILD_DIR]   (BUILD_DIR defaults to build)
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
NAME=fast_forward
. "$HERE/../e2e/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    replay="$(cd "$(dirname "${1:?usage: fast_forward.sh REPLAY_FILE [BUILD_DIR]}")" && pwd)/$(basename "$1")"
    build="$(cd "${2:-$HERE/../../build}" && pwd)"
    export MIRRORFALL_BENCH_REPLAY="$replay"
    e2e_enter_xvfb "$0" "$build" xdotool import convert
fi
BUILD="$2"
REPLAY="$MIRRORFALL_BENCH_REPLAY"
WORK="$(mktemp -d /tmp/mirrorfall_ff_XXXXXX)"
pid=""
fail() {
    echo "fast_forward: FAIL: $*" >&2
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$WORK"
    exit 1
}
[ -f "$REPLAY" ] || fail "no replay $REPLAY"
verify="$("$BUILD/game/mirrorfall-sim" verify "$REPLAY" 2>&1)"
want="$(echo "$verify" | sed -nE 's/^OK .*[:,] ([0-9]+ frames of play, result -?[0-9]+, score -?[0-9]+)$/\1/p')"
[ -n "$want" ] || fail "mirrorfall-sim verify said: $verify"

# Watches the replay once; $1 is "plain" or "ctrl". Prints the seconds it took.
watch() {
    local mode="$1" dir="$WORK/$1"
    cp -r "$BUILD/game/." "$dir/" || fail "could not copy the game folder"
    rm -rf "$dir/mirrorfall.log" "$dir/Replay" "$dir/Screenshots"
    mkdir -p "$dir/Replay"
    cp "$REPLAY" "$dir/Replay/qz507_01.rpy"
    cd "$dir" || fail "no folder $dir"
    SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ./mirrorfall >"$dir/game.out" 2>&1 &
    pid=$!
    e2e_wait_window
    xdotool windowfocus --sync "$window" 2>/dev/null
    e2e_wait_title 150
    sleep 0.5
    press Down       # Replay
    press Return     # the list, on slot 1
    sleep 1
    [ "$mode" = ctrl ] && xdotool keydown Control_L
    local start end
    start="$(date +%s.%N)"
    xdotool keydown Return
    sleep 0.1
    xdotool keyup Return
    for _ in $(seq 1 3000); do
        grep -q "^Replay ended" mirrorfall.log 2>/dev/null && break
        kill -0 "$pid" 2>/dev/null || fail "the game ended during playback"
        sleep 0.05
    done
    end="$(date +%s.%N)"
    [ "$mode" = ctrl ] && xdotool keyup Control_L
    local ended
    ended="$(grep "^Replay ended" mirrorfall.log | tail -n 1)"
    [ -n "$ended" ] || fail "the replay did not end within 150 s ($mode)"
    case "$ended" in *"$want") ;; *) fail "$mode: the window's playback ended with \"$ended\", verify says \"$want\"";; esac
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
    cd "$WORK" || fail "no work folder"
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }'
}

plain="$(watch plain)" || exit 1
ctrl="$(watch ctrl)" || exit 1
echo "fast_forward: $(basename "$REPLAY"): $want"
echo "fast_forward: plain $plain s, Ctrl held $ctrl s, $(awk -v a="$plain" -v b="$ctrl" 'BEGIN { printf "%.2f", a / b }') times as fast"
rm -rf "$WORK"
