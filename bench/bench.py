#!/usr/bin/env python3
"""The benchmark run started by bench/run.sh: install time, size overhead and memory of the setup
against two floors (a program that only writes the seven files and the INI entry, and the same program
making the four shortcuts first with the same shell calls) and an NSIS installer doing the same job,
plus the sizes of the screen saver and the uninstaller and the screen saver's own numbers. One Wine sandbox, medians of RUNS runs after a
warm-up. Writes bench/results/results.md and bench/results/chart.png."""
import argparse
import datetime
import os
import pathlib
import platform
import re
import shutil
import statistics
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
TOP = HERE.parent
from product import ASSETS, DEFAULT_SITE_URL as URL, SETUP_TITLE as TITLE
from product import SHORTCUTS as NAMED_SHORTCUTS
from wine_session import Sandbox, VirtualDisplay

RUNS = 5
SHORTCUTS = list(NAMED_SHORTCUTS.values())
NSIS_STUBS = pathlib.Path("/usr/share/nsis/Stubs")
NSIS_TARGET = {"x86_64": "amd64-unicode", "i686": "x86-unicode"}


def median(values):
    return statistics.median(values) if values else float("nan")


def payload_files(build):
    """The seven files the setup installs, in its order."""
    return [build / "saver" / "Marigold.scr"] + [TOP / "resources" / "assets" / name for name in ASSETS]


def carried_files(build):
    """Everything the setup carries to install: the seven files and the uninstaller."""
    return payload_files(build) + [build / "uninstall" / "uninstall.exe"]


def make_nsis(build, arch, out, with_payload=True):
    """Builds bench/marigold.nsi for `arch`; with_payload=False leaves the seven files out."""
    defines = [f"-DTARGET={NSIS_TARGET[arch]}", f"-DURL={URL}", f"-DOUTFILE={out}"]
    if with_payload:
        defines += [f"-DSAVER={build / 'saver' / 'Marigold.scr'}", f"-DASSETS={TOP / 'resources' / 'assets'}"]
    else:
        defines.append("-DNO_PAYLOAD")
    subprocess.run(["makensis", "-V1", *defines, str(HERE / "marigold.nsi")], check=True)
    return out.stat().st_size


class Machine:
    """The bench's Windows: one sandbox whose installed state is reset between runs."""

    def __init__(self, build, arch):
        self.build = build
        self.sandbox = Sandbox(build / "bench" / "wine", arch)
        self.sandbox.init()
        self.windows = self.sandbox.unix_path("C:\\windows")
        self.user = self.sandbox.user_dir()
        # The setup opens the publisher's site and the control panel at its end: stand-ins that only
        # record, so no browser or control panel window is left behind after each run.
        self.bin = build / "bench" / "bin"
        self.bin.mkdir(parents=True, exist_ok=True)
        (self.bin / "xdg-open").write_text("#!/bin/sh\nexit 0\n")
        (self.bin / "xdg-open").chmod(0o755)
        shutil.copy(build / "tests" / "setup" / "launch_recorder.exe", self.windows / "system32" / "control.exe")
        self.sandbox.give_to_wine_user(self.windows / "system32" / "control.exe")
        # One persistent server for the whole run, so that no run pays for starting it.
        self.sandbox.start_server()

    def clean(self):
        """A fresh machine: no installed files, shortcuts or INI entry."""
        (self.windows / "Marigold.scr").unlink(missing_ok=True)
        shutil.rmtree(self.windows / "marigoldfiles", ignore_errors=True)
        for shortcut in SHORTCUTS:
            (self.user / shortcut).unlink(missing_ok=True)
        ini = self.windows / "system.ini"
        text = ini.read_text(errors="replace")
        ini.write_text(re.sub(r"^SCRNSAVE\.EXE=.*\n?", "", text, flags=re.M | re.I))

    def check_installed(self, what, shortcuts=True):
        """A run only counts when it did its job: the seven files, the INI entry (and the shortcuts)."""
        installed = [self.windows / "Marigold.scr"] + [self.windows / "marigoldfiles" / name for name in ASSETS]
        for path, source in zip(installed, payload_files(self.build)):
            if not path.exists() or path.read_bytes() != source.read_bytes():
                sys.exit(f"{what}: {path.name} was not installed")
        if not re.search(r"^SCRNSAVE\.EXE=\S", (self.windows / "system.ini").read_text(errors="replace"), re.M | re.I):
            sys.exit(f"{what}: no SCRNSAVE.EXE entry in system.ini")
        for shortcut in SHORTCUTS if shortcuts else []:
            if not (self.user / shortcut).exists():
                sys.exit(f"{what}: no shortcut {shortcut}")

    def check_no_shortcuts(self, what):
        if any((self.user / shortcut).exists() for shortcut in SHORTCUTS):
            sys.exit(f"{what}: made shortcuts it should not")

    def measure(self, program, *args, display, answers=()):
        """Runs `program` under the launcher; returns {whole, peak, inside (if printed), answering}.
        Every run gets the virtual display: Wine's desktop process keeps the display it started with."""
        log = self.build / "bench" / "run.stderr.txt"
        with open(log, "w") as err:
            proc = self.sandbox.start(self.build / "bench" / "peak_memory.exe", str(program), *args,
                                      env=display.env(),
                                      winedebug="+msgbox" if answers else None, path_prefix=self.bin,
                                      stderr=err, native=["control.exe"])
            answered = display.answer_boxes(proc, log, TITLE, list(answers)) if answers else []
            if len(answered) < len(answers):
                sys.exit(f"the setup's box {len(answered) + 1} did not appear")
            answering = sum(answered)
            out, _ = proc.communicate(timeout=120)
        launcher = re.search(r"elapsed_us=(\d+) peak_bytes=(\d+) exit=(\d+)", out)
        if not launcher or launcher.group(3) != "0":
            sys.exit(f"{program.name} {' '.join(args)} failed: {out.strip()} {log.read_text(errors='replace')[-500:]}")
        result = {"whole": int(launcher.group(1)) / 1000, "peak": int(launcher.group(2)) / 2**20,
                  "answering": answering * 1000}
        inside = re.search(r"install_us=(\d+) result=1", out)
        if inside:
            result["inside"] = int(inside.group(1)) / 1000
        return result


