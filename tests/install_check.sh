#!/usr/bin/env bash
# Installs the build under a fresh prefix and runs the installed show from a
# directory that holds no data: it must find data.dat and readme.txt in
# share/vorlane beside its bin folder. Every program answers --version and
# --help.
#   install_check.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$(readlink -f "$1")
work=$2
rm -rf "$work"
mkdir -p "$work/prefix" "$work/elsewhere"
prefix=$(readlink -f "$work/prefix")
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/demo_gdi bin/demo_dd bin/demo_render bin/pfs bin/forge bin/picture bin/model bin/songinfo \
  share/vorlane/data.dat share/vorlane/readme.txt; do
  [ -e "$prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
first=$(head -n 1 "$prefix/share/vorlane/readme.txt" | tr -d '\r')
[ "$first" != "brickmoon" ] || { echo "readme.txt switches the hidden mode on"; exit 1; }

for p in demo_gdi demo_dd demo_render pfs forge picture model songinfo; do
  out=$("$prefix/bin/$p" --version)
  case "$out" in "$p "[0-9]*) ;; *) echo "$p --version said: $out"; exit 1 ;; esac
  "$prefix/bin/$p" --help | grep -q . || { echo "$p --help said nothing"; exit 1; }
done
# The show programs ignore other arguments.
"$prefix/bin/demo_gdi" --no-such-option --version | grep -q '^demo_gdi '

cd "$work/elsewhere"
SDL_AUDIODRIVER=dummy "$prefix/bin/demo_render" --seconds 2 --report report.json >/dev/null
grep -q '"exit_path": *"limit"' report.json || { echo "the installed show did not run:"; cat report.json; exit 1; }
echo "install_check: ok"
