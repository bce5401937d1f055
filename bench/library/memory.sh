#!/usr/bin/env bash
# Peak memory of the metadata pass over a large library, in rounds: the app's own peak resident
# set and the peak proportional set size of the app and every process it starts (its media
# helpers) summed (bench/library/tree_memory.py), for `reelhaven --list`
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
# "app's peak resident KiB,whole tree's peak summed PSS KiB" of one command, its standard input
# from the second argument.
peak() {
  local input=$1
  shift
  "$root/bench/library/tree_memory.py" --stdin "$input" -- "$@" | awk '{print $5 * 1024 "," $1 * 1024}'
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
    mib() { awk -F, -v f="$2" '{printf "%.1f", $f / 1024}' <<<"$1"; }
    printf 'round %d %-10s MiB app (tree): --list empty Caches %s (%s), from Caches %s (%s), host %s (%s) (%s)\n' \
      $((round + 1)) "$label" "$(mib "$empty" 1)" "$(mib "$empty" 2)" "$(mib "$cached" 1)" "$(mib "$cached" 2)" \
      "$(mib "$host" 1)" "$(mib "$host" 2)" "$(bench_load)"
  done
done
rm -f "$quit"
for entry in "${launchers[@]}"; do
  label=${entry%%=*}
  for column in 1 2 3; do
    for part in 1 2; do
      values=$(tr ';' '\n' <<<"${peaks[$label]}" | awk -v c=$column 'NF {print $c}' |
        awk -F, -v p=$part '{print $p / 1024}')
      median[column * 2 + part]=$(bench_median <<<"$values")
      range[column * 2 + part]="$(sort -n <<<"$values" | head -1)-$(sort -n <<<"$values" | tail -1)"
    done
  done
  for column in 1 2 3; do
    name=("" "--list empty Caches" "--list from Caches" "host")
    printf '%-10s %d videos, %s median peak (range) MiB: app %s (%s), whole tree %s (%s)\n' "$label" "$videos" \
      "${name[column]}" "${median[column * 2 + 1]}" "${range[column * 2 + 1]}" "${median[column * 2 + 2]}" \
      "${range[column * 2 + 2]}"
  done
done
bench_load after >&2
