#!/usr/bin/env bash
# Playback in a window, side by side in one run on one Xvfb display with Mesa's software GL:
#   reelhaven  our player output in the display host (bench_display_play): the frames drawn by
#              libmpv's render API into a context that shares the window's, composited under the
#              painted interface
#   mpv        `mpv --no-config --vo=gpu` in a window of the same size
# each playing SECONDS (default 60) of a 1080p30 H.264 clip in a WIDTHxHEIGHT window (default
# 1280x720), with audio to the null output. Reports CPU time (user + system, whole process) and
# dropped frames; the load average before and after, since other work on the machine moves every
# figure. Then idle: the display host showing a grid of 24 cells with thumbnails and titles for
# IDLE seconds (default 10), CPU time. Last, the app host on a library holding the same clip: a click
# on its cell to the first video frame on the window (bench_display_click), CLICKS runs (default
# 11): the first, cold, and the median of the others. Figures go to standard output and
# bench/out/display.txt.
# Not part of tools/test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BENCH_BUILD:-$root/build/bench-display}
seconds=${SECONDS_PLAYED:-60}
idle=${IDLE:-10}
clicks=${CLICKS:-11}
size=${SIZE:-1280x720}
out="$root/bench/out"
mkdir -p "$out" "$build"
report="$out/display.txt"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREELHAVEN_BENCH=ON >/dev/null
cmake --build "$build" --target bench_display_play bench_display_idle bench_display_click >/dev/null

clip="$build/bench-1080p30-${seconds}s.mp4"
if [[ ! -s "$clip" ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=$seconds" \
    -f lavfi -i "sine=frequency=440:duration=$seconds" -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 60 \
    -c:a aac -shortest "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
fi

width=${size%x*}
height=${size#*x}
export LIBGL_ALWAYS_SOFTWARE=1
unset WAYLAND_DISPLAY
xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp" bash -s "$build" "$clip" "$seconds" "$width" "$height" \
  "$idle" "$root/bench/display/mpv_counts.lua" "$clicks" <<'INNER' | tee "$report"
set -euo pipefail
build=$1 clip=$2 seconds=$3 width=$4 height=$5 idle=$6 counts=$7 clicks=$8
cpu() { /usr/bin/time -f "cpu_seconds %U %S" "$@" 2>&1 >/dev/null | awk '/^cpu_seconds/ {printf "cpu_seconds %.2f\n", $2 + $3}'; }
echo "display benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, ${width}x${height}, ${seconds} s of 1080p30 H.264"
echo "renderer: Mesa software GL on Xvfb"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== reelhaven (bench_display_play)"
/usr/bin/time -f "process_cpu_seconds %U %S" "$build/bench/bench_display_play" "$clip" "$seconds" "$width" "$height" 2>&1 |
  grep -Ev '^(Cannot load|Failed to open|error: XDG)' | awk '/^process_cpu_seconds/ {printf "process_cpu_seconds %.2f\n", $2 + $3; next} {print}'
echo "== mpv --no-config --vo=gpu --gpu-sw"
# --gpu-sw: mpv refuses a software renderer (Mesa's llvmpipe here) unless told to use it.
/usr/bin/time -f "process_cpu_seconds %U %S" mpv --no-config --vo=gpu --gpu-sw --ao=null --geometry="${width}x${height}" \
  --no-border --length="$seconds" --really-quiet --script="$counts" "$clip" 2>&1 |
  grep -Ev '^(Cannot load|Failed to open|error: XDG)' | awk '/^process_cpu_seconds/ {printf "process_cpu_seconds %.2f\n", $2 + $3; next} {print}'
echo "== idle: a grid of 24 cells shown for ${idle} s"
/usr/bin/time -f "process_cpu_seconds %U %S" "$build/bench/bench_display_idle" "$idle" 2>&1 |
  grep -Ev '^(Cannot load|Failed to open|error: XDG)' | awk '/^process_cpu_seconds/ {printf "process_cpu_seconds %.2f\n", $2 + $3; next} {print}'
echo "== click on a library cell to the first video frame on the window (${clicks} runs)"
"$build/bench/bench_display_click" "$clip" "$clicks" 2>&1 | grep -Ev '^(Cannot load|Failed to open|error: XDG)'
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
INNER
