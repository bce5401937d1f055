#!/usr/bin/env python3
"""Playback in a window, ours beside mpv's, on one display, each round in a rotated order.

  compare_play.py [--app LAUNCHER] [--other-app LABEL=LAUNCHER]... [--other LABEL=BENCH_DISPLAY_PLAY]...
                  BENCH_DISPLAY_PLAY MPV_COUNTS_LUA CLIP SECONDS ROUNDS SIZE...

For each SIZE (WxH) and round: bench_display_play (our player output in the display host) and
`mpv --no-config --vo=gpu --gpu-sw --ao=null` in a window of that size, each playing SECONDS of
CLIP (`--length` for mpv, the same option set on our session, which stops at that point of the
clip however long the load makes it take). Each round starts with the next runner in turn, so
none always runs first. Reports each process's CPU time (user + system,
all threads, start-up and exit included), the frames it showed and dropped, and the CPU per frame
shown: under load both players drop frames, and a dropped frame costs neither of them its drawing,
so CPU per frame shown is the fair ratio. Medians of ROUNDS, each run's CPU listed too. The
machine's pace drifts over minutes, so the app's whole-process ratio is also taken round by round
(against mpv's run in the same round) and the median of those given.

Frames shown are counted differently on the two sides: ours counts the video frames the
compositor put in the window; mpv's come from MPV_COUNTS_LUA, read as the file is unloaded: its
estimated number of the frame on screen (from the frame rate and timestamps) plus one, less the
frames it dropped.

With --app the application itself joins each round, as a person runs it: `reelhaven --open CLIP
--display --size SIZE` (the library, then the player screen with its controls, shown at first and
hidden after a few seconds), without a script, for SECONDS of wall time from its start, then
stopped with SIGTERM (it saves and exits, as on Ctrl-C at its terminal), and at 640x360 (the size its window opens
at) also `reelhaven --play CLIP --display`. The app's window is at least 390 pixels each way, so
where SIZE is smaller mpv also runs in a window of the app's size, and `--open` is compared with
that run. Each runs in a container of its own, and its window's
statistics (REELHAVEN_DISPLAY_STATISTICS) give the frames it showed and dropped. Its CPU is the
whole process's, start-up, library and exit included, against mpv's whole process. Then, with
--app, idle while paused: each of the app and mpv (`--pause`) paused in a window of the first SIZE,
its CPU over PAUSED seconds (default 20) read from /proc once it has settled (ONLY=paused: this
line alone). With --app and ONLY=threads, only where the CPU goes instead: the app's `--open` and mpv, in
windows of the app's size, each read from /proc thread by thread over the same stretch of steady
playback (from 5 s to 13 s after its start, the app's controls hidden by then), the threads grouped
as the GL rasterizer's (llvmpipe), the decoder's (mpv's core and its frame threads) and the rest
(the app's window and render threads; mpv's video output, audio, demuxer and scripts). Each --other build
(another checkout's bench_display_play, say the one before a change) joins every round beside
ours under its LABEL; each --other-app launcher (another checkout's) joins beside the app the same
way.
"""
import shutil
import tempfile
import os
import re
import statistics
import subprocess
import sys
import time


def numbersIn(text):
    """The numbers of "name value" lines."""
    numbers = {}
    for line in text.splitlines():
        found = re.match(r"^(\w+) (-?[\d.]+)$", line.strip())
        if found:
            numbers[found.group(1)] = float(found.group(2))
    return numbers


def run(arguments, environment=None):
    """CPU seconds of the process and the numbers it printed as "name value" lines."""
    before = os.times()
    completed = subprocess.run(arguments, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, timeout=600,
                               env={**os.environ, **(environment or {})})
    after = os.times()
    cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
    return cpu, numbersIn(completed.stdout)


def runFor(arguments, seconds, environment=None):
    """CPU seconds of a process left running for `seconds` of wall time from its start, then asked
    to stop with SIGTERM (as Ctrl-C at its terminal: the app saves and exits), waited for. Its
    standard input stays open and empty, a terminal nobody types at (at its end the app quits)."""
    before = os.times()
    process = subprocess.Popen(arguments, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, env={**os.environ, **(environment or {})})
    try:
        process.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        process.terminate()
        process.wait(timeout=600)
    process.stdin.close()
    after = os.times()
    return (after.children_user - before.children_user) + (after.children_system - before.children_system)


