#!/usr/bin/env bash
# Runs every benchmark built in the given build folder and prints its figures.
set -u
build=${1:-build}
status=0
for b in "$build"/bin/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || status=1
done
exit $status
