#!/usr/bin/env python3
"""The metadata pass as a user runs it, beside ffmpegthumbnailer, both timed as whole processes.

Usage: compare_pass.py ROUNDS CLIPS WORK LABEL=LAUNCHER [LABEL=LAUNCHER...]

The clips of CLIPS are copied once into WORK/home/Documents (copies, not links: each file has its
own identity). Every round runs each launcher as `LAUNCHER --home WORK/home --list` with an empty
Library/Caches (a thumbnail made and saved, and a duration read, for every clip), and
ffmpegthumbnailer making a 640-wide PNG of every clip, one process per clip and as many at a
time as the machine has cores. The order of the runners rotates round by round, so a swing of
the machine's load touches each alike. Prints every run, the medians, each launcher's ratio to
the peer and its peak resident memory, with the load average before and after.
"""
import os
import shutil
import statistics
import subprocess
import sys
import time


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def timed(command, cwd=None):
    """Wall seconds, CPU seconds and peak resident KiB of a whole process (its children included)."""
    start = time.monotonic()
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    seconds = time.monotonic() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"compare_pass.py: {command[0]} failed")
    return seconds, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__)
    rounds, clips, work = int(sys.argv[1]), os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    launchers = [(label, os.path.abspath(path)) for label, path in (a.split("=", 1) for a in sys.argv[4:])]
    home = os.path.join(work, "home")
    documents = os.path.join(home, "Documents")
    caches = os.path.join(home, "Library", "Caches")
    peer_out = os.path.join(work, "peer-out")
    os.makedirs(documents, exist_ok=True)
    names = sorted(n for n in os.listdir(clips) if not n.startswith(".") and ".tmp." not in n)
    for name in names:
        if not os.path.exists(os.path.join(documents, name)):
            shutil.copyfile(os.path.join(clips, name), os.path.join(documents, name))
    workers = os.cpu_count() or 1
    peer = ["sh", "-c",
            f"ls | xargs -d '\\n' -P {workers} -I{{}} ffmpegthumbnailer -s 640 -i {{}} -o '{peer_out}/{{}}.png'"]

    runners = [(label, [path, "--home", home, "--list"]) for label, path in launchers]
    runners.append(("ffmpegthumbnailer", peer))
    times = {label: [] for label, _ in runners}
    cpu = {label: [] for label, _ in runners}
    peaks = {label: [] for label, _ in runners}
    print(f"{len(names)} clips from {clips}, {rounds} rounds, {workers} CPUs; load before: {load()}")
    # One untimed run of each first: the clips come into the page cache for every runner alike.
    for label, command in runners:
        shutil.rmtree(caches, ignore_errors=True)
        shutil.rmtree(peer_out, ignore_errors=True)
        os.makedirs(peer_out)
        timed(command, cwd=documents)
    for round_number in range(rounds):
        shift = round_number % len(runners)
        line = []
        for label, command in runners[shift:] + runners[:shift]:
            shutil.rmtree(caches, ignore_errors=True)
            shutil.rmtree(peer_out, ignore_errors=True)
            os.makedirs(peer_out)
            seconds, cpu_seconds, peak = timed(command, cwd=documents)
            times[label].append(seconds)
            cpu[label].append(cpu_seconds)
            peaks[label].append(peak)
            line.append(f"{label} {seconds:.2f} s ({cpu_seconds:.2f} s CPU)")
        print(f"round {round_number + 1} (load {load()}): " + ", ".join(line))
    peer_median = statistics.median(times["ffmpegthumbnailer"])
    peer_cpu = statistics.median(cpu["ffmpegthumbnailer"])
    for label, _ in runners:
        median = statistics.median(times[label])
        cpu_median = statistics.median(cpu[label])
        ratio = (f"{median / peer_median:.2f}x ffmpegthumbnailer's time, {cpu_median / peer_cpu:.2f}x its CPU"
                 if label != "ffmpegthumbnailer" else "peer")
        print(f"{label:20} median {median:.2f} s ({min(times[label]):.2f}-{max(times[label]):.2f}), "
              f"CPU {cpu_median:.2f} s, {ratio}, peak {statistics.median(peaks[label]) / 1024:.0f} MiB")
    print(f"load after: {load()}")


if __name__ == "__main__":
    main()
