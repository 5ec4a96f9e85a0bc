#!/usr/bin/env python3
"""How much the full-screen saver costs: CPU share of one core and peak memory of "Marigold.scr /s"
over 10 seconds at 1920 x 1080 under Xvfb, in a private copy of the test prefix.

    bench/saver_bench.py [--build build/x86_64] [--seconds 10] [--size 1920x1080]

Needs a built tree whose Wine prefix exists (run the tests once). Prints a small table; goal:
under 5 % of one core and under 16 MB peak working set for the saver's process."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.dirname(HERE)
ASSETS = ["ghost.bmp", "skeleton.bmp", "pumpkin1.bmp", "pumpkin2.bmp", "pumpkin3.bmp", "boom1.wav"]
WINE_USER = "marigold-wine"
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


def find_pid(pattern, exclude=("wine-run", "runuser", "bash")):
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        if pattern in cmd and not any(word in cmd.split()[0] for word in exclude):
            return int(entry)
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(TOP, "build", "x86_64"))
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--size", default="1920x1080")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    arch = "x86_64" if build.rstrip("/").endswith("x86_64") else "i686"
    run = os.path.join(TOP, "scripts", "wine-run.sh")
    saver = os.path.join(build, "saver", "Marigold.scr")

    root = tempfile.mkdtemp(prefix="saver-bench-", dir=build)
    xvfb = None
    process = None
    try:
        subprocess.run(["cp", "-a", os.path.join(build, "wine", "prefix"), os.path.join(root, "prefix")], check=True)
        assets = os.path.join(root, "prefix", "drive_c", "windows", "marigoldfiles")
        os.makedirs(assets, exist_ok=True)
        for name in ASSETS:
            shutil.copy(os.path.join(TOP, "resources", "assets", name), assets)
        for sub in ("home", "tmp"):
            os.makedirs(os.path.join(root, sub), exist_ok=True)
        if os.geteuid() == 0:
            subprocess.run(["chown", "-R", WINE_USER, assets, os.path.join(root, "home"), os.path.join(root, "tmp"), root], check=True)

        display = next(f":{n}" for n in range(120, 300) if not os.path.exists(f"/tmp/.X{n}-lock"))
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", f"{args.size}x24", "-ac", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1)
        env = dict(os.environ, DISPLAY=display)
        process = subprocess.Popen([run, "--root", root, "--arch", arch, "--", saver, "/s"], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        pid = None
        for _ in range(100):
            pid = find_pid("Marigold.scr")
            if pid:
                break
            time.sleep(0.1)
        if not pid:
            print("the saver did not start", file=sys.stderr)
            return 1
        time.sleep(3)  # past start-up: pictures loaded, background painted
        start_saver, start_x, start_clock = cpu_seconds(pid), cpu_seconds(xvfb.pid), time.time()
        time.sleep(args.seconds)
        end_saver, end_x, elapsed = cpu_seconds(pid), cpu_seconds(xvfb.pid), time.time() - start_clock
        peak_kb = status_kb(pid, "VmHWM")
        rss_kb = status_kb(pid, "VmRSS")
        private_kb = status_kb(pid, "RssAnon")
        saver_share = 100 * (end_saver - start_saver) / elapsed
        x_share = 100 * (end_x - start_x) / elapsed

        print(f"Marigold.scr /s at {args.size}, {elapsed:.1f} s measured ({arch})")
        print(f"{'what':34} {'value':>10}  goal")
        print(f"{'saver CPU, % of one core':34} {saver_share:>10.2f}  < 5")
        print(f"{'X server CPU, % of one core':34} {x_share:>10.2f}  (drawing the copied areas)")
        print(f"{'saver peak resident set, MB':34} {peak_kb / 1024:>10.1f}  < 16 (includes Wine's own DLLs)")
        print(f"{'saver resident set now, MB':34} {rss_kb / 1024:>10.1f}")
        print(f"{'of it private (not mapped files)':34} {private_kb / 1024:>10.1f}")
        return 0
    finally:
        if process:
            process.kill()
        subprocess.run([run, "--root", root, "--arch", arch, "--stop"])
        if process:
            process.wait()
        if xvfb:
            xvfb.kill()
            xvfb.wait()
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
