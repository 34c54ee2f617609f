#!/usr/bin/env bash
# export_video_list.sh -- videos from the replay list of the real game: V on a saved slot makes
# Videos/mirrorfall_replay01_DATE.mp4 (one frame per frame of the game) while the game keeps
# running and its own log stays whole; V again and Escape stops the second video, which leaves
# no file at all; the list then still takes Escape back to the title, and the game ends cleanly.
# Argument: build dir.
set -u
NAME=export_video_list
. "$(cd "$(dirname "$0")" && pwd)/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: export_video_list.sh BUILD_DIR}" && pwd)" xdotool \
        ffprobe import
fi

BUILD="$2"
WORK="$(mktemp -d /tmp/mirrorfall_export_list_XXXXXX)"
pid=""
fail() {
    echo "e2e export_video_list: FAIL: $*"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    for log in mirrorfall.log mirrorfall-export.log; do
        [ -f "$WORK/$log" ] && { echo "--- $log"; tail -n 15 "$WORK/$log"; }
    done
    rm -rf "$WORK"
    exit 1
}

[ -x "$BUILD/game/mirrorfall" ] || fail "$BUILD/game/mirrorfall is not built"
[ -f "$BUILD/game/gamedat.zip" ] || { echo "e2e export_video_list: skipped (this build bakes no pack)"; exit 0; }
cp -r "$BUILD/game/." "$WORK/" || fail "could not copy the game folder"
cd "$WORK" || fail "no work folder"
rm -rf Replay Videos mirrorfall.log
mkdir -p Replay
./mirrorfall-sim record --seed 21 --pattern chaos --frames 240 Replay/qz507_01.rpy >/dev/null ||
    fail "could not record a replay"
# The long one is stopped with Escape long before its end.
./mirrorfall-sim record --seed 5 --pattern chaos --frames 3000 Replay/qz507_02.rpy >/dev/null ||
    fail "could not record a long replay"

LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy ./mirrorfall >game.out 2>&1 &
pid=$!
e2e_wait_window
e2e_wait_title 150
press Down     # Replay
press Return
sleep 1.5      # the list slides in

press v        # slot 1 as a video
for _ in $(seq 1 40); do
    grep -q "^Making Videos/" mirrorfall.log && break
    sleep 0.25
done
grep -q "^Making Videos/mirrorfall_replay01_.*\.mp4 from replay slot 1$" mirrorfall.log ||
    fail "V did not start a video"
sleep 1
import -window "$window" "$WORK/making.png" 2>/dev/null
for _ in $(seq 1 1200); do
    grep -q "^Video \(saved\|not saved\)" mirrorfall.log && break
    kill -0 "$pid" 2>/dev/null || fail "the game ended while the video was made"
    sleep 0.25
done
grep -q "^Video saved: Videos/mirrorfall_replay01_" mirrorfall.log ||
    fail "the video was not saved: $(grep '^Video' mirrorfall.log)"
video="$(ls Videos/*.mp4)"
[ "$(ls Videos | wc -l)" -eq 1 ] || fail "Videos/ holds $(ls Videos | tr '\n' ' ')"
frames="$(ffprobe -v error -count_frames -select_streams v -show_entries stream=nb_read_frames -of csv=p=0 "$video")"
[ "$frames" -eq 304 ] || fail "$video holds $frames frames, not the 64 of the fade-in and 240 of play"
grep -q "^OpenGL" mirrorfall.log || fail "the export emptied the game's own log"

press Down     # slot 2, the long one
press v
for _ in $(seq 1 120); do
    ls Videos/*replay02*.part >/dev/null 2>&1 && break
    sleep 0.25
done
ls Videos/*replay02*.part >/dev/null 2>&1 || fail "the second video was not started"
sleep 1
press Escape   # stops the video, and only that
for _ in $(seq 1 120); do
    grep -q "^Video stopped" mirrorfall.log && break
    sleep 0.25
done
grep -q "^Video stopped" mirrorfall.log || fail "Escape did not stop the video: $(grep '^Video' mirrorfall.log)"
[ "$(ls Videos | wc -l)" -eq 1 ] || fail "the stopped video left $(ls Videos | tr '\n' ' ')"
sleep 0.5
press Escape   # the list to the title
sleep 1
e2e_press_until_exit Escape 0.7
e2e_expect_clean_exit "Escape on the title"

rm -rf "$WORK"
echo "e2e export_video_list: passed"
