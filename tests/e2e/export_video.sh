#!/usr/bin/env bash
# export_video.sh -- `mirrorfall --export-video` on a short recorded replay. The MP4 holds one
# H.264 frame (yuv420p, 640 x 480) per frame the timedemo draws, at 60 a second, and AAC sound
# as long as the pictures, read back with ffprobe; the last line printed ends as
# `mirrorfall-sim verify` says the game ends. Frames decoded from the video match the timedemo's
# own snapshots of the same frames (PSNR; the frame-rate counter in the corner masked). The
# sound is silent until the boss's charge raises its first cue, starts within a frame of that
# frame, and is heard where the boss arrives. A WebM at --scale 2 holds VP9 at 1280 x 960 and
# Opus. Without a display the same file comes out, byte for byte. Nothing the game keeps is
# written. Bad input: a damaged replay and an unknown extension exit with 2, a folder that
# cannot be written with 3, each with one line and no video file; Ctrl+C stops with 130 and
# leaves no file at all. Argument: build dir.
set -u
NAME=export_video
. "$(cd "$(dirname "$0")" && pwd)/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: export_video.sh BUILD_DIR}" && pwd)" ffprobe ffmpeg \
        compare convert python3
fi

BUILD="$2"
WORK="$(mktemp -d /tmp/mirrorfall_export_XXXXXX)"
pid=""
fail() {
    echo "e2e export_video: FAIL: $*"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -f "$WORK/mirrorfall-export.log" ] && tail -n 20 "$WORK/mirrorfall-export.log"
    rm -rf "$WORK"
    exit 1
}

[ -x "$BUILD/game/mirrorfall" ] || fail "$BUILD/game/mirrorfall is not built"
[ -f "$BUILD/game/gamedat.zip" ] || { echo "e2e export_video: skipped (this build bakes no pack)"; exit 0; }
cp -r "$BUILD/game/." "$WORK/" || fail "could not copy the game folder"
cd "$WORK" || fail "no work folder"
mkdir -p Replay videos
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy

./mirrorfall-sim record --seed 21 --pattern chaos --frames 240 short.rpy >/dev/null ||
    fail "could not record a replay"
expected="$(./mirrorfall-sim verify short.rpy | sed -n 's/.*, result \(-\?[0-9]*\), score \(-\?[0-9]*\)$/result=\1 score=\2/p')"
[ -n "$expected" ] || fail "mirrorfall-sim verify did not report the replay's end"

# The game's own pictures of every 40th frame, and each frame's counter.
mkdir -p shots
MIRRORFALL_TIMEDEMO_SHOTS="$WORK/shots" MIRRORFALL_TIMEDEMO_SHOT_EVERY=40 \
    ./mirrorfall --timedemo short.rpy --timedemo-csv frames.csv >timedemo.txt 2>/dev/null ||
    fail "the timedemo failed"
frames="$(sed -n 's/^timedemo: frames=\([0-9]*\) .*/\1/p' timedemo.txt)"
[ -n "$frames" ] || fail "the timedemo printed $(cat timedemo.txt)"

kept() { { md5sum Keyconfig.ini; find Replay -type f -exec md5sum {} +; } 2>/dev/null | sort; }
before="$(kept)"
./mirrorfall --export-video short.rpy videos/short.mp4 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "exit status $status ($(cat err.txt))"
[ "$(wc -l <out.txt)" -eq 1 ] || fail "printed $(wc -l <out.txt) lines: $(cat out.txt)"
[ -s err.txt ] && fail "standard error was not quiet: $(head -n 3 err.txt)"
line="$(cat out.txt)"
pattern='^export: frames=([0-9]+) seconds=[0-9]+\.[0-9]{3} fps=[0-9]+\.[0-9] bytes=([0-9]+) (result=-?[0-9]+ score=-?[0-9]+)$'
[[ "$line" =~ $pattern ]] || fail "unexpected line: $line"
[ "${BASH_REMATCH[1]}" -eq "$frames" ] || fail "exported ${BASH_REMATCH[1]} frames, the timedemo drew $frames"
[ "${BASH_REMATCH[2]}" -eq "$(stat -c %s videos/short.mp4)" ] || fail "bytes= is not the file's size"
[ "${BASH_REMATCH[3]}" = "$expected" ] || fail "the export ended with ${BASH_REMATCH[3]}, verify says $expected"
[ "$(kept)" = "$before" ] || fail "the export changed the settings or the Replay folder"
[ "$(ls videos)" = "short.mp4" ] || fail "videos/ holds $(ls videos | tr '\n' ' ')"

