#!/usr/bin/env bash
# Sets up if needed, builds both presets, runs every test in both, and runs
# every benchmark program once briefly so none rots.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup
scripts/format --check

cmake --preset release >/dev/null
cmake --build --preset release
ctest --preset release

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

for b in build/bench/*; do
  if [ -f "$b" ] && [ -x "$b" ]; then
    echo "== $b"
    "$b" --benchmark_min_time=0.01 >/dev/null
  fi
done
echo "test.sh: all green"
