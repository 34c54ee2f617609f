#!/usr/bin/env bash
# practice.sh -- practice through the real window: copies the built game folder to a fresh
# folder, starts the game there under Xvfb, chooses PRACTICE on the title and attack 4 (a spell
# card) on the practice screen, plays no keys until the practice is over (the attack history
# counts it), retries it, plays it out again, goes back to the practice screen and the title and
# quits; then starts the game again and checks that the history it saved reads back. Screenshots
# of every step go into the build folder. Argument: build dir.
set -u
NAME=practice
. "$(cd "$(dirname "$0")" && pwd)/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: practice.sh BUILD_DIR}" && pwd)" xdotool import convert awk
fi

BUILD="$2"
WORK="$(mktemp -d /tmp/mirrorfall_practice_XXXXXX)"
SHOTS="$BUILD/e2e_practice"
pid=""
fail() {
    echo "e2e practice: FAIL: $*"
    [ -f "$WORK/mirrorfall.log" ] && tail -n 20 "$WORK/mirrorfall.log"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$WORK"
    exit 1
}

[ -x "$BUILD/game/mirrorfall" ] || fail "$BUILD/game/mirrorfall is not built"
[ -f "$BUILD/game/gamedat.zip" ] || { echo "e2e practice: skipped (the game's data is not baked)"; exit 0; }
cp -r "$BUILD/game/." "$WORK/" || fail "could not copy the game folder"
rm -f "$WORK/mirrorfall.log" "$WORK/snapshot.dat" "$WORK/Replay/history.txt"
rm -rf "$SHOTS"
mkdir -p "$SHOTS"
cd "$WORK" || fail "no work folder"
if [ ! -f Keyconfig.ini ]; then
    printf '[KeyPress]\r\nUP=38\r\nDOWN=40\r\nLEFT=37\r\nRIGHT=39\r\nSLOW=16\r\nSHOOT=90\r\nBOMB=88\r\nSKIP=17\r\n[Sound]\r\nBGM=80\r\nSE=80\r\n[System]\r\nAutoBomb=0\r\nWindow=1\r\n' >Keyconfig.ini
fi

start_game() {
    SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ./mirrorfall >>"$WORK/game.out" 2>&1 &
    pid=$!
    e2e_wait_window
    xdotool windowfocus "$window" 2>/dev/null
    e2e_wait_title 150
    sleep 0.5
}
shot() { import -window "$window" "$SHOTS/$1.png" 2>/dev/null || fail "no screenshot $1"; }
# The history line of practised attack 4: "practice 4 MET CAPTURED BEST".
practice4() { sed -n 's/^practice 4 \([0-9]*\) \([0-9]*\) .*/\1 \2/p' Replay/history.txt 2>/dev/null; }
# Waits up to $2 seconds for attack 4 to have been met $1 times in a practice that is over (the
# history is saved when the result panel opens).
wait_practice_over() {
    for _ in $(seq 1 $(($2 * 2))); do
        kill -0 "$pid" 2>/dev/null || fail "the game ended during the practice"
        case "$(practice4)" in "$1 "*) return 0 ;; esac
        sleep 0.5
    done
    fail "practice $1 of attack 4 did not end within $2 s (history: $(practice4))"
}

start_game
shot 1_title
press Up       # from GAME START up to PRACTICE, below QUIT
press Return
sleep 0.5
shot 2_practice_screen
press Down
press Down
press Down     # attack 4, the second spell card
press Return
sleep 9        # the shutter, the boss's arrival and the card's title sliding in (slowly drawn)
shot 3_attack4
grep -q "damaged" mirrorfall.log && fail "the history was reported damaged"

wait_practice_over 1 150   # no keys: the rain and the curtains take the lives
sleep 1.5
shot 4_result
press Return   # retry with a new seed
sleep 9
shot 5_retry
wait_practice_over 2 150
sleep 1.5
press Escape   # back to the practice screen, through the shutter
sleep 8
shot 6_practice_screen_after
# Escape: the title (cursor on PRACTICE), QUIT, out; a press the shutter swallows is repeated.
e2e_press_until_exit Escape 1
e2e_expect_clean_exit "Escape on the practice screen and the title"
[ "$(practice4 | cut -d' ' -f1)" = 2 ] || fail "attack 4 was not met twice: $(practice4)"

# Started again, the game reads the history it saved.
rm -f mirrorfall.log
start_game
press Up
press Return
sleep 0.5
shot 7_practice_screen_restarted
grep -q "attack history" mirrorfall.log && fail "the saved history did not read back: $(grep 'attack history' mirrorfall.log)"
e2e_press_until_exit Escape 1
e2e_expect_clean_exit "Escape on the practice screen and the title"
rm -rf "$WORK"
echo "e2e practice: attack 4 met and not captured twice, history read back after a restart; screenshots in $SHOTS; passed"
