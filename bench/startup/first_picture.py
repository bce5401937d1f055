#!/usr/bin/env python3
"""From a process's start to its video's first picture in its window, ours beside mpv's.

  first_picture.py ROUNDS SIZE LAUNCHER HOME PLAYED_HOME LABEL=CLIP...

Run on an X11 display (the Xvfb display bench/startup/run.sh starts). Every process is timed the
same way, from outside: from just before it is started to the moment its window on the display
shows the clip's picture (bench/startup/window_picture.py polls the window's pixels), then it is
stopped (not counted). Both open a window of SIZE (WIDTHxHEIGHT) and play the clip without sound:

  ours  `reelhaven --home HOME --no-restore --open CLIP --display --size SIZE --audio-output null`
        (the library's window, then the player over it); its own "first frame" line is timed too
  mpv   `mpv --no-config --vo=gpu --gpu-sw --ao=null --geometry=SIZE --no-keepaspect-window
        --no-border CLIP`

Ours also brings back a player left playing the first clip (a kept session; it comes back paused),
timed the same way, which mpv has no peer for. After one untimed run of each, every round runs
all of them, in an order that rotates from round to round, so a swing of the load touches each
alike. Medians and ranges are printed, then each round with the load average before it.

OTHER=LABEL=LAUNCHER runs another build of ours beside them in every round (its "ours" runs and
its restored player), for a before-and-after.

With MARKS=1 ours runs with REELHAVEN_STARTUP_MARKS set and the median time of each of its
start-up milestones (from its process's start, on the same clock) is printed too: where the time
before the picture goes.
"""
import os
import re
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from window_picture import PictureWatch  # noqa: E402

PATIENCE = 60.0
POLL = 0.001


MARKS = bool(os.environ.get("MARKS"))


class Timed:
    """A process started now, its window watched for the picture and its output for a line."""

    def __init__(self, arguments, line=None, marks=False):
        self.watch = PictureWatch()
        self.line_pattern = re.compile(line) if line else None
        self.line_at = None
        self.errors = tempfile.TemporaryFile(mode="w+") if marks else None
        environment = dict(os.environ, REELHAVEN_STARTUP_MARKS="1") if marks else None
        self.start = time.monotonic()
        self.process = subprocess.Popen(arguments, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=self.errors or subprocess.DEVNULL, text=True, errors="replace",
                                        env=environment)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()
        self.arguments = arguments

    def _read(self):
        for line in self.process.stdout:
            if self.line_at is None and self.line_pattern and self.line_pattern.search(line):
                self.line_at = (time.monotonic() - self.start) * 1000

    def picture(self):
        """Milliseconds from the start to the picture in the window."""
        while time.monotonic() - self.start < PATIENCE:
            if self.watch.shows_picture():
                return (time.monotonic() - self.start) * 1000
            if self.process.poll() is not None:
                break
            time.sleep(POLL)
        self.stop()
        sys.exit(f"no picture in a window from: {' '.join(self.arguments)}")

    def line(self):
        """Milliseconds from the start to the line, waited for."""
        deadline = self.start + PATIENCE
        while self.line_at is None and time.monotonic() < deadline and self.reader.is_alive():
            time.sleep(POLL)
        if self.line_at is None:
            self.stop()
            sys.exit(f"no line matching '{self.line_pattern.pattern}' from: {' '.join(self.arguments)}")
        return self.line_at

    def stop(self):
        self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(timeout=PATIENCE)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.reader.join(timeout=PATIENCE)

    def marks(self):
        """Each start-up milestone the process printed: name to milliseconds from the start."""
        if not self.errors:
            return {}
        self.errors.seek(0)
        found = {}
        for line in self.errors:
            parts = line.rstrip("\n").split("\t")
            if len(parts) == 3 and parts[0] == "startup":
                found[parts[2]] = float(parts[1]) - self.start * 1000
        return found


def leave_playing(launcher, home):
    """Plays "Clip" from the grid and quits while it plays, so the next start brings it back.

    The player offers its session for restoration once its controls have been shown or hidden,
    so the picture is touched once after the first frame."""
    process = subprocess.Popen([launcher, "--home", home, "--no-restore", "--audio-output", "null"],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               bufsize=1)
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


