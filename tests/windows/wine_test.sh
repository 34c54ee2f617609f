#!/usr/bin/env bash
# wine_test.sh -- the Windows build, run under Wine on this machine:
#  1. replays recorded by the Linux mirrorfall-sim are traced by the Windows mirrorfall-sim.exe
#     line for line identically to the Linux trace, and verified by it;
#  2. the Windows game opens its window under Xvfb, reaches the title (a screenshot that is not
#     black), takes key presses (the options menu changes the music volume and the settings
#     file is written), plays a game to its result panel (the score file appears) and exits
#     cleanly with status 0 from the title;
#  3. Chinese text: the replay list draws the GBK names of a replay recorded on Linux, and on the
#     save screen a name typed in Chinese (xdotool types the characters themselves; Wine hands
#     them on as WM_CHAR) is saved as GBK through code page 936, in a replay the Linux sim
#     verifies. Both glyph fonts must have found a CJK font: Wine has none of its own, so it is
#     the one shipped in fonts/. Screenshots: build-windows/wine_*.png.
# The code page tests themselves run under Wine in every ./test.sh (code_page_smoke.sh).
# Wine cannot show sound (there is no sound device here; the game runs on without one) or an
# input method (no IME under Xvfb; typed characters arrive whole).
#
# Usage: tests/windows/wine_test.sh [LINUX_BUILD_DIR]   (./test.sh --windows runs it after
# scripts/build-windows.sh). Needs the zip's folder in build-windows/.
set -u
SELF="$(cd "$(dirname "$0")" && pwd)/$(basename "$0")"
ROOT="$(cd "$(dirname "$0")/../.." && pwd)"
LINUX_BUILD="$(cd "${1:-$ROOT/build}" && pwd)"
OUT="${MIRRORFALL_WINDOWS_OUT:-$ROOT/build-windows}"
PKG="$OUT/Mirrorfall-windows-x86_64"
NAME=wine
. "$ROOT/tests/e2e/lib/common.sh"
SIM="$LINUX_BUILD/game/mirrorfall-sim"