def run_series(machine, display, nsis_exe):
    build = machine.build
    series = {
        "sequence": lambda: machine.measure(build / "bench" / "install_timer.exe", display=display),
        "shortcuts": lambda: machine.measure(build / "bench" / "install_timer.exe", "--shortcuts-only", display=display),
        "floor": lambda: machine.measure(build / "bench" / "floor_install.exe", display=display),
        "floor+shortcuts": lambda: machine.measure(build / "bench" / "floor_install.exe", "--shortcuts", display=display),
        "setup": lambda: machine.measure(build / "setup" / "MarigoldSetup.exe", display=display, answers=("y", "Return")),
        "nsis": lambda: machine.measure(nsis_exe, "/S", display=display),
        "empty": lambda: machine.measure(build / "bench" / "empty_program.exe", display=display),
    }
    results = {}
    for state in ("fresh", "rerun"):
        machine.clean()
        series["sequence"]()  # everything installed before the first re-run
        samples = {name: [] for name in series}
        for run in range(RUNS + 1):  # run 0 is the warm-up
            this_run = {}
            for name, measure in series.items():
                if state == "fresh":
                    machine.clean()
                this_run[name] = measure()
                if state == "fresh" and name not in ("shortcuts", "empty"):
                    machine.check_installed(name, shortcuts=name != "floor")
                if state == "fresh" and name == "floor":
                    machine.check_no_shortcuts(name)
                if run > 0:
                    samples[name].append(this_run[name])
            print(f"  {state} run {run}{' (warm-up)' if run == 0 else ''}: " + ", ".join(
                f"{name} {sample['whole']:.0f} ms" for name, sample in this_run.items()), flush=True)
        results[state] = samples
    return results


def sizes(arch_builds):
    """Per architecture: our setup against NSIS doing the same job, in bytes."""
    table = {}
    for arch, build in arch_builds.items():
        setup = build / "setup" / "MarigoldSetup.exe"
        if not setup.exists():
            continue
        payload = sum(p.stat().st_size for p in carried_files(build))
        stripped = build / "bench" / "MarigoldSetup.stripped.exe"
        strip = "x86_64-w64-mingw32-strip" if arch == "x86_64" else "i686-w64-mingw32-strip"
        subprocess.run([strip, "-o", str(stripped), str(setup)], check=True)
        full = make_nsis(build, arch, build / "bench" / "marigold-nsis.exe")
        empty = make_nsis(build, arch, build / "bench" / "marigold-nsis-empty.exe", with_payload=False)
        table[arch] = {"setup": setup.stat().st_size, "payload": payload, "stripped": stripped.stat().st_size,
                       "saver": (build / "saver" / "Marigold.scr").stat().st_size,
                       "uninstaller": (build / "uninstall" / "uninstall.exe").stat().st_size,
                       "nsis": full, "nsis_empty": empty, "nsis_payload": full - empty,
                       "stub": (NSIS_STUBS / f"zlib-{NSIS_TARGET[arch]}").stat().st_size}
    return table


