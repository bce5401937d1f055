#!/usr/bin/env bash
# Builds the thumbnail benchmark, makes 1080p and 4K H.264 clips with the ffmpeg tool (kept in
# the build folder, never committed) and prints the library's figures, then whole processes making
# the same PNG: the library's, the ffmpeg tool's (the same key frame, one thread) and
# ffmpegthumbnailer's.
# Usage: bench/thumbnails.sh [build folder] [benchmark options...]
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
shift || true
source "$(dirname "$0")/lib.sh"
media=$build/bench-media

"$root/tools/setup"

bench_build bench_thumbnails

mkdir -p "$media"
make_clip() { # name size
  [[ -s "$media/$1" ]] && return 0
  echo "making $1 ($2, 60 s)" >&2
  ffmpeg -hide_banner -loglevel error -nostdin -y \
    -f lavfi -i "testsrc2=size=$2:rate=30:duration=60" -f lavfi -i "sine=frequency=440:duration=60" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 250 -c:a aac -shortest "$media/$1.tmp.mp4"
  mv "$media/$1.tmp.mp4" "$media/$1"
}
make_clip 1080p.mp4 1920x1080
make_clip 4k.mp4 3840x2160

{ bench_machine; bench_load before; } >&2
REELHAVEN_BENCH_MEDIA=$media "$build/bench/bench_thumbnails" --benchmark_min_time=2 "$@"
