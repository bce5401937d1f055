#!/usr/bin/env bash
# Start-up of the app host: from the start of `reelhaven` over a library of 1,000 videos whose
# thumbnails are cached to a settled root screen (the grid listed, every visible cell's thumbnail
# and duration delivered), printed once and quit. Beside it, in the same run, the listing alone
# (`reelhaven --list`, which also reads every duration) over the same library. Median of 5 runs.
# Then, side by side in one run on an Xvfb display of its own (bench/startup/first_frame.py, ROUNDS
# runs each, default 10, for a 10 s 1080p clip): the first-frame lines (our "first frame" line,
# headless and in a window, beside mpv's own "first video frame after restart shown" with
# `--vo=gpu --gpu-sw` in a window) and, separately, whole processes showing one frame in a window
# (ours quit at its first frame, `mpv --vo=gpu --gpu-sw --frames=1`); and the player brought back
# by a restart (a kept session with the clip playing from the library) to its first frame.
# Figures go to standard output and $BENCH_OUT/startup.txt.
# Usage: bench/startup/run.sh [build folder]   (or BENCH_BUILD, BENCH_OUT, ROUNDS; see bench/lib.sh)
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
work=$build/startup-work
home=$work/home

"$root/tools/setup"
bench_build reelhaven
launcher="$build/src/app/reelhaven"

if [[ ! -f "$work/clip.mp4" ]]; then
  mkdir -p "$work"
  ffmpeg -v error -f lavfi -i testsrc2=size=640x360:rate=25 -t 2 -c:v libx264 -pix_fmt yuv420p "$work/clip.mp4"
fi
if [[ ! -d "$home/Documents" || $(find "$home/Documents" -name '*.mp4' | wc -l) -ne 1000 ]]; then
  rm -rf "$home"
  mkdir -p "$home/Documents"
  # Copies, not links: every file keeps an identity of its own.
  for i in $(seq -w 1 1000); do cp "$work/clip.mp4" "$home/Documents/Video $i.mp4"; done
fi
echo "show" >"$work/show.txt"
# The first run makes and caches the thumbnails the grid shows.
"$launcher" --home "$home" --no-restore --script "$work/show.txt" >/dev/null 2>&1

timed() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
host=$(for _ in 1 2 3 4 5; do timed "$launcher" --home "$home" --no-restore --script "$work/show.txt"; done | bench_median)
list=$(for _ in 1 2 3 4 5; do timed "$launcher" --home "$home" --list; done | bench_median)

# A library of one 1080p clip, played from the grid and left playing: its session is kept.
clip="$work/clip-1080p.mp4"
if [[ ! -s "$clip" ]]; then
  ffmpeg -v error -nostdin -y -f lavfi -i testsrc2=size=1920x1080:rate=30:duration=10 \
    -f lavfi -i sine=frequency=440:duration=10 -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 60 \
    -c:a aac -shortest "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
fi
played=$work/played
rm -rf "$played" "$work/empty"
mkdir -p "$played/Documents" "$work/empty/Documents"
cp "$clip" "$played/Documents/Clip.mp4"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
export LIBGL_ALWAYS_SOFTWARE=1
unset WAYLAND_DISPLAY
frames=$("$root/tools/with-xvfb" --screen 1920x1200x24 -- \
  python3 "$root/bench/startup/first_frame.py" "${ROUNDS:-10}" "$launcher" "$work/empty" "$clip" "$played")

{
  bench_machine
  bench_load now
  echo "host start to a settled root screen, 1,000 videos, thumbnails cached: ${host} ms (median of 5)"
  echo "reelhaven --list over the same library (every duration read):      ${list} ms (median of 5)"
  echo "load before the first-frame runs: $load_before"
  echo "$frames"
  bench_load after
} | tee "$out/startup.txt"
