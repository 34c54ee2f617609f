#!/usr/bin/env bash
# fuzz.sh -- builds the libFuzzer targets of tests/fuzz with clang, AddressSanitizer and UBSan
# into build-fuzz/, makes their seed corpora from the baked game in build/game (run
# scripts/setup.sh first), and runs each target in turn, one process at a time.
#
#   bash scripts/fuzz.sh --smoke                 a short fixed number of runs each (test.sh)
#   bash scripts/fuzz.sh --runs N [TARGET...]    N executions each
#   bash scripts/fuzz.sh --time SECONDS [TARGET...]   so many seconds each
#
# Targets: pack image profile font replay score text_field replay_screens (all when none is named). What each run finds is kept in
# build-fuzz/corpus/TARGET; a crash is written to build-fuzz/artifacts/TARGET/ and fails the
# script. The summary line of each target gives executions, coverage and corpus size.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=smoke
amount=0
case "${1:-}" in
  --smoke) shift ;;
  --runs) mode=runs; amount=$2; shift 2 ;;
  --time) mode=time; amount=$2; shift 2 ;;
  "") ;;
  *) echo "usage: $0 --smoke | --runs N [TARGET...] | --time SECONDS [TARGET...]" >&2; exit 2 ;;
esac
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(pack image profile font replay score text_field replay_screens)

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is missing; scripts/setup.sh installs it" >&2
  exit 1
fi
if [ ! -f build/game/gamedat.zip ]; then
  echo "fuzz.sh: no baked game in build/game; run scripts/setup.sh first" >&2
  exit 1
fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMIRRORFALL_FUZZ=ON -DMIRRORFALL_BAKE=OFF -DMIRRORFALL_FUZZ_GAME_DIR="$PWD/build/game" >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_seeds $(printf 'fuzz_%s ' "${targets[@]}") >/dev/null

# The targets write their inputs to files, and the score file is flushed to the disk on every
# append: a scratch folder in memory keeps the disk out of each run.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi

status=0
# Absolute paths: a target may work in a folder of its own (the score file's name is relative).
for t in "${targets[@]}"; do
  corpus=$PWD/build-fuzz/corpus/$t
  artifacts=$PWD/build-fuzz/artifacts/$t
  mkdir -p "$corpus" "$artifacts"
  case $mode in
    smoke) limit=(-runs=$([ "$t" = pack ] && echo 300 || echo 3000)) ;;
    runs) limit=(-runs="$amount") ;;
    time) limit=(-max_total_time="$amount") ;;
  esac
  log=build-fuzz/fuzz_$t.log
  # libzip's own leak on a failed open, and fontconfig's configuration kept for the process
  # (tests/fuzz/lsan.supp), are kept out of the runs of the targets that reach them.
  sanitizer=()
  case $t in
    pack|text_field|replay_screens) sanitizer=(env LSAN_OPTIONS="suppressions=$PWD/tests/fuzz/lsan.supp") ;;
  esac
  # The readers log every damaged input to standard error: keep it out of the way.
  if "${sanitizer[@]}" build-fuzz/tests/fuzz/fuzz_"$t" "${limit[@]}" -close_fd_mask=2 -print_final_stats=1 \
       -artifact_prefix="$artifacts/" "$corpus" "$PWD/build-fuzz/fuzz-seeds/$t" >"$log" 2>&1; then
    echo "fuzz_$t: $(grep -E '^#[0-9]+.*DONE' "$log" | tail -1)"
  else
    echo "fuzz_$t: FAILED, see $log and $artifacts/" >&2
    tail -40 "$log" >&2
    status=1
  fi
done
exit $status
