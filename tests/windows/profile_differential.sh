#!/usr/bin/env bash
# profile_differential.sh -- builds profile_differential.cpp with MinGW-w64 (our profile reader
# and writer beside the Windows profile functions) and runs it under Wine.
# Usage: profile_differential.sh WORK_DIR [FILES]   (WINEPREFIX, when set, is the Wine prefix)
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
work=$1
files=${2:-3000}
CXX=x86_64-w64-mingw32-g++-posix
WINE=/usr/lib/wine/wine64
for tool in "$CXX" "$WINE"; do
    [ -e "$tool" ] || command -v "$tool" >/dev/null ||
        { echo "profile differential: FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
mkdir -p "$work/files"
"$CXX" -std=c++20 -O2 -Wall -Wextra -I"$ROOT/src" "$HERE/profile_differential.cpp" \
    "$ROOT/src/platform/profile.cpp" "$ROOT/src/platform/whole_file.cpp" -static -o "$work/profile_differential.exe" ||
    { echo "profile differential: FAIL: MinGW-w64 could not build it"; exit 1; }
export WINEPREFIX="${WINEPREFIX:-$work/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cd "$work/files"
timeout 600 "$WINE" "$work/profile_differential.exe" "$files" 2>&1 | tr -d '\r' >"$work/profile_differential.out"
status=${PIPESTATUS[0]}
tail -40 "$work/profile_differential.out"
[ "$status" -eq 0 ] || { echo "profile differential: FAIL: our reader or writer differs from Windows"; exit 1; }
echo "profile differential: every file reads alike"
