#!/usr/bin/env bash
# Sets up if needed, builds (programs and the generated data.dat), and starts
# the show in a window from build/bin. Arguments go to the program; run
# build/bin/demo_dd instead for full screen.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup
cmake --preset release >/dev/null
cmake --build --preset release

cd build/bin
exec ./demo_gdi "$@"
