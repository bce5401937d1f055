#!/usr/bin/env bash
# Frame cost of the render methods on one paused 1080p frame: the plain GL view against the HDR
# Metal path and picture in picture (RGBA16F render, read-back, copy), ms per frame and CPU per
# frame (bench_output_frame_cost), on an HDR10-tagged clip (BT.2020, SMPTE 2084: the GL view's
# frame is tone-mapped to SDR, the Metal one is not) and on the same picture in SDR. The load
# average is recorded before and after, since other work on the machine moves every figure.
# Figures go to standard output and $BENCH_OUT/output.txt (default build/bench/out; see bench/lib.sh). Not part of tools/test.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
frames=${FRAMES:-60}
report="$out/output.txt"

bench_build bench_output_frame_cost

make_clip() { # name [colour tags...]
  local clip="$build/$1"; shift
  if [[ ! -s "$clip" ]]; then
    ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=4" \
      -c:v libx264 -preset veryfast -pix_fmt yuv420p -g 60 "$@" "$clip.tmp.mkv"
    mv "$clip.tmp.mkv" "$clip"
  fi
}
make_clip bench-1080p-hdr10.mkv -color_primaries bt2020 -color_trc smpte2084 -colorspace bt2020nc
make_clip bench-1080p-sdr.mkv

{
  echo "output frame cost, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores"
  echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
  for clip in bench-1080p-hdr10.mkv bench-1080p-sdr.mkv; do
    echo "$clip"
    "$build/bench/bench_output_frame_cost" "$build/$clip" "$frames" 2>/dev/null
  done
  echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$report"
