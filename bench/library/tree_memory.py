#!/usr/bin/env python3
"""Runs a command and prints the peak memory of it and of every process it starts, in KiB:
`app_rss app_pss tree_pss largest_pss`: the command's own peak resident set (the kernel's VmHWM,
last read before it ended), its own peak proportional set size, the peak of the
proportional set sizes of the whole process tree summed at one moment (shared libraries counted
once between them), and the peak of any one process of it. The tree is read from /proc every few
milliseconds (smaps_rollup), so a peak shorter than that can be missed.

Usage: tree_memory.py [--stdin FILE] COMMAND...
"""
import os
import subprocess
import sys
import time


def children(pid):
    found = []
    try:
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/children") as f:
                found += [int(p) for p in f.read().split()]
    except OSError:
        pass
    return found


def kilobytes(path, field):
    """The KiB of the line starting with `field` of a /proc file; 0 when the process is gone."""
    try:
        with open(path) as f:
            for line in f:
                if line.startswith(field):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def pss(pid):
    return kilobytes(f"/proc/{pid}/smaps_rollup", "Pss:")


def peak_rss(pid):
    return kilobytes(f"/proc/{pid}/status", "VmHWM:")


def main():
    args = sys.argv[1:]
    stdin = subprocess.DEVNULL
    if args[:1] == ["--stdin"]:
        stdin = open(args[1], "rb")
        args = args[2:]
    process = subprocess.Popen(args, stdin=stdin, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    app_rss = app_peak = tree_peak = largest = 0
    while process.poll() is None:
        tree, pending = [], [process.pid]
        while pending:
            pid = pending.pop()
            tree.append(pid)
            pending += children(pid)
        app_rss = max(app_rss, peak_rss(process.pid))
        sizes = [pss(pid) for pid in tree]
        app_peak = max(app_peak, sizes[0])
        tree_peak = max(tree_peak, sum(sizes))
        largest = max(largest, max(sizes))
        time.sleep(0.005)
    print(app_rss, app_peak, tree_peak, largest)


if __name__ == "__main__":
    main()