def saver_numbers(build):
    out = subprocess.run(["/usr/bin/python3", str(HERE / "saver_bench.py"), "--build", str(build)],
                         capture_output=True, text=True)
    print(out.stdout, end="")
    numbers = {}
    for key, label in (("cpu", "saver CPU, % of one core"), ("resident", "saver peak resident set, MB"),
                       ("quiet", "private memory without sound, median MB"),
                       ("quiet_peak", "private memory without sound, peak MB"),
                       ("booms", "private memory with the booms, median MB"),
                       ("booms_peak", "private memory with the booms, peak MB")):
        found = re.search(re.escape(label) + r"\s+([\d.]+)", out.stdout)
        if not found:
            return None
        numbers[key] = float(found.group(1))
    return None if out.returncode else numbers


def machine_text(arch):
    model = next((line.split(":", 1)[1].strip() for line in open("/proc/cpuinfo") if line.startswith("model name")), "?")
    wine = subprocess.run(["/usr/lib/wine/wine64" if arch == "x86_64" else "wine", "--version"],
                          capture_output=True, text=True).stdout.strip()
    return (f"{model}, {os.cpu_count()} cores, Linux {platform.release()}, {wine}, Windows programs built for "
            f"{arch}, {datetime.date.today().isoformat()}")


def ms(value):
    return f"{value:.1f}" if value < 100 else f"{value:.0f}"


def verdict(ok):
    return "yes" if ok else "**no**"


