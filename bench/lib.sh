# Shared by the benchmark scripts (sourced, not run). Sets, from the script's first argument or the
# environment:
#   root   the checkout
#   build  BENCH_BUILD or the given folder, default build/bench: one Release build every script shares
#   out    BENCH_OUT, default $build/out: reports and generated media never land in the checkout
# and offers the helpers below.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(mkdir -p "${BENCH_BUILD:-$root/build/bench}" && cd "${BENCH_BUILD:-$root/build/bench}" && pwd)
out=$(mkdir -p "${BENCH_OUT:-$build/out}" && cd "${BENCH_OUT:-$build/out}" && pwd)

# Configures the shared Release build and builds the given targets; with BENCH_NO_BUILD set, uses
# what BENCH_BUILD holds as it is (a build configured otherwise, or a binary kept from before).
bench_build() {
  [[ -n ${BENCH_NO_BUILD:-} ]] && return
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREELHAVEN_BENCH=ON >/dev/null
  cmake --build "$build" --target "$@" >/dev/null
}

# The machine and its load now: every figure moves with what else runs.
bench_machine() {
  echo "machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
}
bench_load() { echo "load ${1:-now}: $(cut -d' ' -f1-3 /proc/loadavg)"; }

# Drops what libraries print on every playback and a user cannot act on here: audio back ends
# with no device (ALSA, PipeWire, PulseAudio, JACK), GPU probes (CUDA, VDPAU, VA-API) and the
# desktop's runtime folder.
bench_quiet() {
  grep -Ev --line-buffered '^(Cannot load|Failed to open|error: XDG)|ALSA|alsa|PipeWire|pipewire|[Pp]ulse[Aa]udio|JACK|jack|pw\.conf|VDPAU|vdpau|libva|VA-API|libcuda|\[ao\]|\[ao/|AO:' || true
}

# The python that has kiwisolver (Debian's python3-kiwisolver is built for /usr/bin/python3, which
# a virtual environment or a newer python earlier in PATH hides); empty when none has it.
bench_python_with() {
  local module=$1 candidate
  for candidate in python3 /usr/bin/python3 $(compgen -c python3. | sort -u); do
    if command -v "$candidate" >/dev/null && "$candidate" -c "import $module" 2>/dev/null; then
      command -v "$candidate"
      return
    fi
  done
}

# The median of the numbers on standard input, one per line.
bench_median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