def main():
    if len(sys.argv) < 7:
        sys.exit(__doc__)
    rounds, size, launcher, home, played = int(sys.argv[1]), *sys.argv[2:6]
    clips = [argument.split("=", 1) for argument in sys.argv[6:]]
    window = ["--display", "--size", size, "--audio-output", "null"]
    mpv = ["mpv", "--no-config", "--vo=gpu", "--gpu-sw", "--ao=null", f"--geometry={size}",
           "--no-keepaspect-window", "--no-border"]
    first_frame = r"^first frame\t"
    milestones = {}

    others = [tuple(os.environ["OTHER"].split("=", 1))] if os.environ.get("OTHER") else []
    builds = [("ours", launcher)] + others

    def timed_ours(name, arguments):
        run = Timed(arguments, first_frame, MARKS)
        picture = run.picture()
        line = run.line()
        run.stop()
        for mark, at in run.marks().items():
            milestones.setdefault(name, {}).setdefault(mark, []).append(at)
        return picture, line

    def ours(build, clip, name):
        return timed_ours(name, [build, "--home", home, "--no-restore", "--open", clip] + window)

    def theirs(clip):
        run = Timed(mpv + [clip])
        picture = run.picture()
        run.stop()
        return picture, None

    def restored(build, name):
        # A restored player that is not touched offers no session again: played anew each time.
        leave_playing(build, played)
        return timed_ours(name, [build, "--home", played] + window)

    runners = []
    for label, clip in clips:
        for build_name, build in builds:
            name = f"{label} {build_name}"
            runners.append((name, lambda build=build, clip=clip, name=name: ours(build, clip, name)))
        runners.append((f"{label} mpv", lambda clip=clip: theirs(clip)))
    for build_name, build in builds:
        name = f"restored {build_name}"
        runners.append((name, lambda build=build, name=name: restored(build, name)))
    for _, run in runners:  # untimed: files, libraries and shader caches warm for all alike
        run()
    milestones.clear()
    pictures = {name: [] for name, _ in runners}
    lines = {name: [] for name, _ in runners}
    loads = []
    for round_ in range(rounds):
        shift = round_ % len(runners)
        with open("/proc/loadavg") as file:
            loads.append(" ".join(file.read().split()[:2]))
        for name, run in runners[shift:] + runners[:shift]:
            picture, line = run()
            pictures[name].append(picture)
            if line is not None:
                lines[name].append(line)

    def figure(times):
        return f"{statistics.median(times):6.0f} ms ({min(times):.0f}-{max(times):.0f})"

    print(f"to the first picture in a {size} window, from the process's start (median of {rounds}, range):")
    for label, _ in clips:
        theirs_ = pictures[f"{label} mpv"]
        print(f"  {label}: mpv {figure(theirs_)}")
        for build_name, _ in builds:
            ours_ = pictures[f"{label} {build_name}"]
            print(f"  {label}: {build_name} {figure(ours_)}, "
                  f"ratio {statistics.median(ours_) / statistics.median(theirs_):.2f}x; "
                  f"its \"first frame\" line {figure(lines[f'{label} {build_name}'])}")
    for build_name, _ in builds:
        name = f"restored {build_name}"
        print(f"  a player restored across a restart (paused, no peer), {build_name}: picture {figure(pictures[name])}, "
              f"\"first frame\" line {figure(lines[name])}")
    print("each round (the load average before it; ms to the picture, and ours' ratio to mpv's in that round):")
    for round_, load in enumerate(loads):
        cells = []
        for label, _ in clips:
            theirs_ = pictures[f"{label} mpv"][round_]
            cells.append(f"{label} mpv {theirs_:.0f}")
            for build_name, _ in builds:
                ours_ = pictures[f"{label} {build_name}"][round_]
                cells.append(f"{build_name} {ours_:.0f} ({ours_ / theirs_:.2f}x)")
        print(f"  round {round_ + 1}, load {load}: " + ", ".join(cells))
    for name, marks in milestones.items():
        print(f"ours' start-up milestones, {name} (median ms from the start):")
        for mark, times in sorted(marks.items(), key=lambda item: statistics.median(item[1])):
            print(f"  {statistics.median(times):6.0f}  {mark}")


if __name__ == "__main__":
    main()
