#!/usr/bin/env bash
# Paint time of the display's painter (bench_display_paint): the library grid's cells, and the
# same cells under a navigation bar with an alert presented; every layer, bar and alert drawn,
# against the kept bitmaps composited, against one changed text per paint; at scale 1 and 2,
# interleaved in one run. Needs no display. Reports milliseconds per paint and the load
# average before and after, since other work on the machine moves every figure. Figures go to
# standard output and bench/out/display-paint.txt. Not part of tools/test.
#
# Usage: bench/display/paint.sh [ROUNDS]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BENCH_BUILD:-$root/build/bench-display}
out="$root/bench/out"
mkdir -p "$out" "$build"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREELHAVEN_BENCH=ON >/dev/null
cmake --build "$build" --target bench_display_paint >/dev/null

{
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  "$build/bench/bench_display_paint" "${1:-200}"
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$out/display-paint.txt"
