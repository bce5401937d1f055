#!/usr/bin/env bash
# Peak resident memory of listing a large library with `reelhaven --list`: once with empty Caches
# (every thumbnail decoded and saved) and once more (every thumbnail read back from Caches).
# The library holds N videos made as copies of distinct 1080p clips of 1 s: each copy is another
# file with its own identity, so its thumbnail is decoded, cached and saved like any other.
# Usage: bench/library/memory.sh [build folder] [videos] [distinct clips]
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
videos=${2:-2000}
distinct=${3:-250}
clips=$build/memory-clips
home=$build/memory-home

"$root/tools/setup"
bench_build reelhaven
"$root/bench/library/make_clips.sh" "$clips" "$distinct" 1

rm -rf "$home"
mkdir -p "$home/Documents"
mapfile -t made < <(ls "$clips"/*.mp4)
for ((i = 0; i < videos; i++)); do
  cp "${made[i % ${#made[@]}]}" "$(printf '%s/Documents/video %05d.mp4' "$home" "$i")"
done

{ bench_machine; bench_load before; } >&2
measure() {
  local label=$1 report sources
  report=$(mktemp)
  sources=$(/usr/bin/time -f '%M %e' -o "$report" "$build/src/app/reelhaven" --home "$home" --list 2>/dev/null |
    awk '$1 == "video" {print $NF}' | sort | uniq -c | tr -s ' ' | tr '\n' ',')
  read -r peak seconds <"$report"
  rm -f "$report"
  printf '%-12s %6d videos  peak %7.1f MB  %6.1f s  thumbnails:%s\n' "$label" "$videos" "$(awk "BEGIN{print $peak/1000}")" "$seconds" \
    "${sources%,}"
}
rm -rf "$home/Library/Caches"
measure "empty Caches"
measure "from Caches"
