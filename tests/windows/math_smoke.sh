#!/usr/bin/env bash
# math_smoke.sh -- the short Windows check of every ./test.sh run: the game's own maths built
# with MinGW-w64 and run under Wine gives the same bits as the Linux build (math_hash.cpp).
# The whole Windows build and its tests are ./test.sh --windows.
# Usage: math_smoke.sh LINUX_MATH_HASH_EXECUTABLE WORK_DIR   (WINEPREFIX, when set, is the Wine
# prefix to use)
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
linux_hash_exe=$1
work=$2
CXX=x86_64-w64-mingw32-g++-posix
WINE=/usr/lib/wine/wine64
for tool in "$CXX" "$WINE"; do
    command -v "$tool" >/dev/null || { echo "math smoke: FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
mkdir -p "$work"
"$CXX" -std=c++20 -O2 -Wall -ffp-contract=off -fno-fast-math -fno-math-errno -static \
    -I"$ROOT/src" "$HERE/math_hash.cpp" "$ROOT/src/core/det_math.cpp" -o "$work/math_hash.exe" ||
    { echo "math smoke: FAIL: MinGW-w64 could not build the maths"; exit 1; }
export WINEPREFIX="${WINEPREFIX:-$work/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
linux="$("$linux_hash_exe")"
windows="$(timeout 600 "$WINE" "$work/math_hash.exe" 2>/dev/null | tr -d '\r')"
echo "math smoke: Linux $linux, Windows $windows"
[ -n "$linux" ] && [ "$linux" = "$windows" ] || { echo "math smoke: FAIL: the results differ"; exit 1; }