def table_rows(results, size_table, saver):
    def med(state, name, key="whole"):
        return median([sample[key] for sample in results[state][name]])

    rows = []
    for state, label in (("fresh", "fresh machine"), ("rerun", "re-run")):
        seq, floor = med(state, "sequence", "inside"), med(state, "floor", "inside")
        with_links = med(state, "floor+shortcuts", "inside")
        rows.append((f"Install, {label}: installation sequence inside the process, ms (floor: files and INI entry only)",
                     ms(seq), ms(floor), "", f"{seq / floor:.1f} x floor", "", ""))
        rows.append((f"Install, {label}: installation sequence inside the process, ms (floor with the four shortcuts)",
                     ms(seq), ms(with_links), "", f"{seq / with_links:.2f} x floor", "<= 1.3 x floor",
                     verdict(seq <= 1.3 * with_links)))
    for state, label in (("fresh", "fresh machine"), ("rerun", "re-run")):
        seq, floor, nsis = med(state, "sequence"), med(state, "floor"), med(state, "nsis")
        rows.append((f"Install, {label}: silent, whole process, ms", ms(seq), ms(floor), ms(nsis),
                     f"{seq / floor:.2f} x floor, {seq / nsis:.2f} x NSIS", "faster than NSIS", verdict(seq < nsis)))
    for state, label in (("fresh", "fresh machine"), ("rerun", "re-run")):
        setup, floor, nsis = med(state, "setup"), med(state, "floor"), med(state, "nsis")
        answering = med(state, "setup", "answering")
        rows.append((f"Install, {label}: the setup with its two boxes answered by xdotool, whole process, ms "
                     f"(includes ~{answering:.0f} ms of answering)", ms(setup), ms(floor), ms(nsis),
                     f"{setup / nsis:.1f} x NSIS", "", ""))
    rows.append(("of which the four shortcuts alone, inside a fresh process, ms", ms(med("fresh", "shortcuts", "inside")),
                 "", "", "", "", ""))
    rows.append(("An empty program, whole process, ms", ms(med("fresh", "empty")), "", "", "", "", ""))
    for arch, size in size_table.items():
        builds = [("as built", size["setup"])] + ([("stripped", size["stripped"])] if size["stripped"] < size["setup"] else [])
        for label, total in builds:
            ours = total - size["payload"]
            goal = arch == "i686"  # what ships
            rows.append((f"Size overhead {arch}, {label}: executable - what it carries ({size['payload'] // 1024} KB), KB",
                         f"{ours / 1024:.1f}", "", f"{size['nsis_empty'] / 1024:.0f} (stub {size['stub'] / 1024:.0f})",
                         f"{ours / size['nsis_empty']:.2f} x NSIS", "<= 64" if goal else "smaller than NSIS",
                         verdict(ours <= 64 * 1024 if goal else ours < size["nsis_empty"])))
        if arch == "i686":
            rows.append(("Screen saver i686, KB", f"{size['saver'] / 1024:.1f}", "", "", "", "<= 96",
                         verdict(size["saver"] <= 96 * 1024)))
            rows.append(("Uninstaller i686, KB", f"{size['uninstaller'] / 1024:.1f}", "", "", "", "<= 48",
                         verdict(size["uninstaller"] <= 48 * 1024)))
    empty = med("fresh", "empty", "peak")
    setup, floor, nsis = (med("fresh", name, "peak") for name in ("setup", "floor", "nsis"))
    rows.append(("Peak working set through a whole run, MB", f"{setup:.1f}", f"{floor:.1f}", f"{nsis:.1f}",
                 f"empty program {empty:.1f}", "< 8", verdict(setup < 8)))
    rows.append(("Peak working set above the empty program, MB", f"{setup - empty:.1f}", f"{floor - empty:.1f}",
                 f"{nsis - empty:.1f}", "", "< 8", verdict(setup - empty < 8)))
    if saver:
        rows.append(("Screen saver /s at 1920x1080: CPU, % of one core", f"{saver['cpu']:.2f}", "", "", "", "< 5",
                     verdict(saver["cpu"] < 5)))
        for key, label in (("quiet", "without sound"), ("booms", "with the booms (Wine's sound threads included)")):
            rows.append((f"Screen saver /s at one 1920x1080 monitor: private memory {label}, MB (median of 10 s)",
                         f"{saver[key]:.1f}", "", "", f"peak {saver[key + '_peak']:.1f}", "<= 12",
                         verdict(saver[key] <= 12)))
        rows.append(("Screen saver /s: peak resident set, MB (Wine's DLLs and shared window memory included)",
                     f"{saver['resident']:.1f}", "", "", "", "", ""))
    return rows


def markdown(rows, machine, results, size_table):
    header = ("measure (medians of %d runs after a warm-up)" % RUNS, "Marigold setup", "floor", "NSIS", "ratio", "goal", "met")
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(row) + " |" for row in rows]
    samples = []
    for state in results:
        for name, runs in results[state].items():
            samples.append(f"- {state}, {name}: whole " + ", ".join(f"{r['whole']:.0f}" for r in runs) + " ms"
                           + ("; inside " + ", ".join(f"{r['inside']:.1f}" for r in runs) + " ms" if "inside" in runs[0] else "")
                           + "; peak " + ", ".join(f"{r['peak']:.1f}" for r in runs) + " MB")
    sizes_text = [f"- {arch}: setup {s['setup']} bytes ({s['stripped']} stripped), payload {s['payload']}; NSIS "
                  f"installer {s['nsis']}, of it compressed payload {s['nsis_payload']}, the same installer without "
                  f"the payload {s['nsis_empty']}, its stub {s['stub']}" for arch, s in size_table.items()]
    return "\n".join([
        "# Benchmark results", "",
        f"Machine: {machine}.", "",
        "Reproduce with `bench/run.sh`. ![chart](chart.png)", "",
        *lines, "",
        "Floors: a program that only writes the same seven files and the INI entry, and the same program "
        "making the four shortcuts first with the same shell calls as the setup. NSIS: `bench/marigold.nsi`, "
        "the same job (seven files, version-checked screen saver, four shortcuts, INI entry, screen saving "
        "switched on), run with `/S`. *Inside the process* is timed with QueryPerformanceCounter around the "
        "work; *whole process* by a Windows launcher from CreateProcess to the end (`bench/peak_memory.cpp`), "
        "which also samples the peak working set. Under Wine a working set includes Wine's own runtime, hence "
        "the empty-program baseline. The silent whole-process run of our sequence is `bench/install_timer.exe` "
        "(the setup's own InstallAll without the dialogue).", "",
        "Sizes in bytes:", *sizes_text, "",
        "Every run:", *samples, ""])


