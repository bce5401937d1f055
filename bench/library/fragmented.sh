#!/usr/bin/env bash
# `reelhaven --list` of a 30-minute recording fragmented on every frame (as a camera writes one to
# keep what it recorded if it stops short: seven boxes a frame, 970,000 in all with its sound),
# beside the same recording unfragmented, both with their thumbnails cached (a listing made
# first): wall time per listing, ROUNDS (9) rounds alternating the launchers, medians; and, with
# strace, the reads each listing makes. OTHER="label=path ..." adds other builds' launchers;
# LAUNCHER=path measures that launcher instead of this build's.
# Usage: [ROUNDS=9] [OTHER=...] [LAUNCHER=...] bench/library/fragmented.sh [build folder]
set -euo pipefail
[[ -n ${1:-} ]] && export BENCH_BUILD=$1
source "$(dirname "$0")/../lib.sh"
media=$build/fragmented-media
work=$build/fragmented-work
[[ -n ${LAUNCHER:-} ]] || bench_build reelhaven
launchers=("this=${LAUNCHER:-$build/src/app/reelhaven}")
read -r -a others <<<"${OTHER:-}"
launchers+=("${others[@]}")
mkdir -p "$media" "$work"
if [[ ! -s $media/fragmented.mp4 ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i testsrc=size=160x90:rate=30:duration=1800 \
    -f lavfi -i sine=r=48000:d=1800 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac \
    -movflags frag_every_frame "$media/fragmented.tmp.mp4"
  mv "$media/fragmented.tmp.mp4" "$media/fragmented.mp4"
fi
[[ -s $media/plain.mp4 ]] || ffmpeg -hide_banner -loglevel error -nostdin -y -i "$media/fragmented.mp4" -c copy \
  "$media/plain.mp4"

# A home per launcher and file, listed once so that its thumbnail is cached.
for entry in "${launchers[@]}"; do
  for file in fragmented plain; do
    home=$work/${entry%%=*}-$file
    rm -rf "$home" && mkdir -p "$home/Documents"
    ln "$media/$file.mp4" "$home/Documents/Recording.mp4"
    "${entry#*=}" --home "$home" --list >/dev/null 2>&1
  done
done

bench_machine
bench_load
python3 - "${ROUNDS:-9}" "$work" "${launchers[@]}" <<'PY'
import statistics, subprocess, sys, time
rounds, work, launchers = int(sys.argv[1]), sys.argv[2], [entry.split("=", 1) for entry in sys.argv[3:]]
times = {(label, file): [] for label, _ in launchers for file in ("fragmented", "plain")}
for round in range(rounds):
    order = launchers[round % len(launchers):] + launchers[:round % len(launchers)]
    for label, launcher in order:
        for file in ("fragmented", "plain"):
            start = time.monotonic()
            subprocess.run([launcher, "--home", f"{work}/{label}-{file}", "--list"], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            times[(label, file)].append(time.monotonic() - start)
for (label, file), values in times.items():
    print(f"{label:>12} {file:>10}: {statistics.median(values):.2f} s ({min(values):.2f}-{max(values):.2f})")
PY
if command -v strace >/dev/null; then
  for entry in "${launchers[@]}"; do
    strace -f -c -e trace=pread64 -o "$work/strace.txt" "${entry#*=}" --home "$work/${entry%%=*}-fragmented" --list \
      >/dev/null 2>&1
    printf '%12s  reads of the fragmented listing: %s\n' "${entry%%=*}" "$(awk '/pread64/ {print $4}' "$work/strace.txt")"
  done
fi
bench_load "at the end"
