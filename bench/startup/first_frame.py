#!/usr/bin/env python3
"""Wall time from a process's start to a line it prints, median of ROUNDS runs, side by side.

  first_frame.py ROUNDS LAUNCHER HOME CLIP PLAYED_HOME

Three figures, interleaved round by round so load swings touch each alike:
  open     `reelhaven --home HOME --no-restore --open CLIP` to its "first frame" line
  mpv      `mpv --no-config --vo=null --ao=null --frames=1 CLIP`, start to exit
  restore  `reelhaven --home PLAYED_HOME` whose kept session has the player up, to "first frame"
           (PLAYED_HOME holds one video, "Clip"; it is played from the grid first and left playing)
The launcher is told to quit once the line is seen; that part is not counted.
"""
import re
import selectors
import statistics
import subprocess
import sys
import time

PATIENCE = 60.0


def until_line(arguments, marker, commands=()):
    """Milliseconds from the start to the line starting with `marker`; then the launcher quits."""
    start = time.monotonic()
    process = subprocess.Popen(arguments, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, bufsize=1)
    for command in commands:
        process.stdin.write(command + "\n")
    process.stdin.flush()
    elapsed = None
    waiting = selectors.DefaultSelector()
    waiting.register(process.stdout, selectors.EVENT_READ)
    while elapsed is None and time.monotonic() - start < PATIENCE:
        if not waiting.select(timeout=PATIENCE - (time.monotonic() - start)):
            break
        line = process.stdout.readline()
        if not line:
            break
        if line.startswith(marker):
            elapsed = (time.monotonic() - start) * 1000
    try:
        process.stdin.write("quit\n")
        process.stdin.close()
    except BrokenPipeError:
        pass
    process.stdout.read()  # to its end: the launcher has quit
    process.wait(timeout=PATIENCE)
    if elapsed is None:
        sys.exit(f"no '{marker}' line from: {' '.join(arguments)}")
    return elapsed


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
    figures = {"open": [], "mpv": [], "restore": []}
    for _ in range(rounds):
        figures["open"].append(until_line([launcher, "--home", home, "--no-restore", "--open", clip], "first frame"))
        figures["mpv"].append(whole_run(["mpv", "--no-config", "--vo=null", "--ao=null", "--frames=1", clip]))
        # A restored player not touched offers no session again: play it anew before each round.
        leave_playing(launcher, played_home)
        figures["restore"].append(until_line([launcher, "--home", played_home], "first frame"))
    median = {name: statistics.median(times) for name, times in figures.items()}
    print(f"reelhaven --open 1080p clip to its first rendered frame: {median['open']:.0f} ms (median of {rounds})")
    print(f"mpv --no-config --vo=null --ao=null --frames=1, same clip: {median['mpv']:.0f} ms (median of {rounds})")
    print(f"  ratio: {median['open'] / median['mpv']:.2f}x (aim: within 1.5x)")
    print(f"player restored across a restart to its first frame:     {median['restore']:.0f} ms (median of {rounds})")


main()
