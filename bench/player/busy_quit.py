#!/usr/bin/env python3
"""The host while mpv's core is busy: a clip whose subtitle file beside it (9 MB of short cues,
the last first) takes mpv's core seconds to take in. Per round and launcher: the clip tapped,
and once the core has spent a second of processor time on the cues, `show` and `quit` typed at
once: the time to the show's screen and to the process's exit, and whether the core was still
busy after the show (its thread's processor time still growing). Launchers (builds) are
interleaved round by round.

Usage: bench/player/busy_quit.py ROUNDS CLIP LAUNCHER...
"""
import glob
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

CUES = 240000
TICK = os.sysconf("SC_CLK_TCK")


def cues_last_first(count):
    lines = []
    for n in range(count):
        at = (count - 1 - n) * 10
        stamp = f"0:{at // 60000}:{at // 1000 % 60}"
        lines.append(f"{n + 1}\n{stamp},{at % 1000} --> {stamp},{at % 1000 + 9}\nx\n\n")
    return "".join(lines)


def core_seconds(pid):
    most = 0.0
    for task in glob.glob(f"/proc/{pid}/task/*"):
        try:
            if open(f"{task}/comm").read().strip() != "mpv/mpv core":
                continue
            fields = open(f"{task}/stat").read()
            fields = fields[fields.rfind(")") + 2:].split()
            most = max(most, (int(fields[11]) + int(fields[12])) / TICK)
        except OSError:
            pass
    return most


class Host:
    def __init__(self, launcher, home):
        self.process = subprocess.Popen([launcher, "--home", home, "--audio-output", "null", "--no-restore"],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.buffer = b""

    def wait_for(self, text, limit=120):
        deadline = time.monotonic() + limit
        while text not in self.buffer:
            ready, _, _ = select.select([self.process.stdout], [], [], max(0, deadline - time.monotonic()))
            if not ready:
                raise RuntimeError(f"no {text!r}")
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                raise RuntimeError(f"output ended before {text!r}")
            self.buffer += chunk
        self.buffer = self.buffer[self.buffer.index(text) + len(text):]

    def send(self, command):
        self.process.stdin.write(command.encode() + b"\n")
        self.process.stdin.flush()


def round_of(launcher, home):
    host = Host(launcher, home)
    host.wait_for(b"Window ")
    host.send('tap "Clip"')
    while core_seconds(host.process.pid) < 1.0:
        time.sleep(0.005)
    # Typed as the core works: `show`, and `quit` right after it.
    asked = time.monotonic()
    host.send("show")
    host.send("quit")
    before = core_seconds(host.process.pid)
    host.wait_for(b"\nWindow ")  # the tap's screen (printed already where the tap did not wait)
    host.wait_for(b"\nWindow ")  # the show's
    show = time.monotonic() - asked
    # Busy when the quit was read: the core still took processor time after the show's screen.
    time.sleep(0.05)
    busy = core_seconds(host.process.pid) > before
    host.process.stdin.close()
    host.process.stdout.read()
    host.process.wait()
    return show, time.monotonic() - asked, busy


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    rounds, clip, launchers = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    work = tempfile.mkdtemp(prefix="busy-quit-")
    try:
        documents = os.path.join(work, "Documents")
        os.makedirs(documents)
        shutil.copy(clip, os.path.join(documents, "Clip.mp4"))
        with open(os.path.join(documents, "Clip.srt"), "w") as srt:
            srt.write(cues_last_first(CUES))
        print(f"load average {os.getloadavg()[0]:.1f}")
        for n in range(rounds):
            for launcher in launchers:
                shutil.rmtree(os.path.join(work, "Library"), ignore_errors=True)
                show, end, busy = round_of(launcher, work)
                print(f"round {n + 1}\t{launcher}\tshow {show:.2f} s\tshow+quit to exit {end:.2f} s"
                      f"\tcore still busy after the show: {'yes' if busy else 'no'}", flush=True)
        print(f"load average {os.getloadavg()[0]:.1f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
