#!/usr/bin/env bash
# options.sh -- the options menu through the real window: copies the built game folder to a
# fresh folder, starts the game there under Xvfb, waits for the title, opens Options, raises the
# music volume, leaves, checks that Keyconfig.ini was rewritten with the new volume, then quits
# with Escape twice on the main menu and expects exit status 0. Argument: build dir.
set -u
NAME=options
. "$(cd "$(dirname "$0")" && pwd)/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: options.sh BUILD_DIR}" && pwd)" xdotool import convert awk
fi

BUILD="$2"
WORK="$(mktemp -d /tmp/mirrorfall_options_XXXXXX)"
SHOT="$BUILD/e2e_options.png"
pid=""
fail() {
    echo "e2e options: FAIL: $*"
    [ -f "$WORK/mirrorfall.log" ] && tail -n 20 "$WORK/mirrorfall.log"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$WORK"
    exit 1
}

[ -x "$BUILD/game/mirrorfall" ] || fail "$BUILD/game/mirrorfall is not built"
cp -r "$BUILD/game/." "$WORK/" || fail "could not copy the game folder"
rm -f "$WORK/mirrorfall.log" "$WORK/snapshot.dat"
cd "$WORK" || fail "no work folder"

# The game reads its settings from its own folder; start from the shipped defaults (or from the
# proposed ones when the build shipped none).
if [ ! -f Keyconfig.ini ]; then
    printf '[KeyPress]\r\nUP=38\r\nDOWN=40\r\nLEFT=37\r\nRIGHT=39\r\nSLOW=16\r\nSHOOT=90\r\nBOMB=88\r\nSKIP=17\r\n[Sound]\r\nBGM=80\r\nSE=80\r\n[System]\r\nAutoBomb=0\r\nWindow=1\r\n' >Keyconfig.ini
fi
cp Keyconfig.ini Keyconfig.before

SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ./mirrorfall >"$WORK/game.out" 2>&1 &
pid=$!

e2e_wait_window
xdotool windowfocus "$window" 2>/dev/null

e2e_wait_title 150
sleep 0.5

e2e_raise_music_volume "$SHOT"
cmp -s Keyconfig.ini Keyconfig.before && fail "Keyconfig.ini did not change"
for key in UP DOWN LEFT RIGHT SLOW SHOOT BOMB SKIP SE AutoBomb Window; do
    grep -q "^$key=" Keyconfig.ini || fail "Keyconfig.ini lost $key"
done

press Escape   # the cursor moves to Quit
press Escape   # and Cancel on Quit ends the program
e2e_expect_clean_exit "Escape twice"
rm -rf "$WORK"
echo "e2e options: BGM $before -> $after; screenshot in $SHOT; passed"
