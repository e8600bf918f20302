#!/usr/bin/env bash
# Sets up if needed, builds, and starts the show from build/bin.
set -euo pipefail
cd "$(dirname "$0")"

scripts/setup
cmake --preset release >/dev/null
cmake --build --preset release

cd build/bin
if [ -x ./demo_gdi ]; then
  exec ./demo_gdi "$@"
fi

# Until the show exists: pack a generated tree into an archive and list it.
rm -rf sample && mkdir -p sample/data/intro
printf 'Vorlane sample tree\n' > sample/data/readme.txt
head -c 65536 /dev/urandom > sample/data/intro/noise.bin
seq 1 20000 > sample/data/intro/numbers.txt
./pfs pack sample/data sample.dat
./pfs list sample.dat
./pfs cat sample.dat data/Intro\\Numbers.TXT | tail -n 1
