#!/usr/bin/env bash
# The metadata pass as a user runs it (`reelhaven --list` with empty Caches) beside
# ffmpegthumbnailer on every core, both timed as whole processes in alternating rounds
# (compare_pass.py), over three libraries of generated 1080p clips: short clips (200 of 10 s),
# long groups of pictures (30 MP4s of 3 min, a key frame every 600 frames) and transport streams
# (50 of 10 s); then the first listing and the re-listing of a folder of 10,000 files against
# getfattr over the same tree (bench_library). Clips and libraries stay in the build folder.
# ROUNDS (5) sets the rounds, SETS ("short longgop ts") the libraries, OTHER="label=path ..."
# adds other builds' launchers to every round, LAUNCHER=path measures that launcher instead of
# building this checkout's.
# Usage: bench/library/run.sh [build folder] [benchmark options...]   (or BENCH_BUILD; see bench/lib.sh)
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
shift || true
media=$build/library-media
work=$build/library-work
rounds=${ROUNDS:-5}
read -r -a others <<<"${OTHER:-}"

"$root/tools/setup"
command -v ffmpegthumbnailer >/dev/null || {
  echo "bench/library/run.sh: ffmpegthumbnailer is missing (Debian package ffmpegthumbnailer)" >&2
  exit 1
}
bench_build bench_library
[[ -n ${LAUNCHER:-} ]] || bench_build reelhaven
launcher=${LAUNCHER:-$build/src/app/reelhaven}
mkdir -p "$work"
bench_machine

for set in ${SETS:-short longgop ts}; do
  case $set in
    short) "$root/bench/library/make_clips.sh" "$media/short" 200 10 ;;
    longgop) "$root/bench/library/make_clips.sh" "$media/longgop" 30 180 600 ;;
    ts) "$root/bench/library/make_clips.sh" "$media/ts" 50 10 250 ts ;;
    *) echo "bench/library/run.sh: no library $set" >&2 && exit 2 ;;
  esac
  echo "== $set"
  "$root/bench/library/compare_pass.py" "$rounds" "$media/$set" "$work/$set" "this=$launcher" "${others[@]}"
done

echo "== listing"
bench_load before
# FFmpeg reports every file it cannot read; the listing folder holds 10,000 of them.
echo "FFmpeg and library messages: $work/stderr.log" >&2
REELHAVEN_BENCH_WORK=$work "$build/bench/bench_library" "$@" 2>"$work/stderr.log"
