#!/usr/bin/env bash
# test.sh -- the same set-up as run.sh, then every test: unit, scenario and determinism tests,
# the end-to-end tests of the real window under Xvfb, the unit and scenario tests again under
# AddressSanitizer and UBSan, and a short smoke run of every fuzz target (scripts/fuzz.sh runs
# them for longer). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh

status=0
(cd build && ctest --output-on-failure -j "$(nproc)" -LE e2e) || status=1
(cd build && ctest --output-on-failure -L e2e) || status=1

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMIRRORFALL_SANITIZE=ON -DMIRRORFALL_BAKE=OFF >/dev/null
cmake --build build-asan -j "$(nproc)"
(cd build-asan && ctest --output-on-failure -j "$(nproc)" -LE 'e2e|nosan') || status=1

bash scripts/fuzz.sh --smoke || status=1

exit $status