def runApp(arguments, seconds=None):
    """The app in a container of its own: its CPU seconds and its window's statistics. With
    `seconds`, it runs as a person runs it (no script) for that long and is then stopped."""
    with tempfile.TemporaryDirectory(prefix="bench-display-app-") as home:
        statisticsFile = os.path.join(home, "statistics")
        command = [arguments[0], "--home", os.path.join(home, "home"), *arguments[1:]]
        environment = {"REELHAVEN_DISPLAY_STATISTICS": statisticsFile}
        cpu = runFor(command, seconds, environment) if seconds else run(command, environment)[0]
        try:
            with open(statisticsFile) as file:
                numbers = numbersIn(file.read())
        except OSError:
            numbers = {}
    return cpu, numbers


def statCpu(stat):
    """User + system CPU seconds from the text of a /proc stat file (a process's or a thread's)."""
    fields = stat.rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def processCpu(pid):
    """User + system CPU seconds of a running process, from /proc."""
    with open(f"/proc/{pid}/stat") as file:
        return statCpu(file.read())


def sampledOver(arguments, settle, seconds, sample, typed=None):
    """`sample(pid)` of a process `settle` seconds after its start and `seconds` later, as a pair;
    it is ended after. `typed`: lines typed at its start (standard input stays open, as a terminal's
    would: at its end the app quits)."""
    process = subprocess.Popen(arguments, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, text=True)
    try:
        if typed:
            process.stdin.write(typed)
            process.stdin.flush()
        time.sleep(settle)
        before = sample(process.pid)
        time.sleep(seconds)
        return before, sample(process.pid)
    finally:
        process.terminate()
        process.wait(timeout=60)


def pausedCpu(arguments, settle, seconds, typed=None):
    """CPU of a process over `seconds`, from `settle` seconds after its start."""
    before, after = sampledOver(arguments, settle, seconds, processCpu, typed)
    return after - before


def mpvCommand(size, *options):
    """mpv in a window of `size`, as every stage runs it."""
    return ["mpv", "--no-config", "--vo=gpu", "--gpu-sw", "--ao=null", f"--geometry={size}", "--no-border",
            *options]


def load():
    with open("/proc/loadavg") as file:
        return " ".join(file.read().split()[:3])


def main():
    arguments = sys.argv[1:]
    app = None
    plays = {}
    apps = {}
    while arguments[0] in ("--app", "--other", "--other-app"):
        if arguments[0] == "--app":
            app = arguments[1]
        elif arguments[0] == "--other-app":
            label, path = arguments[1].split("=", 1)
            apps[label] = path
        else:
            label, path = arguments[1].split("=", 1)
            if label in ("ours", "app", "mpv"):
                sys.exit(f"--other {label}: the label is taken")
            plays[label] = path
        arguments = arguments[2:]
    play, counts, clip, seconds, rounds, *sizes = arguments
    plays = {"ours": play, **plays}
    rounds = int(rounds)
    work = tempfile.mkdtemp(prefix="bench-display-")
    try:
        apps = {"app": app, **apps} if app else {}
        if os.environ.get("ONLY") == "threads":
            if not apps:
                sys.exit("ONLY=threads needs --app")
            threads(apps, clip, rounds, appWindowSize(sizes[0]))
            return
        if os.environ.get("ONLY") != "paused":
            compare(apps, work, plays, counts, clip, seconds, rounds, sizes)
        if apps:
            paused(apps, work, clip, rounds, sizes[0], float(os.environ.get("PAUSED", "20")))
    finally:
        shutil.rmtree(work, ignore_errors=True)


