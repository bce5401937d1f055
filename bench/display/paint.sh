#!/usr/bin/env bash
# Paint time of the display's painter (bench_display_paint): the library grid's cells, and the
# same cells under a navigation bar with an alert presented; every layer, bar and alert drawn,
# against the kept bitmaps composited, against one changed text per paint; at scale 1 and 2,
# interleaved in one run. Needs no display. Reports milliseconds per paint and the load
# average before and after, since other work on the machine moves every figure. Figures go to
# standard output and $BENCH_OUT/display-paint.txt (default build/bench/out). Not part of tools/test.
#
# Usage: bench/display/paint.sh [ROUNDS]
set -euo pipefail
source "$(dirname "$0")/../lib.sh"

bench_build bench_display_paint

{
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  "$build/bench/bench_display_paint" "${1:-200}"
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$out/display-paint.txt"
