#!/usr/bin/env bash
# Seek-to-frame latency of the player screen (bench_player_seek): `skipForward` (+10 s by
# keyframe) and Shift+right (+1 s, exact), from the call to the first frame the OpenGL view draws
# with the new picture, beside the wall time of `mpv --no-config --vo=null --ao=null --start=T
# --frames=1` for the same targets; a 2-minute 1080p H.264 clip with a keyframe every 2 s, made
# here with ffmpeg. ROUNDS seeks of each (default 20); median and p90. The load average is
# recorded before and after, since other work on the machine moves every figure. Figures go to
# standard output and bench/out/player.txt. Not part of tools/test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BENCH_BUILD:-$root/build/bench-player}
rounds=${ROUNDS:-20}
out="$root/bench/out"
mkdir -p "$out" "$build"
report="$out/player.txt"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREELHAVEN_BENCH=ON >/dev/null
cmake --build "$build" --target bench_player_seek >/dev/null

clip="$build/bench-1080p-gop2s.mp4"
if [[ ! -s "$clip" ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=120" \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 60 -keyint_min 60 -sc_threshold 0 "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
fi

{
  echo "player seek to frame, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores"
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  "$build/bench/bench_player_seek" "$clip" "$rounds" 2>/dev/null
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$report"
