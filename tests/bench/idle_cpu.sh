#!/usr/bin/env bash
# idle_cpu.sh -- how much of one core the game uses while nobody plays: on the title (main menu)
# and on the pause overlay of a game, read from /proc over a few seconds. Runs the game in a
# copy of its folder under an X server of its own, with software OpenGL as on a machine without
# a GPU. Usage: tests/bench/idle_cpu.sh BUILD_DIR [GAME_BINARY] [SECONDS]
# GAME_BINARY (default BUILD_DIR/game/mirrorfall) lets an older build be measured against the
# same data. Prints "title: NN.N % of a core" and "pause: NN.N % of a core".
set -u
if [ "${1:-}" != "--inside" ]; then
    build="$(cd "${1:?usage: idle_cpu.sh BUILD_DIR [GAME_BINARY] [SECONDS]}" && pwd)"
    binary="$(readlink -f "${2:-$build/game/mirrorfall}")"
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside "$build" "$binary" "${3:-8}"
fi
build="$2"; binary="$3"; seconds="$4"
work="$(mktemp -d /tmp/mirrorfall_idle_XXXXXX)"
cp -r "$build/game/." "$work/"
cd "$work" || exit 1
SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 "$binary" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT

ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
# Share of one core used over $seconds seconds.
measure() {
    local t0 t1 s0 s1
    t0=$(ticks); s0=$(date +%s.%N)
    sleep "$seconds"
    t1=$(ticks); s1=$(date +%s.%N)
    awk -v a="$t0" -v b="$t1" -v s="$s0" -v e="$s1" -v hz="$(getconf CLK_TCK)" \
        'BEGIN { printf "%.1f", 100 * (b - a) / hz / (e - s) }'
}
press() { xdotool keydown "$1"; sleep 0.15; xdotool keyup "$1"; sleep 0.15; }

window=""
for _ in $(seq 1 100); do
    window="$(xdotool search --onlyvisible --name "Mirrorfall" 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    sleep 0.2
done
[ -n "$window" ] || { echo "no window"; exit 1; }
xdotool windowfocus "$window" 2>/dev/null
sleep 6  # the logo, the loading frame and the title's fade-in
echo "title: $(measure) % of a core"
[ -n "${IDLE_SHOTS:-}" ] && import -window root "$IDLE_SHOTS/idle_title.png"
press Return   # Start
sleep 4        # the screen switch and the stage's opening
press Escape   # pause
sleep 1.5
echo "pause: $(measure) % of a core"
[ -n "${IDLE_SHOTS:-}" ] && import -window root "$IDLE_SHOTS/idle_pause.png"
