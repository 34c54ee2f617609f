#!/usr/bin/env bash
# pad.sh -- a game played with a game controller only: e2e_pad_game plugs SDL's virtual pad into
# the real game under Xvfb, starts a game, moves, slows, bombs, pauses and leaves with it, and
# writes the record; mirrorfall-sim must then verify that replay. Runs in a fresh game folder
# with the default settings. Argument: build dir.
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
NAME=pad
. "$HERE/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: pad.sh BUILD_DIR}" && pwd)"
fi

BUILD="$2"
WORK="$(mktemp -d)"
fail() {
    echo "e2e pad: FAIL: $*"
    [ -f "$WORK/mirrorfall.log" ] && tail -n 20 "$WORK/mirrorfall.log"
    rm -rf "$WORK"
    exit 1
}

[ -x "$BUILD/tests/e2e_pad_game" ] || fail "$BUILD/tests/e2e_pad_game is not built"
[ -f "$BUILD/game/gamedat.zip" ] || { echo "e2e pad: skipped (this build does not bake the data)"; rm -rf "$WORK"; exit 0; }
cp "$BUILD/game/gamedat.zip" "$BUILD/dist/Keyconfig.ini" "$WORK/" || fail "could not set up the game folder"
cp -r "$BUILD/game/icons" "$WORK/" 2>/dev/null
mkdir -p "$WORK/Replay"
cd "$WORK" || fail "no game folder"

SDL_AUDIODRIVER=dummy timeout 120 "$BUILD/tests/e2e_pad_game" "$WORK/Replay/pad.rpy" || fail "the pad could not play the game"
grep -q "Game controller connected: Virtual pad" mirrorfall.log || fail "the log does not show the pad connecting"
"$BUILD/game/mirrorfall-sim" verify "$WORK/Replay/pad.rpy" || fail "the pad game's replay does not verify"
rm -rf "$WORK"
echo "e2e pad: passed"
