# common.sh -- what the end-to-end tests share: entering an X server of their own, finding the
# game's window and waiting for the game to end. Sourced by the tests, never run alone.
# The including script sets NAME (for messages) and defines fail().

TITLE="Mirrorfall ver 1.00a"

# Re-runs the calling script under xvfb-run with "--inside BUILD" unless it already is; skips when
# Xvfb is not installed and fails when one of the tools named is missing.
e2e_enter_xvfb() {
    local script="$1" build="$2"
    shift 2
    if ! command -v xvfb-run >/dev/null || ! command -v Xvfb >/dev/null; then
        echo "e2e $NAME: skipped (Xvfb is not installed)"
        exit 0
    fi
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "e2e $NAME: FAIL: $tool is missing (scripts/setup.sh installs it)"
            exit 1
        fi
    done
    exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$script" --inside "$build"
}

# Waits up to 20 s (or $1 times 0.2 s) for the game (process $pid) to show its window; sets
# $window.
e2e_wait_window() {
    window=""
    for _ in $(seq 1 "${1:-100}"); do
        window="$(xdotool search --onlyvisible --name "$TITLE" 2>/dev/null | head -n 1)"
        [ -n "$window" ] && return 0
        kill -0 "$pid" 2>/dev/null || fail "the game ended before its window showed"
        sleep 0.2
    done
    fail "no window titled \"$TITLE\""
}

# Waits up to 5 s for the game to end after $1 and expects exit status 0.
e2e_expect_clean_exit() {
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the game did not end within 5 seconds of $1"
    wait "$pid"
    local status=$?
    pid=""
    [ "$status" -eq 0 ] || fail "the game ended with status $status"
}

e2e_window_brightness() {
    import -window "$window" png:- 2>/dev/null | convert png:- -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
}
e2e_is_below() { awk -v v="${1:-1}" -v t="$2" 'BEGIN { exit !(v < t) }'; }

# Waits for the title: the logo runs 120 frames, then comes one long loading frame, and keys
# pressed before the title shows are lost. The title is judged by the window's brightness (the
# logo is dark, the title picture is not), looked at up to $1 times; sets $level.
e2e_wait_title() {
    local tries="$1" seen_dark=0 bright=0
    sleep 1.5
    for _ in $(seq 1 "$tries"); do
        kill -0 "$pid" 2>/dev/null || fail "the game ended before the title"
        # Without the data files the loading frame logs the title's pictures it cannot find.
        if grep -q "title01.png" mirrorfall.log 2>/dev/null; then
            bright=2
            break
        fi
        level="$(e2e_window_brightness)"
        if e2e_is_below "$level" 0.08; then
            seen_dark=1
            bright=0
        elif [ "$seen_dark" = 1 ] && ! e2e_is_below "$level" 0.13; then
            bright=$((bright + 1))
            [ "$bright" -ge 2 ] && break
        fi
        sleep 0.2
    done
    [ "$bright" -ge 2 ] || fail "the title did not show (window brightness ${level:-unknown})"
}

# Presses key $1 in the game (process $pid): held long enough for the game to see it in at least
# one frame, and released long enough for its latch to open again.
press() {
    kill -0 "$pid" 2>/dev/null || fail "the game ended before the key $1"
    xdotool keydown "$1"
    sleep 0.15
    xdotool keyup "$1"
    sleep 0.15
}

# Presses key $1 again and again, $2 seconds apart (at most 40 times), until the game (process
# $pid) ends: a press a screen does not take yet, or that only moves on a screen, is followed by
# the next one. The caller then checks the exit with e2e_expect_clean_exit.
e2e_press_until_exit() {
    for _ in $(seq 1 40); do
        kill -0 "$pid" 2>/dev/null || break
        xdotool keydown "$1"
        sleep 0.2
        xdotool keyup "$1"
        sleep "$2"
    done
}

# From the title with the cursor on Game Start: Options, music volume one step up, a screenshot
# into $1, back to the title (which writes the settings). Checks Keyconfig.ini in the current
# folder; sets $before and $after to the music volume.
e2e_raise_music_volume() {
    local shot="$1" expected
    before="$(e2e_music_volume)"
    [ -n "$before" ] || fail "Keyconfig.ini has no BGM value"
    press Down
    press Down
    press Return   # Options
    sleep 0.5          # the panel slides in
    press Down     # music volume
    press Right
    import -window root "$shot" 2>/dev/null
    press Escape   # back to the title: the settings are written
    sleep 0.5
    after="$(e2e_music_volume)"
    expected=$((before + 5))
    [ "$before" -ge 100 ] && expected=0
    [ "$after" = "$expected" ] || fail "BGM is \"$after\" after leaving the options, expected $expected (was $before)"
}

e2e_music_volume() { tr -d '\r' <Keyconfig.ini | sed -n 's/^BGM=\([0-9-]*\)$/\1/p' | head -n 1; }

# A left click at a scene point (the window shows the 640 x 480 scene unscaled).
click() {
    xdotool mousemove --window "$window" "$1" "$2"
    sleep 0.3
    xdotool mousedown 1
    sleep 0.4
    xdotool mouseup 1
    sleep 0.4
}
# The colour of the window at a scene point, as "r,g,b".
pixel() {
    import -window "$window" png:- 2>/dev/null |
        convert png:- -crop "1x1+$1+$2" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info: 2>/dev/null
}
# Waits up to 30 s for the colour at a scene point.
wait_pixel() {
    for _ in $(seq 1 60); do
        [ "$(pixel "$1" "$2")" = "$3" ] && return 0
        kill -0 "$pid" 2>/dev/null || fail "the game ended"
        sleep 0.5
    done
    return 1
}
WHITE=255,255,255
MAGENTA=255,0,255
# A field's row on the save screen is y = 44 * slot - 8; its white box starts a pixel above.
row_y() { echo $((44 * $1 - 8)); }
# Clicks the save screen's field with left edge $1 on slot $2's row until its caret (magenta, at
# the text's start) shows that it has the keys.
e2e_activate_field() {
    local y; y=$(($(row_y "$2") + 5))
    for _ in 1 2 3 4 5; do
        click $(($1 + 20)) "$y"
        wait_pixel "$1" "$y" "$MAGENTA" && return 0
    done
    fail "the field at x $1 did not take the keys"
}
