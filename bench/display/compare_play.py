#!/usr/bin/env python3
"""Playback in a window, ours beside mpv's, on one display, each round in a rotated order.

  compare_play.py [--app LAUNCHER] [--other LABEL=BENCH_DISPLAY_PLAY]... BENCH_DISPLAY_PLAY MPV_COUNTS_LUA CLIP
                  SECONDS ROUNDS SIZE...

For each SIZE (WxH) and round: bench_display_play (our player output in the display host) and
`mpv --no-config --vo=gpu --gpu-sw --ao=null` in a window of that size, each playing SECONDS of
CLIP (`--length` for mpv, the same option set on our session, which stops at that point of the
clip however long the load makes it take). Each round starts with the next runner in turn, so
none always runs first. Reports each process's CPU time (user + system,
all threads, start-up and exit included), the frames it showed and dropped, and the CPU per frame
shown: under load both players drop frames, and a dropped frame costs neither of them its drawing,
so CPU per frame shown is the fair ratio. Medians of ROUNDS.

Frames shown are counted differently on the two sides: ours counts the video frames the
compositor put in the window; mpv's come from MPV_COUNTS_LUA, read as the file is unloaded: its
estimated number of the frame on screen (from the frame rate and timestamps) plus one, less the
frames it dropped.

With --app, at 640x360 (the size its window opens at) the application itself joins each round:
`reelhaven --play CLIP --display` with the player screen and its controls, for SECONDS of wall
time after the clip has loaded. It does not count its frames, so its line is the whole process's
CPU, start-up and exit included, against mpv's whole process: for information, not a per-frame
ratio. Each --other build (another checkout's
bench_display_play, say the one before a change) joins every round beside ours under its LABEL.
"""
import shutil
import tempfile
import os
import re
import statistics
import subprocess
import sys


def run(arguments):
    """CPU seconds of the process and the numbers it printed as "name value" lines."""
    before = os.times()
    completed = subprocess.run(arguments, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, timeout=600)
    after = os.times()
    cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
    numbers = {}
    for line in completed.stdout.splitlines():
        found = re.match(r"^(\w+) (-?[\d.]+)$", line.strip())
        if found:
            numbers[found.group(1)] = float(found.group(2))
    return cpu, numbers


def load():
    with open("/proc/loadavg") as file:
        return " ".join(file.read().split()[:3])


def main():
    arguments = sys.argv[1:]
    app = None
    plays = {}
    while arguments[0] in ("--app", "--other"):
        if arguments[0] == "--app":
            app = arguments[1]
        else:
            label, path = arguments[1].split("=", 1)
            if label in ("ours", "app", "mpv"):
                sys.exit(f"--other {label}: the label is taken")
            plays[label] = path
        arguments = arguments[2:]
    play, counts, clip, seconds, rounds, *sizes = arguments
    plays = {"ours": play, **plays}
    rounds = int(rounds)
    home = tempfile.mkdtemp(prefix="bench-display-app-")
    try:
        compare(app, home, plays, counts, clip, seconds, rounds, sizes)
    finally:
        shutil.rmtree(home, ignore_errors=True)


def compare(app, home, plays, counts, clip, seconds, rounds, sizes):
    for size in sizes:
        width, height = size.split("x")
        figures = {**{label: [] for label in plays}, "mpv": []}
        withApp = app is not None and size == "640x360"
        appCpu = []
        print(f"== {size}, {seconds} s of the clip, {rounds} rounds, load before {load()}")
        runners = [*plays, *(["app"] if withApp else []), "mpv"]
        for turn in range(rounds):
            for runner in runners[turn % len(runners):] + runners[:turn % len(runners)]:
                if runner == "mpv":
                    cpu, numbers = run(["mpv", "--no-config", "--vo=gpu", "--gpu-sw", "--ao=null",
                                        f"--geometry={size}", "--no-border", f"--length={seconds}", "--really-quiet",
                                        f"--script={counts}", clip])
                    figures["mpv"].append((cpu, numbers.get("mpv_shown", 0), numbers.get("mpv_output_drops", 0)))
                elif runner == "app":
                    cpu, _ = run([app, "--home", home, "--play", clip, "--seconds", seconds, "--audio-output",
                                  "null", "--display"])
                    appCpu.append(cpu)
                else:
                    cpu, numbers = run([plays[runner], clip, seconds, width, height])
                    shown = numbers.get("shown", 0)
                    drops = numbers.get("mpv_output_drops", 0) + numbers.get("dropped_to_window", 0)
                    figures[runner].append((cpu, shown, drops))
        perFrame = {}
        for name, runs in figures.items():
            cpu = statistics.median(r[0] for r in runs)
            perFrame[name] = statistics.median(r[0] / r[1] * 1000 for r in runs if r[1] > 0)
            shown = statistics.median(r[1] for r in runs)
            drops = statistics.median(r[2] for r in runs)
            print(f"  {name:<5} cpu {cpu:6.2f} s   shown {shown:5.0f}   dropped {drops:4.0f}   "
                  f"cpu per frame shown {perFrame[name]:6.2f} ms")
        for label in plays:
            print(f"  ratio, cpu per frame shown: {label} {perFrame[label] / perFrame['mpv']:.2f}x mpv")
        print(f"  load after {load()}")
        if withApp:
            mpvCpu = statistics.median(r[0] for r in figures["mpv"])
            appMedian = statistics.median(appCpu)
            print(f"  reelhaven --play --display, whole-process cpu, start-up and exit included, not per frame "
                  f"(information, not the fair ratio): {appMedian:6.2f} s, {appMedian / mpvCpu:.2f}x mpv's")


if __name__ == "__main__":
    main()