# Without any display the game draws offscreen, and the file is the same, byte for byte.
env -u DISPLAY ./mirrorfall --export-video short.rpy offscreen.mp4 >/dev/null 2>err.txt ||
    fail "the export without a display failed: $(cat err.txt)"
cmp -s offscreen.mp4 videos/short.mp4 || fail "the export without a display made another file"

# Streams, frames, rate and duration, as FFmpeg's own probe reads them.
probe() {
    ffprobe -v error -count_frames -show_entries \
        stream=codec_type,codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames,sample_rate,channels \
        -show_entries format=duration -of compact=p=0 "$1"
}
probe videos/short.mp4 >probe.txt || fail "ffprobe cannot read the video"
grep -qx "codec_name=h264|codec_type=video|width=640|height=480|pix_fmt=yuv420p|r_frame_rate=60/1|nb_read_frames=$frames" probe.txt ||
    fail "the picture stream is not as it should be: $(cat probe.txt)"
grep -q "^codec_name=aac|codec_type=audio|sample_rate=44100|channels=2|" probe.txt ||
    fail "the sound stream is not as it should be: $(cat probe.txt)"
duration="$(sed -n 's/^duration=//p' probe.txt)"
awk -v d="$duration" -v n="$frames" 'BEGIN { exit !(d >= n / 60 - 0.001 && d <= n / 60 + 1 / 60) }' ||
    fail "the video lasts $duration s, not $frames / 60"

# Decoded frames against the game's snapshots of the same frames (frame K is picture K - 1).
mkdir -p decoded
ffmpeg -v error -i videos/short.mp4 -vf "select='not(mod(n+1\,40))'" -vsync 0 decoded/%d.png ||
    fail "ffmpeg cannot decode the pictures"
compared=0
for shot in shots/frame*.png; do
    k="$(basename "$shot" .png)"
    k="${k#frame}"
    convert "$shot" -fill black -draw "rectangle 580,455 639,479" game.png
    convert "decoded/$((k / 40)).png" -fill black -draw "rectangle 580,455 639,479" video.png
    psnr="$(compare -metric PSNR game.png video.png null: 2>&1)"
    # yuv420p alone costs these small coloured sprites about 33 dB; a frame off by one is ~24.
    awk -v p="$psnr" 'BEGIN { exit !(p + 0 >= 27) }' || fail "frame $k: PSNR $psnr dB against the game's picture"
    compared=$((compared + 1))
done
[ "$compared" -ge 6 ] || fail "only $compared frames were compared"

# The sound: silent before the boss's charge raises its first cue, on the frame whose counter
# reads -61 (its first step), and the boss's arrival (counter 2) heard with its frame.
ffmpeg -v error -i videos/short.mp4 -map 0:a -f s16le -ac 1 -ar 44100 sound.raw ||
    fail "ffmpeg cannot decode the sound"