def paused(apps, work, clip, rounds, size, seconds):
    """The apps and mpv paused in a window: CPU over `seconds` once settled, in rotated order."""
    # Typed as a person at the terminal would, who then leaves it alone.
    pause = "wait 3\nkey space\n"
    figures = {**{label: [] for label in apps}, "mpv": []}
    runners = list(figures)
    print(f"== idle while paused, {size}, {seconds:.0f} s, {rounds} rounds, load before {load()}")
    for turn in range(rounds):
        for runner in runners[turn % len(runners):] + runners[:turn % len(runners)]:
            if runner != "mpv":
                with tempfile.TemporaryDirectory(prefix="bench-display-paused-") as home:
                    cpu = pausedCpu([apps[runner], "--home", home, "--open", clip, "--display", "--size", size,
                                     "--audio-output", "null"], 8, seconds, pause)
            else:
                cpu = pausedCpu(mpvCommand(size, "--pause", "--really-quiet", clip), 8, seconds)
            figures[runner].append(cpu)
    for runner, runs in figures.items():
        cpu = statistics.median(runs)
        print(f"  {runner:<6} paused cpu {cpu:6.3f} s over {seconds:.0f} s, {100 * cpu / seconds:5.2f}% of a cpu "
              f"(each: {' '.join(f'{r:.2f}' for r in runs)})")
    print(f"  load after {load()}")


def threadGroup(name):
    if name.startswith("llvmpipe-"):
        return "rasterizer"
    # mpv's playback core and FFmpeg's frame threads carry the process's name (or, in the app,
    # the name of the thread that created them).
    if name in ("mpv", "mpv/mpv core"):
        return "decoder"
    return "rest"


def threadCpu(pid):
    """CPU seconds of each group of a running process's threads."""
    groups = {"rasterizer": 0.0, "decoder": 0.0, "rest": 0.0}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/stat") as file:
                stat = file.read()
        except FileNotFoundError:
            continue  # ended meanwhile
        groups[threadGroup(stat[stat.index("(") + 1:stat.rindex(")")])] += statCpu(stat)
    return groups


def steadyThreadCpu(arguments, start=5, end=13):
    """The thread groups' CPU of a process between `start` and `end` seconds after its start."""
    before, after = sampledOver(arguments, start, end - start, threadCpu)
    return {group: after[group] - before[group] for group in after}


def threads(apps, clip, rounds, size):
    """Where each side's CPU goes in steady playback, in rotated order."""
    figures = {f"{label} --open": [] for label in apps}
    figures["mpv"] = []
    runners = list(figures)
    print(f"== where the cpu goes, {size}, 5-13 s after the start, {rounds} rounds, load before {load()}")
    for turn in range(rounds):
        for runner in runners[turn % len(runners):] + runners[:turn % len(runners)]:
            if runner == "mpv":
                figures[runner].append(steadyThreadCpu(mpvCommand(size, "--really-quiet", clip)))
            else:
                with tempfile.TemporaryDirectory(prefix="bench-display-threads-") as home:
                    figures[runner].append(steadyThreadCpu(
                        [apps[runner.split()[0]], "--home", home, "--open", clip, "--display", "--size", size,
                         "--no-restore", "--audio-output", "null"]))
    medians = {runner: {group: statistics.median(run[group] for run in runs) for group in runs[0]}
               for runner, runs in figures.items()}
    for runner, groups in medians.items():
        total = statistics.median(sum(run.values()) for run in figures[runner])
        print(f"  {runner:<14} total {total:5.2f} s   " +
              "   ".join(f"{group} {cpu:5.2f} s" for group, cpu in groups.items()))
    for runner in runners[:-1]:
        print(f"  ratio, {runner} against mpv: " + "   ".join(
            f"{group} {medians[runner][group] / medians['mpv'][group]:.2f}x"
            for group in medians[runner] if medians["mpv"][group] > 0))
    print(f"  load after {load()}")


# The app's window is never smaller than this either way (src/app/window_size.h): asked for
# 640x360 it opens at 640x390, the picture letterboxed.
APP_MINIMUM_SIDE = 390


def appWindowSize(size):
    width, height = (int(side) for side in size.split("x"))
    return f"{max(width, APP_MINIMUM_SIDE)}x{max(height, APP_MINIMUM_SIDE)}"


def runMpv(size, seconds, counts, clip):
    cpu, numbers = run(mpvCommand(size, f"--length={seconds}", "--really-quiet", f"--script={counts}", clip))
    return cpu, numbers.get("mpv_shown", 0), numbers.get("mpv_output_drops", 0)


