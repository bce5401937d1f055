#!/usr/bin/env bash
# Makes N distinct 1080p H.264 clips of 10 s, or of the seconds given (x264 veryfast, 25 fps, AAC
# sound, a key frame every GOP frames: x264's 250 unless given) with the ffmpeg tool, as many at a
# time as the machine has cores, in MP4 or in another container the ffmpeg tool knows by its
# extension (ts: a transport stream). Clips already made are kept.
# Usage: bench/library/make_clips.sh <folder> [count] [seconds] [gop] [extension]
set -euo pipefail
out=${1:?usage: make_clips.sh <folder> [count] [seconds] [gop] [extension]}
count=${2:-200}
seconds=${3:-10}
gop=${4:-250}
extension=${5:-mp4}
mkdir -p "$out"

make_one() {
  local i=$1 out=$2 seconds=$3 gop=$4 extension=$5 name
  name=$(printf '%s/clip %03d.%s' "$out" "$i" "$extension")
  [[ -s "$name" ]] && return 0
  # A different hue per clip, so no two files hold the same pictures.
  ffmpeg -hide_banner -loglevel error -nostdin -y -threads 1 \
    -f lavfi -i "testsrc2=size=1920x1080:rate=25:duration=$seconds,hue=h=$((i * 7 % 360))" \
    -f lavfi -i "sine=frequency=$((200 + i)):duration=$seconds" \
    -c:v libx264 -preset veryfast -g "$gop" -pix_fmt yuv420p -c:a aac -shortest "$name.tmp.$extension"
  mv "$name.tmp.$extension" "$name"
}
export -f make_one
seq 1 "$count" | xargs -P "$(nproc)" -I{} bash -c 'make_one "$@"' _ {} "$out" "$seconds" "$gop" "$extension"
