#!/usr/bin/env python3
"""Wall time from "quit" typed right after the "first frame" line of `reelhaven --open CLIP` to
the process's exit, median of ROUNDS runs for each launcher given, interleaved round by round so
load swings touch each alike.

  quit_after_open.py ROUNDS HOME CLIP LAUNCHER [LAUNCHER...]

The time includes what the app still does at that moment (its start settling the player's
presentation) and its whole shutdown: the scene going to the background (the player's background
procedure), the player closing, mpv's teardown and the process's exit.
"""
import statistics
import subprocess
import sys
import time

PATIENCE = 60.0


def quit_time(launcher, home, clip):
    process = subprocess.Popen([launcher, "--home", home, "--no-restore", "--open", clip],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                               text=True, bufsize=1)
    asked = None
    for line in process.stdout:
        if line.startswith("first frame"):
            asked = time.monotonic()
            process.stdin.write("quit\n")
            process.stdin.flush()
            break
    process.stdout.read()
    process.wait(timeout=PATIENCE)
    if asked is None:
        sys.exit(f"no 'first frame' line from {launcher}")
    return (time.monotonic() - asked) * 1000


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    rounds, home, clip, launchers = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4:]
    figures = {launcher: [] for launcher in launchers}
    for _ in range(rounds):
        for launcher in launchers:
            figures[launcher].append(quit_time(launcher, home, clip))
    for launcher in launchers:
        print(f"{launcher}: quit after first frame {statistics.median(figures[launcher]):.0f} ms "
              f"(median of {rounds})")


if __name__ == "__main__":
    main()
