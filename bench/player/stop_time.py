#!/usr/bin/env python3
"""Wall time from a stop to the process's exit while a clip plays in a window, ours beside mpv,
rounds alternating (the first runner changes each round), each round listed with the load
average, then the median and spread of each runner and where ours spends its stop.

  stop_time.py ROUNDS CLIP LAUNCHER [LABEL=LAUNCHER]...

Every runner starts on a fresh home (or watch-later) folder, is taken past 30 s in the clip (a file
opened from outside the library keeps its place only past 20 s), plays for PLAYED seconds (2)
once it is there, is stopped, and saves the position on the way out (checked after each run):

  --play, SIGTERM   `reelhaven --play CLIP --display --audio-output null`: the player alone in a
                    640x360 window, past 30 s by two skips typed at its time lines
  --open, SIGTERM   `reelhaven --open CLIP --display --size 640x360 --no-restore --audio-output
  --open, closed    null`: the app as a person runs it, its library's window (640x390: no side is
                    under 390) with the player over it, past 30 s by two `key right` typed once
                    its first frame shows; stopped by SIGTERM, or by closing its window
  mpv               `mpv --vo=gpu --gpu-sw --ao=null --start=30 --save-position-on-quit` in a window
                    of the same size as ours (640x360 beside --play, 640x390 beside --open),
                    stopped the same way

Closing the window is what a window manager does on its close button: the WM_DELETE_WINDOW
message to the window (bench/startup/window_picture.py; the display has no manager), which mpv
takes as quit and the app's window system as its quit event. Each stop is timed from the signal
or the message to the process's exit, whole processes.

Where ours spends its stop is watched from outside while it stops, every half millisecond: its
main thread's system call (/proc): the time in each (a sleep, a wait on a lock or queue, running,
the kernel taking the process down after its exit), the longest stretch asleep (the pause the
player takes after switching its video off on going to the background, which the app goes to on
any stop); and the progress file's write (its modification time). mpv's write of its watch-later file is timed the same way. The
clip must be longer than 40 s. Run it under a display (bench/player/run.sh starts an Xvfb of its
own). Each LABEL=LAUNCHER (another build's, say the one before a change) joins the rounds with
its --open stopped by SIGTERM.
"""
import json
import os
import queue
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "startup"))
from window_picture import WindowCloser  # noqa: E402

PLAYED = 2.0
PATIENCE = 60.0
# x86-64 system call numbers of the sleeps: clock_nanosleep (std::this_thread::sleep_for), nanosleep.
SLEEPS = ("230", "35")
# The main thread's states named in the breakdown: x86-64 system call numbers.
SYSTEM_CALLS = {"0": "read", "1": "write", "7": "poll", "35": "sleep", "202": "futex (a lock or a queue)",
                "230": "sleep", "232": "epoll_wait", "271": "ppoll", "74": "fsync", "75": "fdatasync",
                "61": "wait4", "11": "munmap", "3": "close", "231": "exit_group", "60": "exit",
                # Blocked outside any system call: after exit_group, the kernel taking the process down.
                "-1": "exiting (the kernel freeing it)"}
OPEN_SIZE = "640x360"  # the app's window opens at 640x390 for it
OPEN_WINDOW = "640x390"


def load():
    with open("/proc/loadavg") as file:
        return " ".join(file.read().split()[:2])


class Lines:
    """A process's output read on a thread of its own, so it never blocks on a full pipe."""

    def __init__(self, stream):
        self.lines = queue.Queue()
        threading.Thread(target=self._read, args=(stream,), daemon=True).start()

    def _read(self, stream):
        for line in stream:
            self.lines.put(line)
        self.lines.put(None)

    def next(self):
        try:
            return self.lines.get(timeout=PATIENCE)
        except queue.Empty:
            return None