def chart(results, size_table, path):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    def med(state, name, key="whole"):
        return median([sample[key] for sample in results[state][name]])

    fig, (times, size_axis, memory) = plt.subplots(1, 3, figsize=(15, 5))
    bars = [("our sequence\n(inside)", "sequence", "inside"), ("floor\n(inside)", "floor", "inside"),
            ("floor with\nshortcuts (inside)", "floor+shortcuts", "inside"),
            ("our sequence\n(process)", "sequence", "whole"), ("floor\n(process)", "floor", "whole"),
            ("NSIS /S\n(process)", "nsis", "whole")]
    for offset, state in ((-0.2, "fresh"), (0.2, "rerun")):
        times.bar([i + offset for i in range(len(bars))], [med(state, name, key) for _, name, key in bars], 0.4,
                  label="fresh machine" if state == "fresh" else "re-run")
    times.set_xticks(range(len(bars)), [label for label, _, _ in bars], fontsize=8)
    times.set_yscale("log")
    times.set_ylabel("ms (log scale)")
    times.set_title("Install time, median")
    times.legend(loc="upper left")

    labels, values, colors = [], [], []
    for arch, size in size_table.items():
        bars = [(f"ours\n{arch}", size["setup"] - size["payload"], "tab:blue")]
        if size["stripped"] < size["setup"]:
            bars.append((f"ours {arch}\nstripped", size["stripped"] - size["payload"], "tab:cyan"))
        bars += [(f"NSIS\n{arch}", size["nsis_empty"], "tab:red"), (f"NSIS stub\n{arch}", size["stub"], "tab:pink")]
        for label, value, color in bars:
            labels.append(label)
            values.append(value / 1024)
            colors.append(color)
    size_axis.bar(range(len(values)), values, color=colors)
    size_axis.set_xticks(range(len(values)), labels, fontsize=8)
    size_axis.set_ylabel("KB")
    size_axis.set_title("Size overhead (executable - payload)")

    names = [("empty program", "empty"), ("floor", "floor"), ("setup", "setup"), ("NSIS /S", "nsis")]
    memory.bar(range(len(names)), [med("fresh", name, "peak") for _, name in names],
               color=["grey", "tab:orange", "tab:blue", "tab:red"])
    memory.axhline(8, color="black", linestyle="--", label="goal: 8 MB")
    memory.set_xticks(range(len(names)), [label for label, _ in names])
    memory.set_ylabel("MB")
    memory.set_title("Peak working set, whole run (Wine included)")
    memory.legend(loc="upper left")
    fig.tight_layout()
    fig.savefig(path, dpi=90)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--arch", required=True)
    parser.add_argument("--build", required=True, help="the build tree of the arch that runs here")
    parser.add_argument("--size-build", action="append", default=[], help="ARCH=DIR: also compare sizes there")
    args = parser.parse_args()
    build = pathlib.Path(args.build).resolve()
    arch_builds = {args.arch: build}
    for item in args.size_build:
        arch, folder = item.split("=", 1)
        arch_builds[arch] = pathlib.Path(folder).resolve()
        (arch_builds[arch] / "bench").mkdir(parents=True, exist_ok=True)

    machine_line = machine_text(args.arch)
    print(f"Machine: {machine_line}")
    size_table = sizes(arch_builds)
    nsis_exe = build / "bench" / "marigold-nsis.exe"
    machine = Machine(build, args.arch)
    try:
        with VirtualDisplay() as display:
            print(f"Install runs ({RUNS} after a warm-up each, fresh machine then re-run):")
            results = run_series(machine, display, nsis_exe)
    finally:
        machine.sandbox.stop()
    print("Screen saver:")
    saver = saver_numbers(build)

    rows = table_rows(results, size_table, saver)
    out = HERE / "results"
    out.mkdir(exist_ok=True)
    (out / "results.md").write_text(markdown(rows, machine_line, results, size_table))
    chart(results, size_table, out / "chart.png")
    print()
    for row in rows:
        print(f"{row[0][:100]:<100} {row[1]:>8} {row[2]:>8} {row[3]:>16}  {row[4]:<26} {row[5]:<18} {row[6]}")
    print(f"\nWritten: {out / 'results.md'}, {out / 'chart.png'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
