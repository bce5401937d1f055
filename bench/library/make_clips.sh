#!/usr/bin/env bash
# Makes N distinct 1080p H.264 clips of 10 s, or of the seconds given (x264 veryfast, 25 fps, AAC
# sound) with the ffmpeg tool, as many at a time as the machine has cores. Clips already made are
# kept.
# Usage: bench/library/make_clips.sh <folder> [count] [seconds]
set -euo pipefail
out=${1:?usage: make_clips.sh <folder> [count]}
count=${2:-200}
seconds=${3:-10}
mkdir -p "$out"

make_one() {
  local i=$1 out=$2 seconds=$3 name
  name=$(printf '%s/clip %03d.mp4' "$out" "$i")
  [[ -s "$name" ]] && return 0
  # A different hue per clip, so no two files hold the same pictures.
  ffmpeg -hide_banner -loglevel error -nostdin -y -threads 1 \
    -f lavfi -i "testsrc2=size=1920x1080:rate=25:duration=$seconds,hue=h=$((i * 7 % 360))" \
    -f lavfi -i "sine=frequency=$((200 + i)):duration=$seconds" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -shortest "$name.tmp.mp4"
  mv "$name.tmp.mp4" "$name"
}
export -f make_one
seq 1 "$count" | xargs -P "$(nproc)" -I{} bash -c 'make_one "$@"' _ {} "$out" "$seconds"
