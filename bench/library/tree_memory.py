#!/usr/bin/env python3
"""Runs a command and measures the memory of its whole process tree until it exits.

Prints one line: "TREE_PSS_MIB LARGEST_MIB SECONDS STATUS APP_MIB": the peak of the proportional set
sizes of the command and every process it starts, summed (read from /proc/PID/smaps_rollup every
INTERVAL seconds, so shared libraries count once), the peak resident memory of the largest single
process (the kernel's own high-water marks: the command's and what it waited for from wait4, the
others' as last sampled), the wall time, the exit status (or "killed" past TIMEOUT seconds), and the command's own peak
resident memory. Standard input is FILE with --stdin, else empty.
Usage: tree_memory.py [--interval S] [--timeout S] [--stdin FILE] -- COMMAND...
"""
import argparse
import os
import signal
import subprocess
import sys
import time


def children(pid):
    found = []
    try:
        for task in os.listdir(f"/proc/{pid}/task"):
            with open(f"/proc/{pid}/task/{task}/children") as listing:
                found += [int(child) for child in listing.read().split()]
    except OSError:
        pass
    return found


def tree(root):
    pids, queue = [], [root]
    while queue:
        pid = queue.pop()
        pids.append(pid)
        queue += children(pid)
    return pids


def field_kib(path, name):
    try:
        with open(path) as status:
            for line in status:
                if line.startswith(name + ":"):
                    return int(line.split()[1])
    except (OSError, ValueError):
        pass
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--interval", type=float, default=0.01)
    parser.add_argument("--timeout", type=float, default=300)
    parser.add_argument("--stdin", default=os.devnull)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    options = parser.parse_args()
    command = options.command[1:] if options.command[:1] == ["--"] else options.command
    start = time.monotonic()
    with open(options.stdin, "rb") as given:
        process = subprocess.Popen(command, stdin=given, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, start_new_session=True)
    peak_sum = 0
    largest = {}
    status = None
    while status is None:
        total = 0
        for pid in tree(process.pid):
            total += field_kib(f"/proc/{pid}/smaps_rollup", "Pss")
            largest[pid] = max(largest.get(pid, 0), field_kib(f"/proc/{pid}/status", "VmHWM"))
        peak_sum = max(peak_sum, total)
        if time.monotonic() - start > options.timeout:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            status = "killed"
            break
        time.sleep(options.interval)
        waited, code, usage = os.wait4(process.pid, os.WNOHANG)
        if waited:
            largest[process.pid] = max(largest.get(process.pid, 0), usage.ru_maxrss)
            status = os.waitstatus_to_exitcode(code)
    seconds = time.monotonic() - start
    print(f"{peak_sum // 1024} {max(largest.values(), default=0) // 1024} {seconds:.1f} {status} "
          f"{largest.get(process.pid, 0) // 1024}")


if __name__ == "__main__":
    sys.exit(main())
