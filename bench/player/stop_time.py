#!/usr/bin/env python3
"""Wall time from SIGTERM to the process's exit while a clip plays in a window, ours beside mpv,
rounds alternating (the first runner changes each round), median and spread of each.

  stop_time.py ROUNDS CLIP LAUNCHER [LABEL=LAUNCHER]...

Ours: `reelhaven --play CLIP --display --audio-output null` on a fresh home folder, taken past 30 s
by two typed skips (a file opened from outside the library keeps its place only past 20 s); it
saves the clip's progress on the way out, and the home's progress file is checked after each
round. mpv: `mpv --vo=gpu --gpu-sw --ao=null --start=30 --save-position-on-quit` with a
watch-later folder of its own, in a window of the same size, also saving the position. Each plays
for PLAYED seconds (2) once it is there before the signal, so both stop in the same state. The
clip must be longer than 40 s. Run it under a display (bench/player/run.sh starts an Xvfb of its
own). Each LABEL=LAUNCHER (another build's, say the one before a change) joins the rounds as ours
does, in the rotation.
"""
import json
import os
import signal
import statistics
import subprocess
import sys
import tempfile
import time

PLAYED = 2.0
PATIENCE = 60.0


def stop_after_start(command, started):
    """Starts `command`, waits until `started` (given each line and the standard input) says it is
    there, lets it play, then signals and times the exit."""
    process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               text=True, bufsize=1)
    for line in process.stdout:
        if started(line, process.stdin):
            break
    else:
        process.wait(timeout=PATIENCE)
        sys.exit(f"{command[0]} ended before it started playing")
    time.sleep(PLAYED)
    asked = time.monotonic()
    process.send_signal(signal.SIGTERM)
    process.wait(timeout=PATIENCE)
    elapsed = (time.monotonic() - asked) * 1000
    process.stdout.close()
    process.stdin.close()
    return elapsed


def skipped_past_thirty():
    """Types a skip (+15 s) at the first time line and another at 0:1x; there once a time line says 0:3x."""
    typed = []

    def started(line, keys):
        if not line.startswith("time\t"):
            return False
        if line.startswith("time\t0:3"):
            return True
        if not typed or (len(typed) == 1 and line.startswith("time\t0:1")):
            keys.write("right\n")
            keys.flush()
            typed.append(line)
        return False
    return started


def ours(launcher, clip):
    with tempfile.TemporaryDirectory() as home:
        elapsed = stop_after_start(
            [launcher, "--home", home, "--play", clip, "--display", "--audio-output", "null"], skipped_past_thirty())
        progress = os.path.join(home, "Library", "Application Support", "progressData")
        with open(progress, encoding="utf-8") as file:
            if not json.load(file):
                sys.exit("ours stopped without saving the clip's progress")
        return elapsed


def mpv(clip):
    with tempfile.TemporaryDirectory() as later:
        elapsed = stop_after_start(
            ["mpv", "--no-config", "--vo=gpu", "--gpu-sw", "--geometry=640x360", "--ao=null", "--start=30",
             "--save-position-on-quit", f"--watch-later-directory={later}", "--term-playing-msg=playing", clip],
            lambda line, keys: line.startswith("playing"))
        if not os.listdir(later):
            sys.exit("mpv stopped without saving the position")
        return elapsed


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    rounds, clip, launcher = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    runners = [("reelhaven --play --display", lambda: ours(launcher, clip)), ("mpv --vo=gpu --gpu-sw", lambda: mpv(clip))]
    for other in sys.argv[4:]:
        label, path = other.split("=", 1)
        runners.append((label, lambda path=path: ours(path, clip)))
    figures = {name: [] for name, _ in runners}
    for round_number in range(rounds):
        turn = round_number % len(runners)
        for name, run in runners[turn:] + runners[:turn]:
            figures[name].append(run())
    for name, values in figures.items():
        print(f"{name}: SIGTERM to exit, progress saved: median {statistics.median(values):.0f} ms "
              f"(min {min(values):.0f}, max {max(values):.0f}, {rounds} rounds)")
    mpvMedian = statistics.median(figures[runners[1][0]])
    for name, _ in runners[:1] + runners[2:]:
        print(f"ratio of the medians, {name}: {statistics.median(figures[name]) / mpvMedian:.2f}x mpv's")


if __name__ == "__main__":
    main()
