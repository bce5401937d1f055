#!/usr/bin/env bash
# Builds the library benchmark, makes 200 distinct 1080p H.264 clips of 10 s (kept in the build
# folder, never committed) and measures, in one run: the library manager's metadata pass with a
# cold thumbnail cache against ffmpegthumbnailer on every core, and the first listing and the
# re-listing of a folder of 10,000 files against getfattr over the same tree.
# Usage: bench/library/run.sh [build folder] [benchmark options...]   (or BENCH_BUILD; see bench/lib.sh)
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
shift || true
media=$build/library-media
work=$build/library-work

"$root/tools/setup"
command -v ffmpegthumbnailer >/dev/null || {
  echo "bench/library/run.sh: ffmpegthumbnailer is missing (Debian package ffmpegthumbnailer)" >&2
  exit 1
}
bench_build bench_library
"$root/bench/library/make_clips.sh" "$media" 200
mkdir -p "$work"

{ bench_machine; bench_load before; } >&2
# FFmpeg reports every file it cannot read; the listing folder holds 10,000 of them.
echo "FFmpeg and library messages: $work/stderr.log" >&2
REELHAVEN_BENCH_MEDIA=$media REELHAVEN_BENCH_WORK=$work "$build/bench/bench_library" "$@" 2>"$work/stderr.log"
