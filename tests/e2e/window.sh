#!/usr/bin/env bash
# window.sh -- the real game in a real window: starts build/game/mirrorfall under Xvfb, finds its
# window by title, checks that it draws frames, closes it as a window manager would and expects
# a clean exit with status 0. Works with or without the game's data files. Argument: build dir.
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"

if [ "${1:-}" != "--inside" ]; then
    BUILD="$(cd "${1:?usage: window.sh BUILD_DIR}" && pwd)"
    if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
        echo "e2e window: skipped (Xvfb is not installed)"
        exit 0
    fi
    for tool in xdotool import python3; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e window: FAIL: $tool is missing (scripts/setup.sh installs it)"
            exit 1
        fi
    done
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside "$BUILD"
fi

BUILD="$2"
GAME_DIR="$BUILD/game"
SHOT="$BUILD/e2e_window.png"
TITLE="Mirrorfall ver 1.00a"
fail() {
    echo "e2e window: FAIL: $*"
    [ -f "$GAME_DIR/mirrorfall.log" ] && tail -n 20 "$GAME_DIR/mirrorfall.log"
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

[ -x "$GAME_DIR/mirrorfall" ] || fail "$GAME_DIR/mirrorfall is not built"
cd "$GAME_DIR" || fail "no game folder"
SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ./mirrorfall >"$BUILD/e2e_window.out" 2>&1 &
pid=$!

window=""
for _ in $(seq 1 100); do
    window="$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended before its window showed"
    sleep 0.2
done
[ -n "$window" ] || fail "no window titled \"$TITLE\""

# Let it run past the title's loading frame (frame 120), then look at it.
sleep 4
kill -0 "$pid" 2>/dev/null || fail "the game ended on its own"
grep -q "^OpenGL" mirrorfall.log || fail "mirrorfall.log does not show the renderer starting"
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "${WIDTH:-0}" -ge 640 ] && [ "${HEIGHT:-0}" -ge 480 ] || fail "window is ${WIDTH:-?} x ${HEIGHT:-?}"
import -window root "$SHOT" || fail "no screenshot"
echo "e2e window: window $window is ${WIDTH} x ${HEIGHT}; screenshot in $SHOT"

# A wide window letterboxes the scene: 960 x 360 shows it 480 x 360 with black bars beside it.
xdotool windowsize "$window" 960 360 || fail "could not resize the window"
sleep 1
kill -0 "$pid" 2>/dev/null || fail "the game ended when its window was resized"
eval "$(xdotool getwindowgeometry --shell "$window")"
import -window root "$BUILD/e2e_window_wide.png" || fail "no screenshot of the wide window"
bar="$(convert "$BUILD/e2e_window_wide.png" -format "%[fx:int(255*max(p{$((X + 100)),$((Y + 180))}.r,max(p{$((X + 100)),$((Y + 180))}.g,p{$((X + 100)),$((Y + 180))}.b)))]" info:)"
[ "$bar" = "0" ] || fail "the bar beside a letterboxed scene is not black ($bar)"

python3 "$HERE/close_window.py" "$window" || fail "could not ask the window to close"
for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the game did not end within 5 seconds of closing its window"
wait "$pid"
status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status"
echo "e2e window: passed"
