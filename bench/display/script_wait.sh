#!/usr/bin/env bash
# A paused player in a window while a script's `wait` runs, beside the same player paused with no
# script (bench/display/script_wait.py): CPU and wake-ups per second over SECONDS (default 10),
# ROUNDS (default 3) rounds, on an Xvfb display of its own with Mesa's software GL. OTHER_APP=
# LABEL=PATH adds another build's launcher (the one before a change) to every round. Figures go to
# standard output and $BENCH_OUT/script_wait.txt. Not part of tools/test.
# Usage: bench/display/script_wait.sh   (BENCH_BUILD, BENCH_OUT, SECONDS_PAUSED, ROUNDS, OTHER_APP)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
seconds=${SECONDS_PAUSED:-10}
rounds=${ROUNDS:-3}
report="$out/script_wait.txt"
bench_build reelhaven

clip="$build/bench-1080p30-60s.mp4"
if [[ ! -s "$clip" ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=60" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 60 "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
fi

export LIBGL_ALWAYS_SOFTWARE=1
unset WAYLAND_DISPLAY
{
  echo "script wait benchmark, $(date -u '+%Y-%m-%d %H:%M UTC')"
  bench_machine
  # shellcheck disable=SC2086 # OTHER_APP is one LABEL=PATH argument or none
  "$root/tools/with-xvfb" --screen 1920x1200x24 -- python3 "$root/bench/display/script_wait.py" "$clip" "$seconds" \
    "$rounds" "app=$build/src/app/reelhaven" ${OTHER_APP:+"$OTHER_APP"}
} 2>&1 | bench_quiet | tee "$report"