class StopWatch:
    """What a stopping process does, from outside, on the clock of its stop (ms)."""

    def __init__(self, process, written):
        self.process = process
        self.written = written  # the file it saves the position to

    def stop(self, how):
        main = f"/proc/{self.process.pid}/task/{self.process.pid}/syscall"
        asleep, stretch = [], None
        states = {}  # the main thread's time (ms) in each state: a system call, running, or ended
        asked_wall = time.time_ns()
        asked = time.monotonic()
        how()
        last, state = 0.0, None
        while self.process.poll() is None:
            at = (time.monotonic() - asked) * 1000
            if state:
                states[state] = states.get(state, 0.0) + at - last
            last = at
            try:
                with open(main) as file:
                    call = file.read().split()[0]
                state = SYSTEM_CALLS.get(call, "running" if call == "running" else f"system call {call}")
            except (OSError, IndexError):
                call, state = None, "main thread ended"
            if call in SLEEPS:
                stretch = [stretch[0] if stretch else at, at]
            elif stretch:
                asleep.append(stretch)
                stretch = None
            time.sleep(0.0005)
        exit_ms = (time.monotonic() - asked) * 1000
        if state:
            states[state] = states.get(state, 0.0) + exit_ms - last
        if stretch:
            asleep.append(stretch)
        longest = max(asleep, key=lambda s: s[1] - s[0], default=None)
        saved = None
        try:
            modified = os.stat(self.written()).st_mtime_ns
            if modified >= asked_wall:
                saved = (modified - asked_wall) / 1e6
        except OSError:
            pass
        return {"exit": exit_ms, "saved": saved, "states": states,
                "sleep_from": longest[0] if longest else None,
                "sleep": (longest[1] - longest[0]) if longest else 0.0}


def stopped(command, started, stop, written):
    """Starts `command`, feeds its lines to `started` (with its standard input) until it says it is
    there, lets it play, then stops it with `stop(process)` and times the exit."""
    process = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               text=True, bufsize=1)
    lines = Lines(process.stdout)
    while True:
        line = lines.next()
        if line is None:
            process.kill()
            process.wait(timeout=PATIENCE)
            sys.exit(f"{command[0]} ended or went silent before it was past 30 s")
        if started(line, process.stdin):
            break
    time.sleep(PLAYED)
    figures = StopWatch(process, written).stop(lambda: stop(process))
    process.stdin.close()
    return figures


def skipped_past_thirty():
    """--play: types a skip (+15 s) at the first time line and another at 0:1x; there once a time
    line says 0:3x."""
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


def opened_past_thirty():
    """--open: two skips (+15 s each) typed once the first frame shows; there once the screen has
    been printed after both (the host prints it at its start and after each command, once the
    player's seek has run)."""
    seen = {"typed": False, "screens": 0}

    def started(line, keys):
        if line.startswith("first frame\t") and not seen["typed"]:
            keys.write("key right\nkey right\n")
            keys.flush()
            seen["typed"] = True
        elif line.startswith("Window "):
            seen["screens"] += 1
        return seen["typed"] and seen["screens"] >= 3
    return started


def terminate(process):
    process.send_signal(signal.SIGTERM)


def saved_progress(home):
    progress = os.path.join(home, "Library", "Application Support", "progressData")
    with open(progress, encoding="utf-8") as file:
        if not json.load(file):
            sys.exit("ours stopped without saving the clip's progress")


def ours_play(launcher, clip):
    with tempfile.TemporaryDirectory() as home:
        progress = os.path.join(home, "Library", "Application Support", "progressData")
        figures = stopped([launcher, "--home", home, "--play", clip, "--display", "--audio-output", "null"],
                          skipped_past_thirty(), terminate, lambda: progress)
        saved_progress(home)
        return figures


def ours_open(launcher, clip, close):
    with tempfile.TemporaryDirectory() as home:
        progress = os.path.join(home, "Library", "Application Support", "progressData")
        closer = WindowCloser() if close else None
        figures = stopped([launcher, "--home", home, "--no-restore", "--open", clip, "--display", "--size", OPEN_SIZE,
                           "--audio-output", "null"], opened_past_thirty(),
                          (lambda process: closer.close()) if close else terminate, lambda: progress)
        saved_progress(home)
        return figures


