#!/usr/bin/env bash
# A longer fuzz run of the import over damaged .xls files and of the restore
# over damaged backup files. Bounded by ITERATIONS per test and by ROUNDS
# seeds; every round uses a new seed, printed so a failure can be repeated.
#   exchange/fuzz/run-fuzz.sh [BUILD_DIR] [ITERATIONS] [ROUNDS]
set -euo pipefail
build=${1:-build}
iterations=${2:-2000}
rounds=${3:-5}
binary="$build/bin/test_exchange"
[ -x "$binary" ] || { echo "build test_exchange first: $binary" >&2; exit 2; }
for ((i = 0; i < rounds; i++)); do
  seed=$(( $(date +%s) + i ))
  echo "== round $((i + 1)) of $rounds, seed $seed, $iterations iterations"
  EXCHANGE_FUZZ_SEED=$seed EXCHANGE_FUZZ_ITERATIONS=$iterations QT_QPA_PLATFORM=offscreen \
    timeout 1800 "$binary" --gtest_filter='FuzzTest.*' --gtest_brief=1
done
