#!/usr/bin/env bash
# Playback in a window, side by side in one run on one Xvfb display with Mesa's software GL
# (bench/display/compare_play.py, each round starting with the next runner in turn):
#   reelhaven  our player output in the display host (bench_display_play): the frames drawn by
#              libmpv's render API into a context that shares the window's, composited under the
#              painted interface
#   mpv        `mpv --no-config --vo=gpu --gpu-sw` in a window of the same size
# each playing SECONDS (default 30) of a 1080p30 H.264 clip 10 s longer (mpv's `--length`, set on
# our session too) in windows of each of SIZES (default "640x360 1280x720"), ROUNDS times (default
# 3), with audio to the null output. Reports CPU time
# (user + system, whole process), frames shown and dropped, and the CPU per frame shown with its
# ratio (under load both drop frames, which cost neither their drawing); the app itself
# (`reelhaven --open --display` at each size, stopped by SIGTERM SECONDS after its first frame
# beside mpv stopped the same way, and at 640x360 `reelhaven --play --display`), its whole-process
# CPU (start-up and exit included) and the frames it did not show against mpv's;
# the load average before and after. Then idle: the display host showing a grid of 24 cells with thumbnails and titles for
# IDLE seconds (default 10), CPU time. Last, the app host on a library holding the same clip: a
# click on its cell to the first video frame on the window (bench_display_click), CLICKS runs
# (default 11): the first, cold, and the median of the others. Figures go to standard output and
# $BENCH_OUT/display.txt. Not part of tools/test.
# OTHER=LABEL=PATH adds another build's bench_display_play to every round (the one before a change);
# OTHER_APP=LABEL=PATH another build's launcher beside the app's runs (see compare_play.py: the whole
# app with --open at each size and --play at 640x360, then each paused for PAUSED seconds).
# ONLY=paused runs the idle-while-paused line alone (the app and mpv, paused).
# Usage: bench/display/run.sh   (BENCH_BUILD, BENCH_OUT, SECONDS_PLAYED, SIZES, ROUNDS, IDLE, CLICKS, OTHER,
# OTHER_APP, PAUSED, ONLY; see bench/lib.sh)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
seconds=${SECONDS_PLAYED:-30}
idle=${IDLE:-10}
clicks=${CLICKS:-11}
sizes=${SIZES:-640x360 1280x720}
rounds=${ROUNDS:-3}
report="$out/display.txt"
bench_build bench_display_play bench_display_idle bench_display_click reelhaven

# 10 s longer than the span played: the app's `--open`, stopped at the span's end, must not reach
# the clip's end first (where it would leave the player).
length=$((seconds + 10))
clip="$build/bench-1080p30-${length}s.mp4"
if [[ ! -s "$clip" ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=$length" \
    -f lavfi -i "sine=frequency=440:duration=$length" -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 60 \
    -c:a aac -shortest "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
fi

export LIBGL_ALWAYS_SOFTWARE=1
unset WAYLAND_DISPLAY
"$root/tools/with-xvfb" --screen 1920x1200x24 -- bash -s "$build" "$clip" "$seconds" "$idle" \
  "$root/bench/display" "$clicks" "$rounds" "$sizes" "${OTHER:-}" "${OTHER_APP:-}" <<'INNER' 2>&1 | bench_quiet | tee "$report"
set -euo pipefail
build=$1 clip=$2 seconds=$3 idle=$4 here=$5 clicks=$6 rounds=$7 sizes=$8 other=$9 otherApp=${10}
echo "display benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, ${seconds} s of 1080p30 H.264"
echo "renderer: Mesa software GL on Xvfb"
# shellcheck disable=SC2086 # one argument per size
python3 "$here/compare_play.py" --app "$build/src/app/reelhaven" ${otherApp:+--other-app "$otherApp"} ${other:+--other "$other"} \
  "$build/bench/bench_display_play" "$here/mpv_counts.lua" "$clip" "$seconds" "$rounds" $sizes
if [[ "${ONLY:-}" == paused ]]; then
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
  exit 0
fi
echo "== idle: a grid of 24 cells shown for ${idle} s"
/usr/bin/time -f "process_cpu_seconds %U %S" "$build/bench/bench_display_idle" "$idle" 2>&1 |
  awk '/^process_cpu_seconds/ {printf "process_cpu_seconds %.2f\n", $2 + $3; next} {print}'
echo "== click on a library cell to the first video frame on the window (${clicks} runs)"
"$build/bench/bench_display_click" "$clip" "$clicks" 2>&1
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
INNER