def mpv(clip, size, close=False):
    with tempfile.TemporaryDirectory() as later:
        closer = WindowCloser() if close else None

        def written():
            names = os.listdir(later)
            return os.path.join(later, names[0]) if names else later + "/none"
        figures = stopped(
            ["mpv", "--no-config", "--vo=gpu", "--gpu-sw", f"--geometry={size}", "--no-border", "--ao=null",
             "--start=30", "--save-position-on-quit", f"--watch-later-directory={later}", "--term-playing-msg=playing",
             clip],
            lambda line, keys: line.startswith("playing"), (lambda process: closer.close()) if close else terminate,
            written)
        if not os.listdir(later):
            sys.exit("mpv stopped without saving the position")
        return figures


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    rounds, clip, launcher = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    runners = [
        ("ours --play, SIGTERM", lambda: ours_play(launcher, clip)),
        ("mpv 640x360, SIGTERM", lambda: mpv(clip, "640x360")),
        ("ours --open, SIGTERM", lambda: ours_open(launcher, clip, False)),
        (f"mpv {OPEN_WINDOW}, SIGTERM", lambda: mpv(clip, OPEN_WINDOW)),
        ("ours --open, closed", lambda: ours_open(launcher, clip, True)),
        (f"mpv {OPEN_WINDOW}, closed", lambda: mpv(clip, OPEN_WINDOW, True)),
    ]
    for other in sys.argv[4:]:
        label, path = other.split("=", 1)
        runners.append((f"{label} --open, SIGTERM", lambda path=path: ours_open(path, clip, False)))
    figures = {name: [] for name, _ in runners}
    print(f"stop to exit, ms, {rounds} rounds (each: the load average before it, then each runner's time)")
    for round_number in range(rounds):
        turn = round_number % len(runners)
        before = load()
        for name, run in runners[turn:] + runners[:turn]:
            figures[name].append(run())
        print(f"  round {round_number + 1}, load {before}: " +
              ", ".join(f"{name} {figures[name][-1]['exit']:.0f}" for name, _ in runners))

    def median(values):
        values = [value for value in values if value is not None]
        return f"{statistics.median(values):.0f}" if values else "-"

    for name, values in figures.items():
        exits = [value["exit"] for value in values]
        print(f"{name}: stop to exit, position saved: median {statistics.median(exits):.0f} ms "
              f"(min {min(exits):.0f}, max {max(exits):.0f}, {rounds} rounds)")
        named = sorted({state for value in values for state in value["states"]},
                       key=lambda state: -statistics.median(value["states"].get(state, 0.0) for value in values))
        print("  its main thread meanwhile (medians, ms): " + ", ".join(
            f"{state} {statistics.median(value['states'].get(state, 0.0) for value in values):.0f}"
            for state in named[:6]))
        if name.startswith("mpv"):
            print(f"  its watch-later file written at {median(value['saved'] for value in values)} ms")
            continue
        print(f"  where it goes (medians, ms from the stop): main thread's longest sleep from "
              f"{median(value['sleep_from'] for value in values)} for {median(value['sleep'] for value in values)}, "
              f"progress file written at {median(value['saved'] for value in values)}, exit at "
              f"{statistics.median(exits):.0f}")
    pairs = [("ours --play, SIGTERM", "mpv 640x360, SIGTERM"), ("ours --open, SIGTERM", f"mpv {OPEN_WINDOW}, SIGTERM"),
             ("ours --open, closed", f"mpv {OPEN_WINDOW}, closed")]
    pairs += [(name, f"mpv {OPEN_WINDOW}, SIGTERM") for name, _ in runners[6:]]
    for ours_name, theirs in pairs:
        ratio = statistics.median(v["exit"] for v in figures[ours_name]) / statistics.median(
            v["exit"] for v in figures[theirs])
        print(f"ratio of the medians, {ours_name}: {ratio:.2f}x {theirs}")


if __name__ == "__main__":
    main()