fail() {
    echo "wine test: FAIL: $*"
    [ -n "${WORK:-}" ] && [ -f "$WORK/game/mirrorfall.log" ] && tail -n 20 "$WORK/game/mirrorfall.log"
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

# Wine's 64-bit loader; Debian's wine64 puts no "wine" on the PATH by itself.
WINE=/usr/lib/wine/wine64
if [ ! -x "$WINE" ]; then
    [ "$(id -u)" -eq 0 ] || fail "wine64 is missing (apt-get install wine64)"
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=900 install -y \
        --no-install-recommends wine64 >/dev/null || fail "could not install wine64"
fi
[ -f "$PKG/mirrorfall-sim.exe" ] || fail "$PKG is not built (scripts/build-windows.sh)"
[ -x "$SIM" ] || fail "$SIM is not built (scripts/setup.sh)"

# Everything runs inside one X server, so Wine's server and desktop, started with the first
# program, serve the game's window too.
if [ "${2:-}" != "--inside" ]; then
    command -v xvfb-run >/dev/null || fail "xvfb-run is missing (scripts/setup.sh installs it)"
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$SELF" "$LINUX_BUILD" --inside
fi

# A private prefix, made once; no Mono or Gecko downloads.
export WINEPREFIX="$OUT/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 300 "$WINE" wineboot --init >/dev/null 2>&1 || fail "could not make the Wine prefix"
fi

WORK="$(mktemp -d /tmp/mirrorfall_wine_XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
{
    cd "$WORK" || fail "no work folder"

    # --- 0. the Windows build of the game code calls no maths library either --------------
    bash "$ROOT/tests/check/no_libm.sh" --nm x86_64-w64-mingw32-nm "$OUT/game/libmirrorfall_core.a" ||
        fail "the Windows game code calls the C library's maths"

    # --- 1. the same replays, the same traces ------------------------------------------------
    recordings=("idle --seed 11 --pattern idle" "walk --seed 12 --pattern walk"
                "bomb --seed 13 --pattern bomb" "chaos --seed 14 --pattern chaos --input-seed 99"
                "chaos7 --seed 7 --pattern chaos --input-seed 7")
    files=()
    for r in "${recordings[@]}"; do
        set -- $r
        name=$1
        shift
        "$SIM" record "$@" "$name.rpy" >/dev/null || fail "Linux sim could not record $name"
        files+=("$name.rpy")
    done
    "$SIM" record --immortal --seed 16 --pattern bomb immortal.rpy >/dev/null ||
        fail "Linux sim could not record the immortal game"

    trace_both() {  # name [--immortal]
        local name=$1 flag=${2:-}
        "$SIM" trace $flag "$name.rpy" >"$name.linux.trace" || fail "Linux trace of $name failed"
        (cd "$PKG" && "$WINE" ./mirrorfall-sim.exe trace $flag "Z:$WORK/$name.rpy") 2>/dev/null |
            tr -d '\r' >"$name.windows.trace"
        [ -s "$name.linux.trace" ] || fail "empty Linux trace of $name"
        if ! cmp -s "$name.linux.trace" "$name.windows.trace"; then
            diff "$name.linux.trace" "$name.windows.trace" | head -n 6
            fail "the Windows trace of $name differs from the Linux one"
        fi
        echo "wine test: $name: $(wc -l <"$name.linux.trace") trace lines identical"
    }
    for f in "${files[@]}"; do trace_both "${f%.rpy}"; done
    trace_both immortal --immortal

    winfiles=()
    for f in "${files[@]}"; do winfiles+=("Z:$WORK/$f"); done
    (cd "$PKG" && "$WINE" ./mirrorfall-sim.exe verify "${winfiles[@]}" >"$WORK/verify.out" 2>&1)
    verified=$?
    tr -d '\r' <"$WORK/verify.out"
    [ $verified -eq 0 ] || fail "the Windows sim did not verify the Linux replays"
    (cd "$PKG" && "$WINE" ./mirrorfall-sim.exe verify --immortal "Z:$WORK/immortal.rpy" >/dev/null 2>&1) ||
        fail "the Windows sim did not verify the immortal replay"
    echo "wine test: the Windows sim verified every Linux replay"

}

# --- 2. the game's window ----------------------------------------------------------------------
cp -r "$PKG" "$WORK/game" || fail "could not copy the game folder"
cd "$WORK/game" || fail "no game folder"
# Slot 1 holds a replay recorded on Linux with GBK names: "Wine中文", "测试" and "回放".
"$SIM" record --seed 21 --pattern bomb --frames 120 --name "$(printf 'Wine\xd6\xd0\xce\xc4')" \
    --player "$(printf '\xb2\xe2\xca\xd4')" --comment "$(printf '\xbb\xd8\xb7\xc5')" \
    "$WORK/game/Replay/qz507_01.rpy" >/dev/null || fail "Linux sim could not record the named replay"

"$WINE" ./mirrorfall.exe >"$WORK/game.out" 2>&1 &
pid=$!

e2e_wait_window 300   # Wine starts its desktop first
xdotool windowfocus "$window" 2>/dev/null

e2e_wait_title 300
sleep 1
import -window root "$OUT/wine_title.png" 2>/dev/null || fail "no screenshot"
level="$(e2e_window_brightness)"
e2e_is_below "$level" 0.13 && fail "the title screen is dark (mean $level)"
echo "wine test: title reached, screenshot $OUT/wine_title.png (brightness $level)"

e2e_raise_music_volume "$OUT/wine_options.png"
echo "wine test: options took the keys; Keyconfig.ini BGM $before -> $after"

# The replay list, from Options one up: the Linux replay's names in the 16-pixel glyph font.
press Up
press Return   # Replay
sleep 2
import -window root "$OUT/wine_replays.png" 2>/dev/null
press Escape   # back to the title, on Replay
sleep 1

# A game: Start, then no keys until every life is lost; the result panel appends the score.
press Up
press Return   # Game Start
for _ in $(seq 1 900); do
    kill -0 "$pid" 2>/dev/null || fail "the game ended during play"
    [ -f Replay/score.rpy ] && break
    sleep 0.2
done
[ -f Replay/score.rpy ] || fail "the game did not reach its result panel within 3 minutes"
sleep 1
import -window root "$OUT/wine_result.png" 2>/dev/null
echo "wine test: a game played to its result panel (score file: $(tr -d '\r' <Replay/score.rpy))"

# On to the save screen: its fields show on slot 1's row. The keys are held for a few frames
# each: the game reads key states once a frame, and the panel takes keys only after a while.
for _ in $(seq 1 40); do
    [ "$(pixel 100 $(($(row_y 1) + 5)))" = "$WHITE" ] && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended on its result panel"
    xdotool keydown Escape
    sleep 0.3
    xdotool keyup Escape
    sleep 1
done
[ "$(pixel 100 $(($(row_y 1) + 5)))" = "$WHITE" ] || fail "the save screen's fields did not show"
sleep 2                      # the shutter opens; the screen takes keys after it
e2e_activate_field 40 1      # the replay name
xdotool type --delay 150 "Ab"
xdotool type --delay 250 "中文"
sleep 1
click 320 440                # outside the fields: the keys are the screen's again
wait_pixel 40 $(($(row_y 1) + 5)) "$WHITE" || fail "the replay name kept the keys"
import -window root "$OUT/wine_save.png" 2>/dev/null
press Return                 # saves into slot 1, over the Linux replay
for _ in $(seq 1 20); do
    [ "$(sed -n 1p Replay/qz507_01.rpy | head -c 2)" = "Ab" ] && break
    sleep 0.5
done
line1="$(sed -n 1p Replay/qz507_01.rpy | od -An -tx1 | tr -d ' \n')"
# "Ab中文 " in GBK (D6D0 CEC4), then Windows' line end.
[ "$line1" = "4162d6d0cec4200d0a" ] || fail "slot 1's name is $line1, not GBK \"Ab中文 \" and CRLF"
verify="$("$SIM" verify "$WORK/game/Replay/qz507_01.rpy" 2>&1)"
case "$verify" in OK*) ;; *) fail "the Linux sim on the replay saved on Windows: $verify" ;; esac
for font in "黑体\" 16" "宋体\" 14"; do
    tr -d '\r' <mirrorfall.log | grep -q "^Glyph font \"$font px: .*\.tt[cf]$" ||
        fail "the glyph font \"$font px found no CJK font"
done
echo "wine test: Chinese names drawn and saved as GBK ($(tr -d '\r' <mirrorfall.log | grep -m1 '^Glyph font'))"

# On to the title, then Cancel on Quit ends it. The screen switch and the title's loading frame
# take their time on a software renderer.
e2e_press_until_exit Escape 1
e2e_expect_clean_exit "Escape on the title"
echo "wine test: passed"
