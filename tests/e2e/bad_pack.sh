#!/usr/bin/env bash
# bad_pack.sh -- the real game with a damaged resource pack: missing, empty, truncated, a pipe in
# its place, opened by a wrong password, and with bit flips inside two members. Each time the
# game must start, reach the title and keep running, write one clear log line for what failed
# (and never a line per member for a wrong password), and quit cleanly with Escape twice.
# Argument: build dir.
set -u
NAME=bad_pack
. "$(cd "$(dirname "$0")" && pwd)/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: bad_pack.sh BUILD_DIR}" && pwd)" xdotool python3
fi

BUILD="$2"
WORK=""
pid=""
fail() {
    echo "e2e bad_pack: FAIL (${variant:-}): $*"
    [ -n "$WORK" ] && [ -f "$WORK/mirrorfall.log" ] && tail -n 20 "$WORK/mirrorfall.log"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$WORK" ] && rm -rf "$WORK"
    exit 1
}
[ -x "$BUILD/game/mirrorfall" ] || fail "$BUILD/game/mirrorfall is not built"
[ -f "$BUILD/game/gamedat.zip" ] || { echo "e2e bad_pack: skipped (this build bakes no pack)"; exit 0; }

# Damages the pack in the current folder: "verifier" changes every member's password check
# (what a wrong password sees) and renames the title picture, so that its absence marks in the
# log when the title has loaded; "flip NAME..." flips one bit in the middle of each member named.
damage() {
    python3 - "$@" <<'PY'
import struct, sys
data = bytearray(open("gamedat.zip", "rb").read())
mode, names = sys.argv[1], set(sys.argv[2:])
end = data.rfind(b"PK\x05\x06")
count, _, start = struct.unpack_from("<HII", data, end + 10)
pos = start
for _ in range(count):
    (comp, size, nlen, elen, clen) = struct.unpack_from("<IIHHH", data, pos + 20)
    offset = struct.unpack_from("<I", data, pos + 42)[0]
    name = data[pos + 46:pos + 46 + nlen].decode()
    local = offset + 30 + struct.unpack_from("<H", data, offset + 26)[0] + struct.unpack_from("<H", data, offset + 28)[0]
    if mode == "verifier":
        data[local + 16] ^= 0xFF
        if name == "Graphics/title01.png":
            data[pos + 46:pos + 46 + nlen] = b"Graphics/title0X.png"
            data[offset + 30:offset + 30 + nlen] = b"Graphics/title0X.png"
    elif name in names:
        data[local + 18 + (comp - 28) // 2] ^= 0x08
    pos += 46 + nlen + elen + clen
open("gamedat.zip", "wb").write(data)
PY
}

# Runs the game in a fresh copy of the game folder, after $prepare has damaged the pack there.
run_variant() {
    variant="$1"
    WORK="$(mktemp -d /tmp/mirrorfall_bad_pack_XXXXXX)"
    cp -r "$BUILD/game/." "$WORK/" || fail "could not copy the game folder"
    rm -f "$WORK/mirrorfall.log" "$WORK/snapshot.dat"
    cd "$WORK" || fail "no work folder"
    case "$variant" in
        missing) rm gamedat.zip ;;
        empty) : >gamedat.zip ;;
        truncated) head -c 100000 "$BUILD/game/gamedat.zip" >gamedat.zip ;;
        pipe) rm gamedat.zip && mkfifo gamedat.zip ;;
        wrong-password) damage verifier ;;
        bit-flips) damage flip Graphics/font0.fnt Graphics/title01.png ;;
    esac
    SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 timeout 60 ./mirrorfall >"$WORK/game.out" 2>&1 &
    pid=$!
    e2e_wait_window
    xdotool windowfocus "$window" 2>/dev/null
    # The logo runs 2 s; the title then loads every picture and sound in one long frame, and the
    # title picture is the last it loads: wait for its line, however slow the machine.
    for _ in $(seq 1 300); do
        kill -0 "$pid" 2>/dev/null || fail "the game ended"
        grep -q "Graphics/title01.png" mirrorfall.log 2>/dev/null && break
        sleep 0.2
    done
    grep -q "Graphics/title01.png" mirrorfall.log 2>/dev/null || fail "the title did not load within 60 s"
    sleep 0.5
    log="$(cat mirrorfall.log 2>/dev/null)"
    opened_line="Resource pack gamedat.zip could not be opened; files are read from disk"
    case "$variant" in
        missing|empty|truncated|pipe)
            [ "$(grep -cxF "$opened_line" <<<"$log")" = 1 ] || fail "no single line saying the pack could not be opened"
            ;;
        wrong-password)
            [ "$(grep -c "does not open with the game's password" <<<"$log")" = 1 ] || fail "the wrong password is not said exactly once"
            grep "Can't find resource" <<<"$log" | grep -vq "title01.png" && fail "a line per member for a wrong password"
            ;;
        bit-flips)
            for member in Graphics/font0.fnt Graphics/title01.png; do
                [ "$(grep -cxF "Resource $member in the pack is damaged; it is not used" <<<"$log")" = 1 ] ||
                    fail "$member is not named damaged exactly once"
            done
            grep -q "Can't find resource" <<<"$log" && fail "a damaged member is reported as missing"
            ;;
    esac
    # Nothing is said twice.
    dup="$(grep -v '^$' <<<"$log" | sort | uniq -d | head -n 1)"
    [ -z "$dup" ] || fail "said twice: $dup"
    # Escape moves the cursor to Quit, and Cancel on Quit ends the program; a press the title
    # does not take yet is simply pressed again.
    e2e_press_until_exit Escape 0.3
    e2e_expect_clean_exit "Escape"
    echo "e2e bad_pack: $variant: \"$(grep -m 1 -E "pack|Resource" <<<"$log")\", $(grep -c . <<<"$log") log lines in all; the game ran and quit cleanly"
    cd / && rm -rf "$WORK"
    WORK=""
}

for v in missing empty truncated pipe wrong-password bit-flips; do
    run_variant "$v"
done
echo "e2e bad_pack: passed"
