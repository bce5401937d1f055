#!/usr/bin/env bash
# The layout solver against Debian's python3-kiwisolver (a C++ core under a Python API) on the
# same generated systems, side by side in one run. The python used is the first that imports
# kiwisolver (bench/lib.sh), so a virtual environment earlier in PATH does not hide it.
# Usage: bench/ui/run.sh [build folder]   (or BENCH_BUILD; default build/bench)
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
python=$(bench_python_with kiwisolver)
if [[ -z $python ]]; then
  echo "bench/ui/run.sh: no python here imports kiwisolver (Debian package python3-kiwisolver)" >&2
  exit 1
fi
bench_build bench_ui_solver
{
  bench_machine
  bench_load before
  echo "--- ours (bench_ui_solver: wall time, processor time, iterations)"
  "$build/bench/bench_ui_solver" 2>/dev/null | grep -E '^(grid|chain|stack)'
  echo "--- peer ($python with kiwisolver: best wall time, best processor time)"
  "$python" "$root/bench/ui/kiwi_bench.py"
  bench_load after
} | tee "$out/ui.txt"
