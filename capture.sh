#!/usr/bin/env bash
# Sets up if needed, builds, and captures the whole show with its music into
# a video file through ffmpeg: ./capture.sh [FILE] [demo_render options].
# FILE defaults to vorlane.mp4 in the current folder (.mp4: H.264 and AAC;
# .mkv: lossless FFV1 and FLAC); the options (--size, --scale, --fps, --key,
# --report ...) go to demo_render.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

out=vorlane.mp4
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  out=$1
  shift
fi
case "$out" in
/*) ;;
*) out="$PWD/$out" ;;
esac

cd "$here"
scripts/setup
cmake --preset release >/dev/null
cmake --build --preset release

cd build/bin
exec ./demo_render --video "$out" "$@"
