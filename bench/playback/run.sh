#!/usr/bin/env bash
# Time from "loadfile" to the first frame that shows the picture, for a 10 s 1080p H.264 clip:
#   player   our mpv session, renderer and OpenGL view (bench_playback_first_frame)
#   harness  a bare libmpv render-API program on the same EGL set-up, nothing of ours around it
#   cli      wall time of `mpv --no-config --vo=null --ao=null --frames=1 CLIP` (start-up included)
# ROUNDS runs of each (default 20), player and harness interleaved; median and p90; the load
# average is recorded before and after, since other work on the machine moves every figure.
# Figures go to standard output and $BENCH_OUT/playback.txt (default build/bench/out; see bench/lib.sh). Not part of tools/test.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
rounds=${ROUNDS:-20}
report="$out/playback.txt"

bench_build bench_playback_first_frame

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
