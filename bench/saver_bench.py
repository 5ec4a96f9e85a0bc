#!/usr/bin/env python3
"""How much the full-screen saver costs: CPU share of one core, resident set and private memory of
"Marigold.scr /s" at 1920 x 1080 under Xvfb (one monitor), in a private copy of the test prefix.
Measured twice, 10 seconds each: with the booms switched off (the show itself) and as installed
(booms on, Wine's sound system in the process).

    PYTHONPATH=scripts bench/saver_bench.py [--build build/i686] [--seconds 10] [--size 1920x1080] [--saver PATH]

Needs a built tree whose Wine prefix exists (run the tests once). Prints a small table; goals: under
5 % of one core, and at most 12 MB private memory (what Windows calls private bytes; Wine reports
the process's anonymous resident memory as such), the median of samples every 0.1 s; the peak is
sampled from the start, so that loading the pictures and painting the background count too."""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
from product import ASSET_FOLDER, ASSETS, SETTINGS_KEY
from wine_session import Sandbox, VirtualDisplay

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS  # utime + stime


def status_kb(pid, key):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def find_saver(saver, prefix):
    """The Wine process of `saver` in this sandbox's prefix: other tests on the machine may run a
    saver (or name one on their command line) at the same time."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                args = f.read().split(b"\0")
            with open(f"/proc/{entry}/environ", "rb") as f:
                environment = f.read().split(b"\0")
        except OSError:
            continue
        if args[0].decode(errors="replace") == saver and f"WINEPREFIX={prefix}".encode() in environment:
            return int(entry)
    return None


def measure(saver, sandbox, display, seconds, sound):
    """Runs "/s" once and returns its numbers, or None when it did not start."""
    sandbox.run("reg", "add", SETTINGS_KEY, "/v", "Sound", "/t", "REG_DWORD", "/d", "1" if sound else "0", "/f")
    process = sandbox.start(saver, "/s", env=display.env(), stderr=subprocess.DEVNULL)
    try:
        prefix = str(sandbox.root / "prefix")
        pid = None
        for _ in range(200):
            pid = find_saver(saver, prefix)
            if pid:
                break
            time.sleep(0.05)
        if not pid:
            return None

        def private_kb():
            return status_kb(pid, "RssAnon") + status_kb(pid, "VmSwap")

        peak = 0
        settle = time.time() + 3  # past start-up: pictures loaded, background painted
        while time.time() < settle:
            peak = max(peak, private_kb())
            time.sleep(0.05)
        samples = []
        xvfb_pid = display.proc.pid
        start_saver, start_x, start_clock = cpu_seconds(pid), cpu_seconds(xvfb_pid), time.time()
        while time.time() - start_clock < seconds:
            samples.append(private_kb())
            time.sleep(0.1)
        end_saver, end_x, elapsed = cpu_seconds(pid), cpu_seconds(xvfb_pid), time.time() - start_clock
        return {"elapsed": elapsed, "cpu": 100 * (end_saver - start_saver) / elapsed,
                "x": 100 * (end_x - start_x) / elapsed, "resident": status_kb(pid, "VmHWM") / 1024,
                "private": statistics.median(samples) / 1024, "private_peak": max([peak] + samples) / 1024}
    finally:
        process.kill()
        sandbox.stop()
        process.communicate()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(TOP, "build", "i686"))
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--size", default="1920x1080")
    parser.add_argument("--saver", help="another build of the saver to measure (default: the build's)")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    arch = "x86_64" if build.rstrip("/").endswith("x86_64") else "i686"
    saver = os.path.abspath(args.saver or os.path.join(build, "saver", "Marigold.scr"))

    # A copy of the test prefix with the pictures and the sound installed; the tests may use the
    # prefix meanwhile, so its server is left running.
    sandbox = Sandbox(os.path.join(build, "wine"), arch).copy_to(tempfile.mkdtemp(prefix="saver-bench-", dir=build),
                                                                 stop_first=False)
    try:
        assets = sandbox.drive_c / "windows" / ASSET_FOLDER
        os.makedirs(assets, exist_ok=True)
        for name in ASSETS:
            shutil.copy(os.path.join(TOP, "resources", "assets", name), assets)
        sandbox.give_to_wine_user(assets)
        with VirtualDisplay(f"{args.size}x24") as display:
            quiet = measure(saver, sandbox, display, args.seconds, sound=False)
            booms = measure(saver, sandbox, display, args.seconds, sound=True)
        if not quiet or not booms:
            print("the saver did not start", file=sys.stderr)
            return 1

        print(f"{os.path.basename(saver)} /s at {args.size}, one monitor, {booms['elapsed']:.1f} s measured ({arch})")
        print(f"{'what':40} {'value':>10}  goal")
        print(f"{'saver CPU, % of one core':40} {booms['cpu']:>10.2f}  < 5")
        print(f"{'X server CPU, % of one core':40} {booms['x']:>10.2f}  (drawing the copied areas)")
        print(f"{'saver peak resident set, MB':40} {booms['resident']:>10.1f}  (Wine's DLLs and window memory)")
        for label, numbers in (("without sound", quiet), ("with the booms", booms)):
            print(f"{'private memory ' + label + ', median MB':40} {numbers['private']:>10.1f}  <= 12")
            print(f"{'private memory ' + label + ', peak MB':40} {numbers['private_peak']:>10.1f}")
        return 0
    finally:
        sandbox.stop()
        shutil.rmtree(sandbox.root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
