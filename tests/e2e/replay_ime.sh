#!/usr/bin/env bash
# replay_ime.sh -- saving and watching a replay in the real window, with a real Chinese input
# method: under Xvfb, in a private D-Bus session, starts ibus-daemon with the pinyin engine and
# the game with SDL's IBus support; plays one game without touching the keys until it is lost,
# goes on to the save screen, types a Latin replay name with xdotool and a Chinese player name by
# pinyin (the composition box is captured mid-way, then committed with space), saves into slot
# 3, checks the slot file for the GBK bytes of both names, opens the replay list and the score
# list, and watches the replay to its end with Ctrl held (the fast-forward mark shows); then
# back to the title and quit. The replay name's field is taken with a click whose press and
# release are sent together.
# Screenshots: BUILD/e2e_ime_*.png. Argument: build dir.
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
NAME=replay_ime
. "$HERE/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: replay_ime.sh BUILD_DIR}" && pwd)" \
        xdotool import convert dbus-run-session ibus ibus-daemon od
fi
BUILD="$2"
# The input method lives on a session bus of its own, ended with the test.
if [ -z "${MIRRORFALL_IME_SESSION:-}" ]; then
    export MIRRORFALL_IME_SESSION=1
    exec dbus-run-session -- bash "$0" --inside "$BUILD"
fi

WORK="$(mktemp -d /tmp/mirrorfall_ime_XXXXXX)"
pid=""
fail() {
    echo "e2e replay_ime: FAIL: $*"
    [ -f "$WORK/mirrorfall.log" ] && tail -n 20 "$WORK/mirrorfall.log"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    ibus exit >/dev/null 2>&1
    rm -rf "$WORK"
    exit 1
}
shot() { import -window root "$BUILD/e2e_ime_$1.png" 2>/dev/null || fail "no screenshot $1"; }

[ -x "$BUILD/game/mirrorfall" ] || fail "$BUILD/game/mirrorfall is not built"
[ -f "$BUILD/game/gamedat.zip" ] || { echo "e2e replay_ime: skipped (no baked data)"; exit 0; }
cp -r "$BUILD/game/." "$WORK/" || fail "could not copy the game folder"
rm -rf "$WORK/mirrorfall.log" "$WORK/snapshot.dat" "$WORK/Replay"
mkdir -p "$WORK/Replay"
cd "$WORK" || fail "no work folder"

export SDL_IM_MODULE=ibus XMODIFIERS=@im=ibus GTK_IM_MODULE=ibus
ibus-daemon --xim --daemonize --replace --panel=disable >/dev/null 2>&1
# Selects an input method engine; an engine's process may take a few seconds to come up.
use_engine() {
    for _ in $(seq 1 50); do
        ibus engine "$1" >/dev/null 2>&1
        [ "$(ibus engine 2>/dev/null)" = "$1" ] && return 0
        sleep 0.2
    done
    return 1
}
use_engine xkb:us::eng || fail "ibus-daemon did not come up"
ibus list-engine 2>/dev/null | grep -q libpinyin || fail "the libpinyin engine is not installed"

SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ./mirrorfall >"$WORK/game.out" 2>&1 &
pid=$!
e2e_wait_window
xdotool windowfocus --sync "$window" 2>/dev/null
e2e_wait_title 150
sleep 0.5

# The machine may be busy and the game slow (llvmpipe draws it): keys and clicks are held long
# enough for a slow frame to see them, and the screen is looked at before going on.
press() {
    kill -0 "$pid" 2>/dev/null || fail "the game ended before the key $1"
    xdotool keydown "$1"
    sleep 0.4
    xdotool keyup "$1"
    sleep 0.4
}
activate() { e2e_activate_field "$1" 3; }

