#!/usr/bin/env bash
# Time from "loadfile" to the first frame that shows the picture, for a 10 s 1080p H.264 clip:
#   player   our mpv session, renderer and OpenGL view (bench_playback_first_frame)
#   harness  a bare libmpv render-API program on the same EGL set-up, nothing of ours around it
#   cli      wall time of `mpv --no-config --vo=null --ao=null --frames=1 CLIP` (start-up included)
# ROUNDS runs of each (default 20), player and harness interleaved; median and p90; the load
# average is recorded before and after, since other work on the machine moves every figure.
# Figures go to standard output and bench/out/playback.txt. Not part of tools/test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BENCH_BUILD:-$root/build/bench-playback}
rounds=${ROUNDS:-20}
out="$root/bench/out"
mkdir -p "$out" "$build"
report="$out/playback.txt"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DREELHAVEN_BENCH=ON >/dev/null
cmake --build "$build" --target bench_playback_first_frame >/dev/null

clip="$build/bench-1080p.mp4"
if [[ ! -s "$clip" ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=10" \
    -f lavfi -i "sine=frequency=440:duration=10" -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 60 \
    -c:a aac -shortest "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
fi

{
  echo "playback first frame, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores"
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  "$build/bench/bench_playback_first_frame" "$clip" "$rounds" | grep -Ev '^(player|harness) +[0-9]'
  python3 - "$clip" "$rounds" <<'PY'
import subprocess, sys, time
clip, rounds = sys.argv[1], int(sys.argv[2])
times = []
for _ in range(rounds):
    start = time.monotonic()
    subprocess.run(["mpv", "--no-config", "--vo=null", "--ao=null", "--frames=1", clip],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    times.append((time.monotonic() - start) * 1000)
times.sort()
at = lambda q: times[int(q * (len(times) - 1) + 0.5)]
print(f"cli      runs {len(times)}  median {at(0.5):.1f} ms  p90 {at(0.9):.1f} ms  min {times[0]:.1f} ms  max {times[-1]:.1f} ms")
PY
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$report"
