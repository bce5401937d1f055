#!/usr/bin/env python3
"""Playback in a window, ours beside mpv's, on one display, each round in a rotated order.

  compare_play.py [--app LAUNCHER] [--other-app LABEL=LAUNCHER]... [--other LABEL=BENCH_DISPLAY_PLAY]...
                  BENCH_DISPLAY_PLAY MPV_COUNTS_LUA CLIP SECONDS ROUNDS SIZE...

(BENCH_DISPLAY_PLAY `-`: without the bare path, the app's lines alone beside mpv.)

For each SIZE (WxH) and round: bench_display_play (our player output in the display host) and
`mpv --no-config --vo=gpu --gpu-sw --ao=null` in a window of that size, each playing SECONDS of
CLIP (`--length` for mpv, the same option set on our session, which stops at that point of the
clip however long the load makes it take). Each round starts with the next runner in turn, so
none always runs first. Reports each process's CPU time (user + system,
all threads, start-up and exit included), the frames it showed and did not show, and the CPU per frame
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
hidden after a few seconds), without a script, and at 640x360 (the size its window opens at) also
`reelhaven --play CLIP --seconds SECONDS --display`. `--open` has no option to stop at a point of
the clip, so it is compared with an mpv run stopped the same way: each of the two is started,
waited for until its first frame shows (ours prints a "first frame" line; mpv's is MPV_COUNTS_LUA's
line at its first playback restart), left playing SECONDS of wall time from there, then stopped
with SIGTERM (the app saves and exits, as on Ctrl-C at its terminal; mpv quits). Both play without
sound (the null audio output keeps time by the wall clock, and a player that falls behind drops
video frames rather than slowing its clock), so both play the same span of the clip, from its
start for SECONDS, and are stopped the same way at its end; CLIP must be longer than SECONDS (by 10
s from bench/display/run.sh), or the app would leave the player at the clip's end where mpv quits.
Giving mpv SIGTERM after SECONDS of wall time from its start instead would stop each at a
different point of the clip (the app's start, with its library, is longer), and stopping the app
at a fixed wall time against mpv's `--length` (as before) played it a different span and stopped
it another way. The app's window is at least 390 pixels each way, so `--open` is compared with mpv
in a window of the app's size. Each runs in a container of its own, and its window's statistics
(REELHAVEN_DISPLAY_STATISTICS) give the frames it showed and the frames its window replaced
before showing them. Its CPU is the whole process's, start-up, library and exit included, against
mpv's whole process.

Frames not shown are counted the same way for every run: the frames the span holds (its length
times the clip's frame rate: SECONDS for the runs that stop themselves, the measured wall time from
the first frame to the signal for the two stopped ones) less the frames the run showed. That
counts every frame a side skipped, wherever it skipped it: the app's own mpv drops late frames
before its window sees them, which the window's count cannot tell. Each side's own count is
printed beside it (mpv's output and decoder drops; the frames the app's window replaced). `--play
--seconds` counts its SECONDS of wall time from its file's loading, not from its first frame, so it
plays a few frames fewer than mpv's `--length`, and its count is that much high.

Then, with
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
import signal
import tempfile
import threading
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


# How long a run may take to show its first frame before the benchmark gives up.
PATIENCE = 120


def runSpan(arguments, seconds, started, environment=None):
    """CPU seconds of a process stopped at the end of a span of playback, the numbers it printed as
    "name value" lines, and the span's wall time: it is waited for until a line it prints matches
    `started` (its first frame shown), left playing `seconds` from there, then asked to stop with
    SIGTERM (as Ctrl-C at its terminal: the app saves and exits) and waited for. Its standard input
    stays open and empty, a terminal nobody types at (at its end the app quits)."""
    before = os.times()
    process = subprocess.Popen(arguments, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, env={**os.environ, **(environment or {})})
    printed = []
    shown = threading.Event()

    def read():
        # Read to the end, so the process never blocks on a full pipe.
        for line in process.stdout:
            printed.append(line)
            if started(line):
                shown.set()
    reader = threading.Thread(target=read, daemon=True)
    reader.start()
    if not shown.wait(PATIENCE):
        process.kill()
        process.wait()
        sys.exit(f"{arguments[0]} showed no first frame in {PATIENCE} s")
    first = time.monotonic()
    time.sleep(seconds)
    process.send_signal(signal.SIGTERM)
    span = time.monotonic() - first
    process.wait(timeout=600)
    reader.join(timeout=60)
    process.stdin.close()
    after = os.times()
    cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
    return cpu, numbersIn("".join(printed)), span


def runApp(arguments, seconds=None):
    """The app in a container of its own: its CPU seconds, its window's statistics and its span's
    wall time. With `seconds`, it runs as a person runs it (no script) and is stopped that long
    after its first frame shows; without, it stops itself (`--play --seconds`)."""
    with tempfile.TemporaryDirectory(prefix="bench-display-app-") as home:
        statisticsFile = os.path.join(home, "statistics")
        command = [arguments[0], "--home", os.path.join(home, "home"), *arguments[1:]]
        environment = {"REELHAVEN_DISPLAY_STATISTICS": statisticsFile}
        if seconds:
            cpu, _, span = runSpan(command, seconds, lambda line: line.startswith("first frame\t"), environment)
        else:
            cpu, span = run(command, environment)[0], None
        try:
            with open(statisticsFile) as file:
                numbers = numbersIn(file.read())
        except OSError:
            numbers = {}
    return cpu, numbers, span


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
    plays = {"ours": play, **plays} if play != "-" else plays
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


def framesPerSecond(clip):
    rate = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "stream=avg_frame_rate",
                           "-of", "default=noprint_wrappers=1:nokey=1", clip],
                          capture_output=True, text=True, check=True).stdout.strip()
    numerator, _, denominator = rate.partition("/")
    return float(numerator) / float(denominator or 1)


# A run's figures: CPU seconds, frames shown, the frames it counted as dropped itself, and the
# seconds of the clip it played (the span its frames are counted against).
def runMpv(size, seconds, counts, clip):
    """mpv stopping itself at the end of the span (`--length`)."""
    cpu, numbers = run(mpvCommand(size, f"--length={seconds}", "--really-quiet", f"--script={counts}", clip))
    return cpu, numbers.get("mpv_shown", 0), mpvDrops(numbers), float(seconds)


def runMpvStopped(size, seconds, counts, clip):
    """mpv stopped as the app's `--open` is: SIGTERM `seconds` after its first frame."""
    cpu, numbers, span = runSpan(mpvCommand(size, "--really-quiet", f"--script={counts}", clip), float(seconds),
                                 lambda line: line.startswith("mpv_playing"))
    return cpu, numbers.get("mpv_shown", 0), mpvDrops(numbers), span


