#!/usr/bin/env python3
"""Wall time from a process's start to a line it prints, median of ROUNDS runs, side by side.

  first_frame.py ROUNDS LAUNCHER HOME CLIP PLAYED_HOME

Three figures, interleaved round by round so load swings touch each alike:
  open     `reelhaven --home HOME --no-restore --open CLIP` to its "first frame" line
  mpv      `mpv --no-config --vo=null --ao=null --frames=1 CLIP`, start to exit
  restore  `reelhaven --home PLAYED_HOME` whose kept session has the player up, to "first frame"
The launcher is told to quit once the line is seen; that part is not counted.
"""
import statistics
import subprocess
import sys
import time

PATIENCE = 60.0


def until_line(arguments, marker):
    start = time.monotonic()
    process = subprocess.Popen(arguments, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True, bufsize=1)
    elapsed = None
    for line in process.stdout:
        if line.startswith(marker):
            elapsed = (time.monotonic() - start) * 1000
            break
        if time.monotonic() - start > PATIENCE:
            break
    try:
        process.stdin.write("quit\n")
        process.stdin.flush()
    except BrokenPipeError:
        pass
    process.stdin.close()
    for _ in process.stdout:
        pass
    process.wait(timeout=PATIENCE)
    if elapsed is None:
        sys.exit(f"no '{marker}' line from: {' '.join(arguments)}")
    return elapsed


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
        figures["restore"].append(until_line([launcher, "--home", played_home], "first frame"))
    median = {name: statistics.median(times) for name, times in figures.items()}
    print(f"reelhaven --open 1080p clip to its first rendered frame: {median['open']:.0f} ms (median of {rounds})")
    print(f"mpv --no-config --vo=null --ao=null --frames=1, same clip: {median['mpv']:.0f} ms (median of {rounds})")
    print(f"  ratio: {median['open'] / median['mpv']:.2f}x (aim: within 1.5x)")
    print(f"player restored across a restart to its first frame:     {median['restore']:.0f} ms (median of {rounds})")


main()
