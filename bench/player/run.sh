#!/usr/bin/env bash
# Seek-to-frame latency of the player screen (bench_player_seek): `skipForward` (+10 s by
# keyframe) and Shift+right (+1 s, exact), from the call to the first frame the OpenGL view draws
# with the new picture, beside the same seeks inside one running mpv paused on the same clip
# (`--vo=gpu --gpu-sw` in a 640x360 window on an Xvfb display of its own, driven over its JSON IPC
# socket, timed to its playback-restart event), seek by seek; a 2-minute 1080p H.264 clip with a
# keyframe every 2 s, made here with ffmpeg. ROUNDS seeks of each (default 20); median, p90 and
# the ratio of the medians. The load average is recorded before and after, since other work on
# the machine moves every figure. Figures go to standard output and $BENCH_OUT/player.txt.
# Not part of tools/test.
# Usage: bench/player/run.sh   (BENCH_BUILD, BENCH_OUT, ROUNDS; see bench/lib.sh)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
rounds=${ROUNDS:-20}
bench_build bench_player_seek

clip="$build/bench-1080p-gop2s.mp4"
if [[ ! -s "$clip" ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=120" \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 60 -keyint_min 60 -sc_threshold 0 "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
fi

export LIBGL_ALWAYS_SOFTWARE=1
unset WAYLAND_DISPLAY
{
  echo "player seek to frame, $(date -u '+%Y-%m-%d %H:%M UTC')"
  bench_machine
  bench_load before
  "$root/tools/with-xvfb" --screen 1920x1200x24 -- "$build/bench/bench_player_seek" "$clip" "$rounds" 2>&1 | bench_quiet
  bench_load after
} | tee "$out/player.txt"
