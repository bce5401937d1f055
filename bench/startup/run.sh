#!/usr/bin/env bash
# Start-up of the app host: from the start of `reelhaven` over a library of 1,000 videos whose
# thumbnails are cached to a settled root screen (the grid listed, every visible cell's thumbnail
# and duration delivered), printed once and quit. Beside it, in the same run, the listing alone
# (`reelhaven --list`, which also reads every duration) over the same library. Median of 5 runs.
# Then, side by side in one run (bench/startup/first_frame.py, ROUNDS runs each, default 10):
# `reelhaven --open CLIP` to its "first frame" line for a 10 s 1080p clip beside
# `mpv --no-config --vo=null --ao=null --frames=1 CLIP`, and the player brought back by a restart
# (a kept session with the clip playing from the library) to its first frame.
# Usage: bench/startup/run.sh [build folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/bench-startup}
work=$build/startup-work
home=$work/home

"$root/tools/setup"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target reelhaven >/dev/null
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

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
timed() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
host=$(for _ in 1 2 3 4 5; do timed "$launcher" --home "$home" --no-restore --script "$work/show.txt"; done | median)
list=$(for _ in 1 2 3 4 5; do timed "$launcher" --home "$home" --list; done | median)

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
frames=$(python3 "$root/bench/startup/first_frame.py" "${ROUNDS:-10}" "$launcher" "$work/empty" "$clip" "$played")

echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "host start to a settled root screen, 1,000 videos, thumbnails cached: ${host} ms (median of 5)"
echo "reelhaven --list over the same library (every duration read):      ${list} ms (median of 5)"
echo "load before the first-frame runs: $load_before"
echo "$frames"
