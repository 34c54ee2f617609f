#!/usr/bin/env bash
# window.sh -- the real game in a real window: starts build/game/mirrorfall under Xvfb, finds its
# window by title, checks that it draws frames, closes it as a window manager would and expects
# a clean exit with status 0. Works with or without the game's data files. Argument: build dir.
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
NAME=window
. "$HERE/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: window.sh BUILD_DIR}" && pwd)" xdotool import python3
fi

BUILD="$2"
GAME_DIR="$BUILD/game"
SHOT="$BUILD/e2e_window.png"
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

e2e_wait_window

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
e2e_expect_clean_exit "closing its window"
echo "e2e window: passed"