def mpvDrops(numbers):
    return max(0, numbers.get("mpv_output_drops", 0)) + max(0, numbers.get("mpv_decoder_drops", 0))


def compare(apps, work, plays, counts, clip, seconds, rounds, sizes):
    rate = framesPerSecond(clip)
    for size in sizes:
        width, height = size.split("x")
        figures = {**{label: [] for label in plays}}
        appRunners = []
        for label in apps:
            appRunners.append(f"{label} --open")
            if size == "640x360":
                appRunners.append(f"{label} --play")
        # `--open` is compared with mpv in a window of the app's own size, stopped as it is (`--play`
        # keeps the video's 640x360, as mpv's window does, and stops itself as mpv's `--length` does).
        appSize = appWindowSize(size)
        mpvStopped = f"mpv {appSize} stopped" if apps else None
        plainMpv = plays or any(runner.endswith(" --play") for runner in appRunners)
        runners = [*plays, *appRunners, *(["mpv"] if plainMpv else []), *([mpvStopped] if mpvStopped else [])]
        for runner in runners:
            figures[runner] = []
        print(f"== {size}, {seconds} s of the clip ({rate:g} frames a second), {rounds} rounds, load before {load()}")
        for turn in range(rounds):
            roundLoad = load()
            for runner in runners[turn % len(runners):] + runners[:turn % len(runners)]:
                if runner == "mpv":
                    figures["mpv"].append(runMpv(size, seconds, counts, clip))
                elif runner == mpvStopped:
                    figures[runner].append(runMpvStopped(appSize, seconds, counts, clip))
                elif runner.endswith(" --open"):
                    cpu, numbers, span = runApp([apps[runner.split()[0]], "--open", clip, "--display", "--size", size,
                                                 "--no-restore", "--audio-output", "null"], float(seconds))
                    figures[runner].append((cpu, numbers.get("shown", 0), numbers.get("dropped_to_window", 0), span))
                elif runner.endswith(" --play"):
                    cpu, numbers, _ = runApp([apps[runner.split()[0]], "--play", clip, "--seconds", seconds,
                                              "--audio-output", "null", "--display"])
                    figures[runner].append((cpu, numbers.get("shown", 0), numbers.get("dropped_to_window", 0),
                                            float(seconds)))
                else:
                    cpu, numbers = run([plays[runner], clip, seconds, width, height])
                    drops = numbers.get("mpv_output_drops", 0) + numbers.get("dropped_to_window", 0)
                    figures[runner].append((cpu, numbers.get("shown", 0), drops, float(seconds)))
            print(f"  round {turn + 1}, load {roundLoad}: " + ", ".join(
                f"{runner} {figures[runner][-1][0]:.2f} s cpu, {figures[runner][-1][1]:.0f} shown" for runner in runners))
        perFrame = {}
        for name, runs in figures.items():
            cpu = statistics.median(r[0] for r in runs)
            perFrame[name] = statistics.median([r[0] / r[1] * 1000 for r in runs if r[1] > 0] or [float("nan")])
            shown = statistics.median(r[1] for r in runs)
            # A span of 30 s at 30 frames a second holds 901 frames: the first at 0 s, the last at 30 s.
            notShown = statistics.median(max(0, round(r[3] * rate) + 1 - r[1]) for r in runs)
            ownCount = statistics.median(r[2] for r in runs)
            span = statistics.median(r[3] for r in runs)
            print(f"  {name:<18} cpu {cpu:6.2f} s   span {span:5.2f} s   shown {shown:5.0f}   not shown {notShown:4.0f} "
                  f"(its own count {ownCount:4.0f})   cpu per frame shown {perFrame[name]:6.2f} ms   "
                  f"(each: {' '.join(f'{r[0]:.2f}' for r in runs)})")
        for label in plays:
            print(f"  ratio, cpu per frame shown: {label} {perFrame[label] / perFrame['mpv']:.2f}x mpv")
        for runner in appRunners:
            peer = mpvStopped if runner.endswith(" --open") else "mpv"
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
