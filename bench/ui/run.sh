#!/bin/sh
# The layout solver against Debian's python3-kiwisolver (a C++ core under a Python API) on the
# same generated systems, side by side in one run.
# Usage: bench/ui/run.sh <build folder configured with -DREELHAVEN_BENCH=ON>
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: bench/ui/run.sh <build folder configured with -DREELHAVEN_BENCH=ON>}
cmake --build "$build" --target bench_ui_solver >/dev/null
echo "machine load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo "--- ours (bench_ui_solver: wall time, processor time, iterations)"
"$build/bench/bench_ui_solver" 2>/dev/null | grep -E '^(grid|chain|stack)'
echo "--- peer (python3-kiwisolver: best wall time, best processor time)"
/usr/bin/python3 "$here/kiwi_bench.py"
echo "machine load after: $(cut -d' ' -f1-3 /proc/loadavg)"
