#!/usr/bin/env python3
"""A paused player in a window while a script waits, against the same player paused with no script.

  script_wait.py CLIP SECONDS ROUNDS LABEL=LAUNCHER...

For each launcher and round, two runs of `LAUNCHER --open CLIP --display --audio-output null` in
a container of their own, both paused by `key space` 3 s after the start:
  script  `--script` holding "wait 3", "key space", then a `wait` longer than the measured span
  typed   no script; the same two lines typed on standard input, which then stays open as a
          terminal's would (the app's own window loop serves it)
Each is read from /proc 8 s after its start and SECONDS later: CPU (user + system) as a share of
one CPU and wake-ups per second (voluntary context switches), both of the threads alive at both
readings, and the main thread's wake-ups alone. Medians of ROUNDS, each round starting with the
next runner in turn. Run inside an X display (bench/display/script_wait.sh starts Xvfb).
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

SETTLE = 8


def taskNumbers(pid):
    """Per thread: CPU seconds and voluntary context switches."""
    numbers = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/stat") as file:
                fields = file.read().rsplit(")", 1)[1].split()
            with open(f"/proc/{pid}/task/{task}/status") as file:
                voluntary = next(int(line.split()[1]) for line in file if line.startswith("voluntary_ctxt_switches"))
        except (FileNotFoundError, ProcessLookupError, StopIteration):
            continue  # ended meanwhile
        numbers[int(task)] = ((int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK"), voluntary)
    return numbers


def spent(pid, before, after):
    """CPU seconds and wake-ups of the threads alive at both readings, and the main thread's wake-ups."""
    common = before.keys() & after.keys()
    cpu = sum(after[t][0] - before[t][0] for t in common)
    wakes = sum(after[t][1] - before[t][1] for t in common)
    main = after[pid][1] - before[pid][1] if pid in common else 0
    return cpu, wakes, main


def measure(launcher, clip, seconds, scripted):
    with tempfile.TemporaryDirectory(prefix="bench-script-wait-") as home:
        arguments = [launcher, "--home", home, "--open", clip, "--display", "--audio-output", "null"]
        typed = "wait 3\nkey space\n"
        if scripted:
            script = os.path.join(home, "steps.txt")
            with open(script, "w") as file:
                file.write(typed + f"wait {SETTLE + seconds + 30}\nquit\n")
            arguments += ["--script", script]
        process = subprocess.Popen(arguments, stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, text=True)
        try:
            if not scripted:
                process.stdin.write(typed)
                process.stdin.flush()
            time.sleep(SETTLE)
            before = taskNumbers(process.pid)
            time.sleep(seconds)
            after = taskNumbers(process.pid)
        finally:
            process.terminate()
            process.wait(timeout=60)
    return [value / seconds for value in spent(process.pid, before, after)]


def main():
    clip, seconds, rounds, *launchers = sys.argv[1:]
    seconds, rounds = float(seconds), int(rounds)
    runners = [(f"{label} {kind}", path, kind == "script")
               for label, path in (entry.split("=", 1) for entry in launchers) for kind in ("script", "typed")]
    figures = {name: [] for name, _, _ in runners}
    with open("/proc/loadavg") as file:
        print(f"== paused in a window, {seconds:.0f} s, {rounds} rounds, load before {' '.join(file.read().split()[:3])}")
    for turn in range(rounds):
        shift = turn % len(runners)
        for name, path, scripted in runners[shift:] + runners[:shift]:
            figures[name].append(measure(path, clip, seconds, scripted))
    for name, runs in figures.items():
        cpu, wakes, main = (statistics.median(run[i] for run in runs) for i in range(3))
        print(f"  {name:<16} cpu {100 * cpu:5.2f}% of a cpu, wake-ups {wakes:6.1f}/s (main thread {main:6.1f}/s) "
              f"(cpu each: {' '.join(f'{100 * run[0]:.2f}%' for run in runs)})")
    with open("/proc/loadavg") as file:
        print(f"  load after {' '.join(file.read().split()[:3])}")


if __name__ == "__main__":
    main()
