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
bgm_of() { tr -d '\r' <Keyconfig.ini | sed -n 's/^BGM=\([0-9-]*\)$/\1/p' | head -n 1; }
before="$(bgm_of)"
[ -n "$before" ] || fail "Keyconfig.ini has no BGM value"
cp Keyconfig.ini Keyconfig.before

SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ./mirrorfall >"$WORK/game.out" 2>&1 &
pid=$!

e2e_wait_window
xdotool windowfocus "$window" 2>/dev/null


# The logo runs 120 frames, then comes one long loading frame; keys pressed before the title
# shows are lost. The title is judged by the window's brightness: the logo is dark, the title
# picture is not.
brightness() {
    import -window "$window" png:- 2>/dev/null | convert png:- -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
}
is_below() { awk -v v="${1:-1}" -v t="$2" 'BEGIN { exit !(v < t) }'; }
sleep 1.5
seen_dark=0
bright=0
for _ in $(seq 1 150); do
    kill -0 "$pid" 2>/dev/null || fail "the game ended before the title"
    # Without the data files the loading frame logs the title's pictures it cannot find.
    if grep -q "title01.png" mirrorfall.log 2>/dev/null; then
        bright=2
        break
    fi
    level="$(brightness)"
    if is_below "$level" 0.08; then
        seen_dark=1
        bright=0
    elif [ "$seen_dark" = 1 ] && ! is_below "$level" 0.13; then
        bright=$((bright + 1))
        [ "$bright" -ge 2 ] && break
    fi
    sleep 0.2
done
[ "$bright" -ge 2 ] || fail "the title did not show (window brightness ${level:-unknown})"
sleep 0.5

press Down
press Down
press Return   # Options
sleep 0.5      # the panel slides in
press Down     # music volume
press Right
import -window root "$SHOT" 2>/dev/null
press Escape   # back to the title: the settings are written
sleep 0.5

after="$(bgm_of)"
expected=$((before + 5))
[ "$before" -ge 100 ] && expected=0
[ "$after" = "$expected" ] || fail "BGM is \"$after\" after leaving the options, expected $expected (was $before)"
cmp -s Keyconfig.ini Keyconfig.before && fail "Keyconfig.ini did not change"
for key in UP DOWN LEFT RIGHT SLOW SHOOT BOMB SKIP SE AutoBomb Window; do
    grep -q "^$key=" Keyconfig.ini || fail "Keyconfig.ini lost $key"
done

press Escape   # the cursor moves to Quit
press Escape   # and Cancel on Quit ends the program
e2e_expect_clean_exit "Escape twice"
rm -rf "$WORK"
echo "e2e options: BGM $before -> $after; screenshot in $SHOT; passed"
