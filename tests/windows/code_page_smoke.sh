#!/usr/bin/env bash
# code_page_smoke.sh -- the code page tests (tests/unit/code_page_test.cpp) built with MinGW-w64
# and run under Wine, where Windows' code page 936 converts instead of iconv. GoogleTest comes
# from Debian's source of it (/usr/src/googletest, libgtest-dev).
# Usage: code_page_smoke.sh WORK_DIR   (WINEPREFIX, when set, is the Wine prefix to use)
set -u
HERE="$(cd "$(dirname "$0")" && pwd)"
ROOT="$(cd "$HERE/../.." && pwd)"
work=$1
CXX=x86_64-w64-mingw32-g++-posix
WINE=/usr/lib/wine/wine64
GTEST=/usr/src/googletest/googletest
for tool in "$CXX" "$WINE" "$GTEST/src/gtest-all.cc"; do
    [ -e "$tool" ] || command -v "$tool" >/dev/null ||
        { echo "code page smoke: FAIL: $tool is missing (scripts/setup.sh installs it)"; exit 1; }
done
mkdir -p "$work"
# GoogleTest is built once; only the game's files are rebuilt.
if [ ! -f "$work/gtest.o" ]; then
    "$CXX" -std=c++20 -O1 -I"$GTEST" -I"$GTEST/include" -c "$GTEST/src/gtest-all.cc" -o "$work/gtest.o" &&
    "$CXX" -std=c++20 -O1 -I"$GTEST/include" -c "$GTEST/src/gtest_main.cc" -o "$work/gtest_main.o" ||
        { rm -f "$work/gtest.o"; echo "code page smoke: FAIL: MinGW-w64 could not build GoogleTest"; exit 1; }
fi
"$CXX" -std=c++20 -O2 -Wall -Wextra -I"$ROOT/src" -I"$GTEST/include" "$ROOT/tests/unit/code_page_test.cpp" \
    "$ROOT"/src/platform/code_page*.cpp "$work/gtest.o" "$work/gtest_main.o" -static \
    -o "$work/code_page_test.exe" ||
    { echo "code page smoke: FAIL: MinGW-w64 could not build the code page tests"; exit 1; }
export WINEPREFIX="${WINEPREFIX:-$work/wineprefix}" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 600 "$WINE" "$work/code_page_test.exe" 2>&1 | tr -d '\r' >"$work/code_page_test.out"
status=${PIPESTATUS[0]}
cat "$work/code_page_test.out"
[ "$status" -eq 0 ] && grep -q '^\[  PASSED  \]' "$work/code_page_test.out" ||
    { echo "code page smoke: FAIL: the code page tests failed under Wine (status $status)"; exit 1; }
echo "code page smoke: the code page tests pass on Windows"
