#!/usr/bin/env bash
# Peak resident memory of the metadata pass over a large library, in rounds: `reelhaven --list`
# with empty Caches (every thumbnail decoded and saved), `--list` again (every thumbnail read back
# from Caches), and the text host showing the library's grid with empty Caches until it has
# settled. The library holds N videos made as copies of distinct 1080p clips of 1 s: each copy is
# another file with its own identity, so its thumbnail is decoded, cached and saved like any other.
# Each round runs every launcher once per state, the launchers' order rotating round by round;
# OTHER="label=path ..." adds other builds' launchers beside this build's; LAUNCHER=path measures
# that launcher instead of building this checkout's.
# Usage: [ROUNDS=3] [OTHER=...] [LAUNCHER=...] bench/library/memory.sh [build folder] [videos] [distinct clips]
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
videos=${2:-2000}
distinct=${3:-250}
rounds=${ROUNDS:-3}
clips=$build/memory-clips
home=$build/memory-home

"$root/tools/setup"
[[ -n ${LAUNCHER:-} ]] || bench_build reelhaven
"$root/bench/library/make_clips.sh" "$clips" "$distinct" 1

if [[ $(find "$home/Documents" -name '*.mp4' 2>/dev/null | wc -l) -ne $videos ]]; then
  rm -rf "$home"
  mkdir -p "$home/Documents"
  mapfile -t made < <(ls "$clips"/*.mp4)
  for ((i = 0; i < videos; i++)); do
    cp "${made[i % ${#made[@]}]}" "$(printf '%s/Documents/video %05d.mp4' "$home" "$i")"
  done
fi

launchers=("this=${LAUNCHER:-$build/src/app/reelhaven}")
read -r -a others <<<"${OTHER:-}"
launchers+=("${others[@]}")

{ bench_machine; bench_load before; } >&2
# Peak resident KiB of one command, its standard input from the second argument.
peak() {
  local input=$1 report
  shift
  report=$(mktemp)
  /usr/bin/time -f '%M' -o "$report" "$@" <"$input" >/dev/null 2>&1
  cat "$report"
  rm -f "$report"
}
quit=$(mktemp)
printf 'show\nquit\n' >"$quit"
declare -A peaks
for ((round = 0; round < rounds; round++)); do
  for ((k = 0; k < ${#launchers[@]}; k++)); do
    entry=${launchers[(k + round) % ${#launchers[@]}]}
    label=${entry%%=*} launcher=${entry#*=}
    rm -rf "$home/Library/Caches"
    empty=$(peak /dev/null "$launcher" --home "$home" --list)
    cached=$(peak /dev/null "$launcher" --home "$home" --list)
    rm -rf "$home/Library/Caches" "$home/Library/Saved Application State"
    host=$(peak "$quit" "$launcher" --home "$home" --no-restore)
    peaks[$label]+="$empty $cached $host;"
    printf 'round %d %-10s --list empty Caches %6.1f MiB, from Caches %6.1f MiB, host %6.1f MiB (%s)\n' \
      $((round + 1)) "$label" "$(awk "BEGIN{print $empty/1024}")" "$(awk "BEGIN{print $cached/1024}")" \
      "$(awk "BEGIN{print $host/1024}")" "$(bench_load)"
  done
done
rm -f "$quit"
for entry in "${launchers[@]}"; do
  label=${entry%%=*}
  for column in 1 2 3; do
    values=$(tr ';' '\n' <<<"${peaks[$label]}" | awk -v c=$column 'NF {print $c / 1024}')
    median[column]=$(bench_median <<<"$values")
    range[column]="$(sort -n <<<"$values" | head -1)-$(sort -n <<<"$values" | tail -1)"
  done
  printf '%-10s %d videos, median peak (range) MiB: --list empty Caches %s (%s), from Caches %s (%s), host %s (%s)\n' \
    "$label" "$videos" "${median[1]}" "${range[1]}" "${median[2]}" "${range[2]}" "${median[3]}" "${range[3]}"
done
bench_load after >&2
