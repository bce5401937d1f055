#!/usr/bin/env bash
# Start-up of the app host: from the start of `reelhaven` over a library of 1,000 videos whose
# thumbnails are cached to a settled root screen (the grid listed, every visible cell's thumbnail
# and duration delivered), printed once and quit. Beside it, in the same run, the listing alone
# (`reelhaven --list`, which also reads every duration) over the same library. Median of 5 runs.
# Then, on an Xvfb display of its own (bench/startup/first_picture.py, ROUNDS rounds, default 10,
# in rotating order): from the process's start to the first picture of a clip in its window, told
# by the window's pixels, `reelhaven --open CLIP --display` beside `mpv --vo=gpu --gpu-sw`, both
# in a window of SIZE (default 694x390) without sound, for a 1080p H.264 and a 4K HEVC clip; our
# "first frame" line beside it; and the player brought back by a restart (a kept session with the
# 1080p clip playing from the library) to its picture.
# Figures go to standard output and $BENCH_OUT/startup.txt.
# Usage: bench/startup/run.sh [build folder]   (or BENCH_BUILD, BENCH_OUT, ROUNDS, SIZE, OTHER=LABEL=LAUNCHER
# for another build beside ours, MARKS=1 for ours' start-up milestones; see bench/lib.sh)
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

# The clips, 1080p H.264 and 4K HEVC with sound, carry four boxes of saturated colour over a moving
# pattern: bench/startup/window_picture.py knows the picture in a window by them.
boxes=$(python3 -c "import sys; sys.path.insert(0, '$root/bench/startup'); import window_picture; print(window_picture.BOX_FILTER)")
make_clip() {
  local clip=$1 size=$2 seconds=$3
  shift 3
  [[ -s "$clip" ]] && return
  ffmpeg -v error -nostdin -y -f lavfi -i "testsrc2=size=$size:rate=30:duration=$seconds,$boxes" \
    -f lavfi -i "sine=frequency=440:duration=$seconds" "$@" -pix_fmt yuv420p -g 60 -c:a aac -shortest "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
}
clip="$work/boxes-1080p-h264.mp4"
clip4k="$work/boxes-2160p-hevc.mp4"
make_clip "$clip" 1920x1080 10 -c:v libx264 -preset veryfast
make_clip "$clip4k" 3840x2160 10 -c:v libx265 -preset ultrafast -tag:v hvc1 -x265-params log-level=error
# A library of the 1080p clip, played from the grid and left playing: its session is kept.
played=$work/played
rm -rf "$played" "$work/empty"
mkdir -p "$played/Documents" "$work/empty/Documents"
cp "$clip" "$played/Documents/Clip.mp4"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
export LIBGL_ALWAYS_SOFTWARE=1
unset WAYLAND_DISPLAY
# 694x390: the 16:9 window nearest 640x360 that ours opens (it is never smaller than 390 points).
pictures=$("$root/tools/with-xvfb" --screen 1920x1200x24 -- \
  python3 "$root/bench/startup/first_picture.py" "${ROUNDS:-10}" "${SIZE:-694x390}" "$launcher" "$work/empty" \
  "$played" "1080p H.264=$clip" "2160p HEVC=$clip4k")

{
  bench_machine
  bench_load now
  echo "host start to a settled root screen, 1,000 videos, thumbnails cached: ${host} ms (median of 5)"
  echo "reelhaven --list over the same library (every duration read):      ${list} ms (median of 5)"
  echo "load before the first-picture runs: $load_before"
  echo "$pictures"
  bench_load after
} | tee "$out/startup.txt"
