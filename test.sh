#!/usr/bin/env bash
# test.sh -- the same set-up as run.sh, then every test: unit, scenario and determinism tests,
# the end-to-end tests of the real window under Xvfb, the unit and scenario tests again under
# AddressSanitizer and UBSan, and a short smoke run of every fuzz target (scripts/fuzz.sh runs
# them for longer). Exits non-zero on any failure.
#
#   ./test.sh --windows   also cross-builds the Windows zip (scripts/build-windows.sh; the first
#                         time about half an hour) and runs it under Wine (tests/windows/)
set -euo pipefail
cd "$(dirname "$0")"
windows=0
for arg in "$@"; do
  case $arg in
    --windows) windows=1 ;;
    *) echo "usage: $0 [--windows]" >&2; exit 2 ;;
  esac
done
bash scripts/setup.sh

status=0
(cd build && ctest --output-on-failure -j "$(nproc)" -LE e2e) || status=1
(cd build && ctest --output-on-failure -L e2e) || status=1

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMIRRORFALL_SANITIZE=ON -DMIRRORFALL_BAKE=OFF >/dev/null
cmake --build build-asan -j "$(nproc)"
(cd build-asan && ctest --output-on-failure -j "$(nproc)" -LE 'e2e|nosan') || status=1

bash scripts/fuzz.sh --smoke || status=1

if [ $windows -eq 1 ]; then
  if bash scripts/build-windows.sh; then
    bash tests/windows/wine_test.sh build || status=1
  else
    status=1
  fi
fi

exit $status
