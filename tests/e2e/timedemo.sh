#!/usr/bin/env bash
# timedemo.sh -- `mirrorfall --timedemo` in the real window: plays a short recorded replay flat
# out, expects exactly the one summary line with the end `mirrorfall-sim verify` reckons, a
# frame file with one line per frame, exit status 0, and nothing the game keeps written: the
# settings and the Replay folder stay as they were. A file that is not a replay is refused with
# status 2. The frames it shows match those of the plain drawing (MIRRORFALL_PLAIN_DRAW), which
# takes none of the renderer's shortcuts. The plain drawing goes through the scene's own
# framebuffer, and Mesa's software renderer draws into the window a little differently: a few
# hundred pixels of a frame a level or two apart, now and then one pixel on a shared edge more. A
# shortcut that changes the picture moves thousands. Argument: build dir.
set -u
NAME=timedemo
. "$(cd "$(dirname "$0")" && pwd)/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: timedemo.sh BUILD_DIR}" && pwd)" md5sum convert compare
fi

BUILD="$2"
WORK="$(mktemp -d /tmp/mirrorfall_timedemo_XXXXXX)"
fail() {
    echo "e2e timedemo: FAIL: $*"
    [ -f "$WORK/mirrorfall.log" ] && tail -n 20 "$WORK/mirrorfall.log"
    rm -rf "$WORK"
    exit 1
}

[ -x "$BUILD/game/mirrorfall" ] || fail "$BUILD/game/mirrorfall is not built"
cp -r "$BUILD/game/." "$WORK/" || fail "could not copy the game folder"
cd "$WORK" || fail "no work folder"
mkdir -p Replay
./mirrorfall-sim record --seed 21 --pattern chaos --frames 400 "$WORK/short.rpy" >/dev/null ||
    fail "could not record a replay"
expected="$(./mirrorfall-sim verify "$WORK/short.rpy" | sed -n 's/.*, result \(-\?[0-9]*\), score \(-\?[0-9]*\)$/result=\1 score=\2/p')"
[ -n "$expected" ] || fail "mirrorfall-sim verify did not report the replay's end"

kept() { { md5sum Keyconfig.ini 2>/dev/null; find Replay -type f -exec md5sum {} + 2>/dev/null; } | sort; }
before="$(kept)"
SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ./mirrorfall --timedemo "$WORK/short.rpy" \
    --timedemo-csv "$WORK/frames.csv" >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "exit status $status ($(cat err.txt))"
[ "$(wc -l <out.txt)" -eq 1 ] || fail "printed $(wc -l <out.txt) lines: $(cat out.txt)"
line="$(cat out.txt)"
pattern='^timedemo: frames=([0-9]+) seconds=[0-9]+\.[0-9]{3} fps=[0-9]+\.[0-9] worst_ms=[0-9]+\.[0-9]{2} p99_ms=[0-9]+\.[0-9]{2} (result=-?[0-9]+ score=-?[0-9]+)$'
[[ "$line" =~ $pattern ]] || fail "unexpected line: $line"
frames="${BASH_REMATCH[1]}"
[ "${BASH_REMATCH[2]}" = "$expected" ] || fail "the timedemo ended with ${BASH_REMATCH[2]}, verify says $expected"
[ "$(($(wc -l <frames.csv) - 1))" -eq "$frames" ] || fail "frames.csv does not hold one line per frame"
[ "$(kept)" = "$before" ] || fail "the timedemo changed the settings or the Replay folder"

# Every 40th frame drawn both ways, the charging boss's particles among them. The frame-rate
# counter in the corner differs from run to run.
for way in plain quick; do
    mkdir -p "shots_$way"
    plain=0
    [ "$way" = plain ] && plain=1
    MIRRORFALL_PLAIN_DRAW=$plain MIRRORFALL_TIMEDEMO_SHOTS="$WORK/shots_$way" \
        MIRRORFALL_TIMEDEMO_SHOT_EVERY=40 SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 \
        ./mirrorfall --timedemo "$WORK/short.rpy" >/dev/null 2>&1 || fail "the $way timedemo failed"
done
shots=0
for shot in shots_plain/*.png; do
    other="shots_quick/$(basename "$shot")"
    [ -f "$other" ] || fail "no $other to match $shot"
    convert "$shot" -fill black -draw "rectangle 580,455 639,479" plain.png
    convert "$other" -fill black -draw "rectangle 580,455 639,479" quick.png
    # Pixels more than about three levels apart.
    apart="$(compare -metric AE -fuzz 1.2% plain.png quick.png null: 2>&1)"
    [ "$apart" -le 10 ] 2>/dev/null ||
        fail "$(basename "$shot"): $apart pixels differ from the plain drawing"
    shots=$((shots + 1))
done
[ "$shots" -ge 9 ] || fail "only $shots frames were saved"

printf 'not a replay\n' >bad.rpy
SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 ./mirrorfall --timedemo bad.rpy >/dev/null 2>&1
status=$?
[ "$status" -eq 2 ] || fail "a damaged replay gave exit status $status, expected 2"

rm -rf "$WORK"
echo "e2e timedemo: $line; passed"
