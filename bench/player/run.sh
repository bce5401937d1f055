#!/usr/bin/env bash
# The player against mpv, both in a window on an Xvfb display of its own (Mesa's software GL):
# - seeks (bench_player_seek): `skipForward` (+15 s, the default interval, "relative") and
#   Shift+right (+1 s, "relative+exact"), from the call to the player's playback-restart event,
#   beside the same seeks with the same arguments inside one running mpv paused on the same clip
#   (`--vo=gpu --gpu-sw` in a window of the same size, driven over its JSON IPC socket, timed to its
#   playback-restart event), seek by seek; ROUNDS seeks of each (default 20); median, p90 and the
#   ratio of the medians;
# - a stop to the exit with the position saved (stop_time.py): `reelhaven --play --display` stopped
#   by SIGTERM, and the app as a person runs it (`--open --display`) stopped by SIGTERM and by
#   closing its window, each beside `mpv --save-position-on-quit` in a window of the same size
#   stopped the same way, STOP_ROUNDS rounds (default 9) alternating, each round listed with the
#   load; medians, and where ours' stop goes (its main thread's states, the progress file's write).
# Both on a 2-minute 1080p H.264 clip with a keyframe every 2 s, made here with ffmpeg. The load
# average is recorded before and after, since other work on the machine moves every figure.
# Figures go to standard output and $BENCH_OUT/player.txt. Not part of tools/test.
# OTHER_APP=LABEL=PATH adds another build's launcher (its --open, SIGTERM) to the stop rounds.
# Usage: bench/player/run.sh   (BENCH_BUILD, BENCH_OUT, ROUNDS, STOP_ROUNDS, OTHER_APP; see bench/lib.sh)
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
rounds=${ROUNDS:-20}
stop_rounds=${STOP_ROUNDS:-9}
bench_build bench_player_seek reelhaven

clip="$build/bench-1080p-gop2s.mp4"
if [[ ! -s "$clip" ]]; then
  ffmpeg -hide_banner -loglevel error -nostdin -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=120" \
    -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 60 -keyint_min 60 -sc_threshold 0 "$clip.tmp.mp4"
  mv "$clip.tmp.mp4" "$clip"
fi

export LIBGL_ALWAYS_SOFTWARE=1
unset WAYLAND_DISPLAY
xvfb=("$root/tools/with-xvfb" --screen 1920x1200x24 --)
{
  echo "player against mpv, $(date -u '+%Y-%m-%d %H:%M UTC')"
  bench_machine
  bench_load before
  "${xvfb[@]}" "$build/bench/bench_player_seek" "$clip" "$rounds" 2>&1 | bench_quiet
  bench_load between
  "${xvfb[@]}" python3 "$root/bench/player/stop_time.py" "$stop_rounds" "$clip" "$build/src/app/reelhaven" \
    ${OTHER_APP:+"$OTHER_APP"} 2>&1 |
    bench_quiet
  bench_load after
} | tee "$out/player.txt"
