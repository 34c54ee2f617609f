#!/usr/bin/env bash
# run.sh -- installs what is missing, builds, bakes the data and starts the game in build/game.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
cd build/game
exec ./mirrorfall
