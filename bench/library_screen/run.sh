#!/usr/bin/env bash
# Builds the library screen benchmark, makes a folder of 2,000 videos (copies of 40 distinct
# 640x360 clips of 4 s, kept in the build folder, never committed) and measures, in one run, the
# time until the opened screen's visible cells show thumbnails and durations beside the library
# manager's metadata pass alone, and the main-thread time per reloaded cell.
# Usage: bench/library_screen/run.sh [build folder] [video count]
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
count=${2:-2000}
clips=$build/library-screen-clips
folder=$build/library-screen-folder
work=$build/library-screen-work

"$root/tools/setup"
bench_build bench_library_screen
mkdir -p "$clips" "$folder" "$work"
for i in $(seq 1 40); do
  name=$(printf '%s/clip %02d.mp4' "$clips" "$i")
  [[ -s "$name" ]] && continue
  ffmpeg -hide_banner -loglevel error -nostdin -y -threads 1 \
    -f lavfi -i "testsrc2=size=640x360:rate=25:duration=4,hue=h=$((i * 9 % 360))" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p "$name.tmp.mp4"
  mv "$name.tmp.mp4" "$name"
done
for i in $(seq 1 "$count"); do
  target=$(printf '%s/video %04d.mp4' "$folder" "$i")
  [[ -s "$target" ]] || cp "$(printf '%s/clip %02d.mp4' "$clips" $(((i - 1) % 40 + 1)))" "$target"
done

{
  bench_machine
  bench_load before
  REELHAVEN_BENCH_FOLDER=$folder REELHAVEN_BENCH_WORK=$work "$build/bench/bench_library_screen" 2>"$work/stderr.log"
  bench_load after
} | tee "$out/library-screen.txt"