def compare(apps, work, plays, counts, clip, seconds, rounds, sizes):
    for size in sizes:
        width, height = size.split("x")
        figures = {**{label: [] for label in plays}, "mpv": []}
        appRunners = []
        for label in apps:
            appRunners.append(f"{label} --open")
            if size == "640x360":
                appRunners.append(f"{label} --play")
        for runner in appRunners:
            figures[runner] = []
        # `--open` is compared with mpv in a window of the app's own size (`--play` keeps the
        # video's 640x360, as mpv's window does).
        appSize = appWindowSize(size)
        mpvAtAppSize = f"mpv {appSize}" if apps and appSize != size else None
        if mpvAtAppSize:
            figures[mpvAtAppSize] = []
        print(f"== {size}, {seconds} s of the clip, {rounds} rounds, load before {load()}")
        runners = [*plays, *appRunners, "mpv", *([mpvAtAppSize] if mpvAtAppSize else [])]
        for turn in range(rounds):
            for runner in runners[turn % len(runners):] + runners[:turn % len(runners)]:
                if runner == "mpv":
                    figures["mpv"].append(runMpv(size, seconds, counts, clip))
                elif runner == mpvAtAppSize:
                    figures[runner].append(runMpv(appSize, seconds, counts, clip))
                elif runner.endswith(" --open"):
                    cpu, numbers = runApp([apps[runner.split()[0]], "--open", clip, "--display", "--size", size,
                                           "--no-restore", "--audio-output", "null"], float(seconds))
                    figures[runner].append((cpu, numbers.get("shown", 0), numbers.get("dropped_to_window", 0)))
                elif runner.endswith(" --play"):
                    cpu, numbers = runApp([apps[runner.split()[0]], "--play", clip, "--seconds", seconds, "--audio-output", "null",
                                           "--display"])
                    figures[runner].append((cpu, numbers.get("shown", 0), numbers.get("dropped_to_window", 0)))
                else:
                    cpu, numbers = run([plays[runner], clip, seconds, width, height])
                    shown = numbers.get("shown", 0)
                    drops = numbers.get("mpv_output_drops", 0) + numbers.get("dropped_to_window", 0)
                    figures[runner].append((cpu, shown, drops))
        perFrame = {}
        for name, runs in figures.items():
            cpu = statistics.median(r[0] for r in runs)
            perFrame[name] = statistics.median([r[0] / r[1] * 1000 for r in runs if r[1] > 0] or [float("nan")])
            shown = statistics.median(r[1] for r in runs)
            drops = statistics.median(r[2] for r in runs)
            print(f"  {name:<14} cpu {cpu:6.2f} s   shown {shown:5.0f}   dropped {drops:4.0f}   "
                  f"cpu per frame shown {perFrame[name]:6.2f} ms   (each: {' '.join(f'{r[0]:.2f}' for r in runs)})")
        for label in plays:
            print(f"  ratio, cpu per frame shown: {label} {perFrame[label] / perFrame['mpv']:.2f}x mpv")
        for runner in appRunners:
            peer = mpvAtAppSize if mpvAtAppSize and runner.endswith(" --open") else "mpv"
            appCpu = statistics.median(r[0] for r in figures[runner])
            mpvCpu = statistics.median(r[0] for r in figures[peer])
            # The machine's pace drifts over minutes: each round's own ratio compares runs made
            # minutes apart, not a fast round's app with a slow round's mpv.
            perRound = [ours[0] / theirs[0] for ours, theirs in zip(figures[runner], figures[peer]) if theirs[0] > 0]
            print(f"  ratio, whole-process cpu: {runner} {appCpu / mpvCpu:.2f}x {peer} "
                  f"(start-up and exit included); per frame shown {perFrame[runner] / perFrame[peer]:.2f}x; "
                  f"median of the rounds' own ratios {statistics.median(perRound):.2f}x "
                  f"(each: {' '.join(f'{r:.2f}' for r in perRound)})")
        print(f"  load after {load()}")


if __name__ == "__main__":
    main()
