#!/usr/bin/env python3
"""Time to the first frame of a clip, ours beside mpv's, like for like, median of ROUNDS runs.

  first_frame.py ROUNDS LAUNCHER HOME CLIP PLAYED_HOME

Run on a display (the X11 display bench/startup/run.sh starts). Round by round, so load swings
touch each alike:

First-frame lines: the wall time from the process's start to the line each prints for its first
frame, the process then told to quit (not counted):
  ours      `reelhaven --home HOME --no-restore --open CLIP`, headless, to its "first frame" line
            (for information: mpv in a window is no peer of it, so it is given no ratio)
  ours-win  the same with --display (a window on the display), to its "first frame" line
  mpv-win   `mpv --no-config --vo=gpu --gpu-sw --ao=null -v CLIP` in a window, to its own
            "first video frame after restart shown" line (cplayer's verbose log)

Whole processes: start to exit for one frame:
  ours-win  `reelhaven --display --open CLIP`, quit as soon as its "first frame" line came
  mpv-win   `mpv --no-config --vo=gpu --gpu-sw --ao=null --frames=1 CLIP`

And the player brought back by a restart (a kept session with the clip playing from the
library) to its "first frame" line, which mpv has no peer for.
"""
import re
import selectors
import signal
import statistics
import subprocess
import sys
import time

PATIENCE = 60.0
MPV_WINDOW = ["mpv", "--no-config", "--vo=gpu", "--gpu-sw", "--ao=null", "--geometry=640x360", "--no-border"]


class Run:
    """A process whose output is watched for a line, then asked to quit, then waited for."""

    def __init__(self, arguments, stdin=True):
        self.start = time.monotonic()
        self.process = subprocess.Popen(arguments, stdin=subprocess.PIPE if stdin else subprocess.DEVNULL,
                                        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, bufsize=1,
                                        errors="replace")
        self.arguments = arguments

    def until(self, pattern):
        """Milliseconds from the start to the first line matching `pattern`, or exits."""
        waiting = selectors.DefaultSelector()
        waiting.register(self.process.stdout, selectors.EVENT_READ)
        while time.monotonic() - self.start < PATIENCE:
            if not waiting.select(timeout=PATIENCE - (time.monotonic() - self.start)):
                break
            line = self.process.stdout.readline()
            if not line:
                break
            if re.search(pattern, line):
                return (time.monotonic() - self.start) * 1000
        self.process.kill()
        sys.exit(f"no line matching '{pattern}' from: {' '.join(self.arguments)}")

    def quit(self, how):
        """Asks the process to quit (`how`: "stdin" or "signal") and returns ms from the start to its exit."""
        if how == "stdin":
            try:
                self.process.stdin.write("quit\n")
                self.process.stdin.close()
            except BrokenPipeError:
                pass
        else:
            self.process.send_signal(signal.SIGTERM)
        self.process.stdout.read()  # to its end: the process has quit
        self.process.wait(timeout=PATIENCE)
        return (time.monotonic() - self.start) * 1000


def leave_playing(launcher, home):
    """Plays "Clip" from the grid and quits while it plays, so the next start brings it back.

    The player offers its session for restoration once its controls have been shown or hidden,
    so the picture is touched once after the first frame."""
    process = subprocess.Popen([launcher, "--home", home, "--no-restore"], stdin=subprocess.PIPE,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, bufsize=1)
    process.stdin.write('tap "Clip"\n')
    process.stdin.flush()
    handle = None
    for line in process.stdout:
        if line.startswith("first frame"):
            process.stdin.write("show\n")
            process.stdin.flush()
        found = re.search(r"View (#\d+) .*<ReelhavenViewController>", line)
        if found and handle is None:
            handle = found.group(1)
            process.stdin.write(f"tap {handle}\nquit\n")
            process.stdin.flush()
    process.wait(timeout=PATIENCE)
    if handle is None:
        sys.exit("the player did not come up for " + home)


def whole_run(arguments):
    start = time.monotonic()
    subprocess.run(arguments, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   check=True, timeout=PATIENCE)
    return (time.monotonic() - start) * 1000


def main():
    rounds, launcher, home, clip, played_home = int(sys.argv[1]), *sys.argv[2:6]
    ours = [launcher, "--home", home, "--no-restore", "--open", clip]
    figures = {name: [] for name in ("line ours", "line ours-win", "line mpv-win", "whole ours-win",
                                     "whole mpv-win", "restore")}
    for _ in range(rounds):
        run = Run(ours)
        figures["line ours"].append(run.until(r"^first frame"))
        run.quit("stdin")

        run = Run(ours + ["--display"])
        figures["line ours-win"].append(run.until(r"^first frame"))
        figures["whole ours-win"].append(run.quit("stdin"))

        run = Run(MPV_WINDOW + ["-v", clip], stdin=False)
        figures["line mpv-win"].append(run.until(r"first video frame after restart shown"))
        run.quit("signal")

        figures["whole mpv-win"].append(whole_run(MPV_WINDOW + ["--frames=1", clip]))

        # A restored player not touched offers no session again: play it anew before each round.
        leave_playing(launcher, played_home)
        run = Run([launcher, "--home", played_home])
        figures["restore"].append(run.until(r"^first frame"))
        run.quit("stdin")
    median = {name: statistics.median(times) for name, times in figures.items()}

    def row(label, name):
        print(f"  {label:<66} {median[name]:6.0f} ms")

    print(f"first-frame lines (median of {rounds}), 1080p clip:")
    row("reelhaven --open, headless, to its \"first frame\" line", "line ours")
    row("reelhaven --open --display, to its \"first frame\" line", "line ours-win")
    row("mpv --vo=gpu --gpu-sw, to \"first video frame after restart shown\"", "line mpv-win")
    # The headless line has no peer drawing in the same way, so it gets no ratio.
    print(f"  ratio, in a window: {median['line ours-win'] / median['line mpv-win']:.2f}x")
    print(f"whole processes for one frame (median of {rounds}):")
    row("reelhaven --open --display, quit at its first frame", "whole ours-win")
    row("mpv --vo=gpu --gpu-sw --frames=1", "whole mpv-win")
    print(f"  ratio: {median['whole ours-win'] / median['whole mpv-win']:.2f}x")
    row("player restored across a restart, to its first frame", "restore")


main()
