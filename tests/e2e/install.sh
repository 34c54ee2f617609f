#!/usr/bin/env bash
# install.sh -- the installed game: cmake --install into a temporary prefix, the desktop entry
# and AppStream metainfo validated, then the installed game started under Xvfb with a fresh HOME.
# It must make its data folder under the data home and keep every file there (settings, log,
# screenshots), write nothing into the install, name its window for the desktop entry and show
# its icon; F12 saves a screenshot and the window says so (never in the screenshot), or says it
# failed. Argument: build dir.
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
NAME=install
. "$HERE/lib/common.sh"

if [ "${1:-}" != "--inside" ]; then
    e2e_enter_xvfb "$0" "$(cd "${1:?usage: install.sh BUILD_DIR}" && pwd)" xdotool xprop import convert \
        desktop-file-validate appstreamcli
fi

BUILD="$2"
WORK="$(mktemp -d)"
PREFIX="$WORK/prefix"
export HOME="$WORK/home"
unset XDG_DATA_HOME
DATA="$HOME/.local/share/mirrorfall"
fail() {
    echo "e2e install: FAIL: $*"
    [ -f "$DATA/mirrorfall.log" ] && tail -n 20 "$DATA/mirrorfall.log"
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    rm -rf "$WORK"
    exit 1
}

[ -f "$BUILD/game/gamedat.zip" ] || { echo "e2e install: skipped (this build does not bake the data)"; rm -rf "$WORK"; exit 0; }
mkdir -p "$HOME"
cmake --install "$BUILD" --prefix "$PREFIX" >"$WORK/install.out" 2>&1 || { cat "$WORK/install.out"; fail "cmake --install failed"; }
for f in bin/mirrorfall bin/mirrorfall-sim share/mirrorfall/gamedat.zip share/mirrorfall/Keyconfig.default.ini \
         share/applications/org.mirrorfall.Mirrorfall.desktop share/metainfo/org.mirrorfall.Mirrorfall.metainfo.xml \
         share/icons/hicolor/16x16/apps/mirrorfall.png share/icons/hicolor/256x256/apps/mirrorfall.png; do
    [ -e "$PREFIX/$f" ] || fail "$f was not installed"
done
desktop-file-validate "$PREFIX/share/applications/org.mirrorfall.Mirrorfall.desktop" || fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net "$PREFIX/share/metainfo/org.mirrorfall.Mirrorfall.metainfo.xml" >"$WORK/appstream.out" 2>&1 \
    || { cat "$WORK/appstream.out"; fail "appstreamcli refused the metainfo"; }
touch "$WORK/started"

# Started from elsewhere, as a desktop starts it.
cd "$WORK" || fail "no work folder"
SDL_AUDIODRIVER=dummy "$PREFIX/bin/mirrorfall" >"$WORK/game.out" 2>&1 &
pid=$!
e2e_wait_window
[ -d "$DATA/Replay" ] || fail "no data folder $DATA with Replay/"
cmp -s "$DATA/Keyconfig.ini" "$PREFIX/share/mirrorfall/Keyconfig.default.ini" || fail "the first run did not start from the shipped settings"
grep -q "Game files in $DATA" "$DATA/mirrorfall.log" || fail "the log does not say where the files are"
xprop -id "$window" WM_CLASS | grep -q '"mirrorfall", "mirrorfall"' || fail "the window class is not mirrorfall: $(xprop -id "$window" WM_CLASS)"
xprop -id "$window" _NET_WM_ICON | grep -q "Icon (64 x 64)" || fail "the window has no 64 x 64 icon"

# The title's loading frame, then a screenshot.
xdotool windowfocus --sync "$window" 2>/dev/null
e2e_wait_title 150
xdotool key --window "$window" F12
# The log line follows the finished file.
for _ in $(seq 1 100); do
    grep -q "Screenshot saved: " "$DATA/mirrorfall.log" && break
    sleep 0.1
done
# The window says so for about two seconds, in the bottom left corner, with a green edge that the
# screenshot itself never shows. The game is held still (SIGSTOP) while its window is captured,
# which on a busy machine takes longer than the notice lasts.
window_shot="$WORK/notice.png"
edge() {
    kill -STOP "$pid"
    import -window "$window" "$window_shot" 2>/dev/null
    local captured=$?
    kill -CONT "$pid"
    [ "$captured" = 0 ] || fail "could not capture the window"
    convert "$window_shot" -crop "1x1+10+450" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info: 2>/dev/null
}
GREEN=82,200,120
RED=232,80,74
sleep 0.3  # faded in
seen="$(edge)"
[ "$seen" = "$GREEN" ] || fail "no green notice edge in the window after F12 (it shows $seen)"
shot="$(ls "$DATA"/Screenshots/mirrorfall_*.png 2>/dev/null | head -n 1)"
[ -n "$shot" ] || fail "F12 saved no screenshot in $DATA/Screenshots"
[ "$(convert "$shot" -crop "1x1+10+450" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:)" != "$GREEN" ] \
    || fail "the notice is in the screenshot"
grep -q "Screenshot saved: Screenshots/$(basename "$shot")" "$DATA/mirrorfall.log" || fail "the log does not name the screenshot"
[ "$(python3 -c "import struct,sys; d=open(sys.argv[1],'rb').read(24); print(*struct.unpack('>II', d[16:24]))" "$shot")" = "640 480" ] \
    || fail "the screenshot is not the 640 x 480 frame"
sleep 3
seen="$(edge)"
[ "$seen" != "$GREEN" ] || fail "the notice is still there 3 s after it showed"
# A screenshot that cannot be saved says so in red.
rm -rf "$DATA/Screenshots"
echo "not a folder" >"$DATA/Screenshots"
xdotool key --window "$window" F12
for _ in $(seq 1 100); do
    grep -q "Can't make the Screenshots folder" "$DATA/mirrorfall.log" && break
    sleep 0.1
done
grep -q "Can't make the Screenshots folder" "$DATA/mirrorfall.log" || fail "the failed screenshot is not in the log"
sleep 0.3
seen="$(edge)"
[ "$seen" = "$RED" ] || fail "no red notice edge after a failed screenshot (it shows $seen)"
rm -f "$DATA/Screenshots" "$window_shot"

python3 "$HERE/close_window.py" "$window" || fail "could not ask the window to close"
e2e_expect_clean_exit "closing its window"

# Nothing beside the executable or anywhere in the install, nothing in the folder it started in.
written="$(find "$PREFIX" -newer "$WORK/started")"
[ -z "$written" ] || fail "the game wrote into its install: $written"
stray="$(find "$WORK" -maxdepth 1 -newer "$WORK/started" ! -name game.out ! -name home ! -name prefix ! -path "$WORK")"
[ -z "$stray" ] || fail "the game wrote into the folder it was started in: $stray"
rm -rf "$WORK"
echo "e2e install: passed"