python3 - "$WORK/frames.csv" "$WORK/sound.raw" <<'EOF' || fail "the sound is not where the game raised it"
import math, struct, sys
rows = [line.split(",") for line in open(sys.argv[1]).read().split("\n")[1:] if line]
index = {int(r[1]): int(r[0]) - 1 for r in reversed(rows)}  # frame counter -> first picture
raw = open(sys.argv[2], "rb").read()
s = struct.unpack("<%dh" % (len(raw) // 2), raw)
per = 735
first = next(i for i, v in enumerate(s) if abs(v) > 4)
charge = index[-61]
print("first sound at sample %d (frame %.2f); the charge's cue was raised on frame %d" % (first, first / per, charge))
assert abs(first / per - charge) <= 1, "first sound a frame or more away from its frame"
def rms(f):
    part = s[f * per:(f + 1) * per]
    return math.sqrt(sum(v * v for v in part) / len(part))
arrival = index[2]
heard = max(rms(f) for f in range(arrival, arrival + 4))
print("boss arrival on frame %d: loudness %.0f" % (arrival, heard))
assert heard > 1000, "the boss's arrival is silent"
EOF

# WebM at twice the size: VP9 and Opus, every frame; the blown-up picture shrinks back to the
# game's (each pixel a 2 x 2 block).
./mirrorfall --export-video short.rpy videos/big.webm --scale 2 >out.txt 2>err.txt ||
    fail "the WebM export failed: $(cat err.txt)"
probe videos/big.webm >probe.txt || fail "ffprobe cannot read the WebM"
grep -qx "codec_name=vp9|codec_type=video|width=1280|height=960|pix_fmt=yuv420p|r_frame_rate=60/1|nb_read_frames=$frames" probe.txt ||
    fail "the WebM's picture stream is not as it should be: $(cat probe.txt)"
grep -q "^codec_name=opus|codec_type=audio|sample_rate=48000|channels=2|" probe.txt ||
    fail "the WebM's sound stream is not as it should be: $(cat probe.txt)"
ffmpeg -v error -i videos/big.webm -vf "select='eq(n\,199)',scale=640:480:flags=neighbor" -vsync 0 big.png ||
    fail "ffmpeg cannot decode the WebM"
convert shots/frame200.png -fill black -draw "rectangle 580,455 639,479" game.png
convert big.png -fill black -draw "rectangle 580,455 639,479" video.png
psnr="$(compare -metric PSNR game.png video.png null: 2>&1)"
awk -v p="$psnr" 'BEGIN { exit !(p + 0 >= 25) }' || fail "WebM frame 200: PSNR $psnr dB"

# Bad input: one line, the README's exit status, and no video under any name.
check_refused() {  # expected status, video name, what the line says, command...
    local want="$1" video="$2" says="$3"
    shift 3
    "$@" >out.txt 2>err.txt
    local got=$?
    [ "$got" -eq "$want" ] || fail "$*: exit status $got, expected $want"
    [ "$(wc -l <err.txt)" -eq 1 ] || fail "$*: $(wc -l <err.txt) lines: $(cat err.txt)"
    grep -q "$says" err.txt || fail "$*: the line does not say \"$says\": $(cat err.txt)"
    [ -s out.txt ] && fail "$*: printed $(cat out.txt)"
    [ -e "$video" ] || [ -e "$video.part" ] && fail "$*: left $video behind"
    return 0
}
printf 'not a replay\n' >bad.rpy
sed '5s/^[0-9-]*/x/' short.rpy >damaged.rpy  # the seed is not a number
check_refused 2 videos/bad.mp4 "not a replay" ./mirrorfall --export-video bad.rpy videos/bad.mp4
check_refused 2 videos/cut.mp4 "not a replay" ./mirrorfall --export-video damaged.rpy videos/cut.mp4
check_refused 2 videos/short.avi "must end in .mp4 or .webm" ./mirrorfall --export-video short.rpy videos/short.avi
printf 'a file, not a folder\n' >plain
check_refused 3 plain/short.mp4 "cannot write plain/short.mp4" ./mirrorfall --export-video short.rpy plain/short.mp4
check_refused 3 nowhere/short.mp4 "cannot write nowhere/short.mp4" ./mirrorfall --export-video short.rpy nowhere/short.mp4

# Ctrl+C: a longer game, stopped once it is under way.
./mirrorfall-sim record --seed 5 --pattern chaos --frames 3000 long.rpy >/dev/null || fail "could not record a long replay"
./mirrorfall --export-video long.rpy videos/long.mp4 --progress-lines >out.txt 2>err.txt &
pid=$!
for _ in $(seq 1 600); do
    grep -q "^export: progress" err.txt 2>/dev/null && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
grep -q "^export: progress" err.txt || fail "no progress was reported: $(cat err.txt)"
[ -e videos/long.mp4.part ] || fail "no file is being written while exporting"
kill -INT "$pid"
wait "$pid"
status=$?
pid=""
[ "$status" -eq 130 ] || fail "Ctrl+C gave exit status $status, expected 130"
grep -q "stopped after" err.txt || fail "Ctrl+C said $(tail -n 1 err.txt)"
[ -e videos/long.mp4 ] || [ -e videos/long.mp4.part ] && fail "Ctrl+C left a file behind: $(ls videos)"

rm -rf "$WORK"
echo "e2e export_video: $line; passed"
