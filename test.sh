#!/usr/bin/env bash
# Sets up if needed, builds both presets, runs every test in both, fuzzes
# every reader briefly (the fuzz preset: fixed seeds and run counts), runs the
# clock and timer tests under the thread sanitizer (the tsan preset), and runs
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

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan

for b in build/bench/*; do
  if [ -f "$b" ] && [ -x "$b" ]; then
    echo "== $b"
    "$b" --benchmark_min_time=0.01 >/dev/null
  fi
done
echo "test.sh: all green"