# Start, then leave the keys alone until the game is lost: the result panel appends the score.
press Return
for _ in $(seq 1 900); do
    [ -s Replay/score.rpy ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended during play"
    sleep 0.2
done
[ -s Replay/score.rpy ] || fail "the game did not end within 3 minutes"
sleep 1
press Escape         # from the result panel on to the save screen, through the shutter
wait_pixel 100 $(($(row_y 1) + 5)) "$WHITE" || fail "the save screen's fields did not show"
sleep 3              # the shutter opens; the screen takes keys after it

# Slot 3: the three fields move with the cursor to its row.
for _ in $(seq 1 20); do
    [ "$(pixel 100 $(($(row_y 3) + 5)))" = "$WHITE" ] && break
    press Down
done
[ "$(pixel 100 $(($(row_y 3) + 5)))" = "$WHITE" ] || fail "the fields did not move to slot 3"
# The replay name, with one click whose press and release are sent together, as a touchpad's
# tap sends them: the field takes the keys at once, and the name goes into it.
xdotool mousemove --window "$window" 60 $(($(row_y 3) + 5))
sleep 0.3
xdotool click 1
wait_pixel 40 $(($(row_y 3) + 5)) "$MAGENTA" || fail "a click sent as one press and release did not take the field"
xdotool type --delay 120 "Run1"
activate 180         # the player name, by pinyin
use_engine libpinyin || fail "could not select the pinyin engine"
sleep 2              # a busy machine's input method takes a while to come round to pinyin
xdotool type --delay 150 zhongwen
sleep 1.5
shot composition
xdotool key space    # commits 中文
sleep 1
use_engine xkb:us::eng || fail "could not go back to Latin typing"
click 320 440        # outside the fields: the keys are the screen's again
wait_pixel 180 $(($(row_y 3) + 5)) "$WHITE" || fail "the player name kept the keys"
press Return         # saves
for _ in $(seq 1 20); do
    [ -f Replay/qz507_03.rpy ] && break
    sleep 0.5
done
sleep 1
shot saved

slot=Replay/qz507_03.rpy
[ -f "$slot" ] || fail "nothing was saved into slot 3"
line1="$(sed -n 1p "$slot" | od -An -tx1 | tr -d ' \n')"
line2="$(sed -n 2p "$slot" | od -An -tx1 | tr -d ' \n')"
# "Run1 " and "中文 " (GBK D6D0 CEC4), each line ended by the platform's line end.
case "$line1" in 52756e3120*) ;; *) fail "slot 3 line 1 is $line1, not \"Run1 \"";; esac
case "$line2" in d6d0cec420*) ;; *) fail "slot 3 line 2 is $line2, not GBK \"中文 \"";; esac
verify="$("$BUILD/game/mirrorfall-sim" verify "$slot" 2>&1)"
case "$verify" in OK*) ;; *) fail "mirrorfall-sim verify: $verify";; esac

# The replay list shows it; Right opens the score list, Left comes back.
press Escape         # to the title, on Replay
press Return
sleep 1
shot list
press Right
sleep 1
shot scores
press Left

# Slot 3 through the shutter, watched with Ctrl held (240 frames a second) to its end, where
# the pause menu opens in its ended-replay form.
press Down           # the list's cursor to slot 3: each press moves it once
press Down
shot chosen
press Return
sleep 4
xdotool keydown Control_L
# The fast-forward mark in the left margin, beside the play field: its first arrowhead.
sleep 1
[ "$(pixel 14 17)" = "90,160,230" ] || fail "no fast-forward mark while Ctrl is held (the pixel is $(pixel 14 17))"
for _ in $(seq 1 600); do
    grep -q "^Replay ended" mirrorfall.log 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended during playback"
    sleep 0.2
done
xdotool keyup Control_L
ended="$(grep "^Replay ended" mirrorfall.log | tail -n 1)"
[ -n "$ended" ] || fail "the replay did not reach its end within 2 minutes"
sleep 1
shot ended
# The frozen frame behind the pause menu is the game's last frame, drawn although fast-forward
# leaves most pictures undrawn: the play field is not black.
field="$(import -window "$window" png:- 2>/dev/null | convert png:- -crop 100x300+440+60 -colorspace Gray -format '%[fx:mean]' info:)"
e2e_is_below "$field" 0.03 && fail "the frozen frame after a fast-forwarded end is black ($field)"
[ "$(pixel 14 17)" = "90,160,230" ] && fail "the fast-forward mark stayed after Ctrl was let go"
# "OK    FILE: N frames of play, result R, score S" against "Replay ended: N frames of play, ..."
want="$(echo "$verify" | sed -nE 's/^OK .*[:,] ([0-9]+ frames of play, result -?[0-9]+, score -?[0-9]+)$/\1/p')"
[ -n "$want" ] || fail "mirrorfall-sim verify said: $verify"
case "$ended" in *"$want") ;; *) fail "the window's playback ended with \"$ended\", verify says \"$want\"";; esac

press Down           # the pause menu's item 1: back to the title
press Return
sleep 6
# Escape moves the cursor to Quit and Cancel on Quit ends the program; a busy machine may
# still be running the shutter back to the title, so Escape is pressed until the game ends.
e2e_press_until_exit Escape 1
e2e_expect_clean_exit "Escape on Quit"
ibus exit >/dev/null 2>&1
rm -rf "$WORK"
echo "e2e replay_ime: saved \"Run1\" by \"中文\" into slot 3 and watched it: $ended; screenshots in $BUILD/e2e_ime_*.png; passed"
