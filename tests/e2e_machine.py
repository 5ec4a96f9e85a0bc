"""The machine every end-to-end scenario runs on: a fresh copy of a template Wine prefix with recording
stand-ins for the browser and the control panel, a virtual display whose message boxes are answered with
real keys, and checks read with independent tools (lnkinfo, the registry, the recorders, Wine's traces)."""
import argparse
import os
import pathlib
import re
import shutil
import subprocess
import time

from checks import check, failures
from product import ASK_INSTALL as ASK, ASSETS, CONTROL_PARAMETERS, INSTALLED as SUCCESS, SETUP_TITLE as TITLE
from product import PUBLISHER_KEY, SHORTCUTS, UNINSTALL_KEY, UNINSTALLER
from wine_session import SLOW, Sandbox, VirtualDisplay

MAX_TRACE_BYTES = 256 * 2**20


def message_box_texts(trace):
    """The texts of Wine's message-box trace, in order. With the loader's trace on as well, a loader
    line can land inside a box's line and push its text onto a line of its own."""
    texts, pending = [], False
    for line in trace.splitlines():
        if "trace:msgbox:MSGBOX_OnInit" in line:
            match = re.search(r'MSGBOX_OnInit L"(.*?)"\s*$', line)
            if match:
                texts.append(match.group(1))
            pending = match is None
        elif pending and line.startswith('L"'):
            texts.append(re.match(r'L"(.*?)"\s*$', line).group(1))
            pending = False
    return texts


class Machine:
    """One scenario's Windows: a fresh copy of the template prefix with recording stand-ins, and the
    display its programs show their boxes on."""
    made = []  # finished once the scenario has run

    def __init__(self, args, display):
        Machine.made.append(self)
        self.args, self.display, name = args, display, args.scenario
        self.arch = prefix_arch(args)
        template = Sandbox(template_root(args), self.arch)
        label = "-".join(part for part in (args.label, args.windows) if part)
        self.dir = pathlib.Path(args.work) / (f"{label}-{name}" if label else name)
        self.dir.mkdir(parents=True, exist_ok=True)
        self.sandbox = template.copy_to(self.dir / "root")
        self.windows = self.sandbox.unix_path("C:\\windows")
        self.user = self.sandbox.user_dir()
        # The browser: Wine's launcher hands URLs to xdg-open, found first on PATH.
        self.bin = self.dir / "bin"
        self.bin.mkdir(exist_ok=True)
        self.browser_record = self.dir / "record" / "browser.txt"
        self.browser_record.parent.mkdir(exist_ok=True)
        self.browser_record.unlink(missing_ok=True)  # from an earlier run of this scenario
        xdg = self.bin / "xdg-open"
        xdg.write_text(f'#!/bin/sh\necho "$*" >> "{self.browser_record}"\n')
        xdg.chmod(0o755)
        # The control panel: a recorder in place of the system directory's control.exe. A 32-bit program
        # on 64-bit Windows that starts system32\control.exe is given syswow64's.
        for folder in ("system32", "syswow64"):
            if (self.windows / folder).is_dir():
                control = self.windows / folder / "control.exe"
                control.write_bytes(pathlib.Path(args.recorder).read_bytes())
                pathlib.Path(str(control) + ".launches.txt").unlink(missing_ok=True)
                self.sandbox.give_to_wine_user(control)
        self.sandbox.give_to_wine_user(self.dir)
        self.system_ini_before = (self.windows / "system.ini").read_bytes()
        self.windows_before = {p.name.lower() for p in self.windows.iterdir()}

    def run_setup(self, answers, log_name="setup", setup=None, **options):
        """Runs the setup and answers its boxes in order; returns (exit code, box texts, process log)."""
        return self.run_program([setup or self.args.setup], answers, TITLE, log_name, **options)

    def install(self, expect=SUCCESS, log_name="setup", **options):
        """Runs the setup and says yes: it ends with 0 after its question and the result box `expect`;
        returns the process log."""
        code, boxes, trace = self.run_setup(["y", "Return"], log_name=log_name, **options)
        check(code == 0 and boxes == [ASK, expect], f"{log_name}: the question, then {expect!r}: {boxes}, exit code {code}")
        return trace

    def run_program(self, command, answers, title, log_name, cwd=None, native=(), winedebug="", file_limit_kb=None,
                    box_calls=False):
        """Runs a Windows program and answers the boxes titled `title` in order, as Wine's message-box trace
        shows them; returns (exit code, box texts, process log). With `box_calls` the log also holds each
        MessageBoxA call as the program made it (Wine's relay trace of that one function)."""
        log, display = self.dir / f"{log_name}.stderr.txt", self.display
        with open(log, "w") as err:
            proc = self.sandbox.start(*command, env=display.env(), winedebug="+msgbox,+process" + (",+relay" if box_calls else "") + winedebug,
                                      path_prefix=self.bin, stderr=err, native=["control.exe", *native], cwd=cwd,
                                      file_limit_kb=file_limit_kb)
            display.answer_boxes(proc, log, title, answers, lambda index: self.dir / f"{log_name}-box{index + 1}.png")
            # A program that never ends, or a trace that runs away (a fault repeated without end), is
            # stopped rather than waited for.
            deadline = time.time() + 120 * SLOW
            while proc.poll() is None and time.time() < deadline and log.stat().st_size < MAX_TRACE_BYTES:
                time.sleep(0.5)
            if proc.poll() is None:
                proc.kill()
            code = proc.wait()
            check(log.stat().st_size < MAX_TRACE_BYTES, f"{log_name}: the trace stayed of a sensible size")
        trace = log.read_text(errors="replace")
        return code, message_box_texts(trace), trace

    def control_records(self):
        """The control-panel recorders' records, from whichever system folder was started."""
        return [record for record in (self.windows / folder / "control.exe.launches.txt" for folder in ("system32", "syswow64"))
                if record.exists()]

    def control_launches(self):
        """What the control-panel recorders saw."""
        return [line for record in self.control_records() for line in record.read_text().splitlines()]

    def wait_for_launches(self, seconds=20):
        deadline = time.time() + seconds * SLOW
        while time.time() < deadline:
            if self.browser_record.exists() and self.control_launches():
                break
            time.sleep(0.3)
        time.sleep(0.5)

    def boot_value(self):
        text = (self.windows / "system.ini").read_text(errors="replace")
        section = re.search(r"^\[boot\]\s*$(.*?)(?=^\[|\Z)", text, re.M | re.S | re.I)
        if not section:
            return None
        match = re.search(r"^SCRNSAVE\.EXE=(.*?)\r?$", section.group(1), re.M | re.I)
        return match.group(1) if match else None

    def new_in_windows(self):
        """What the setup added to the Windows directory (names in lower case)."""
        return sorted({p.name.lower() for p in self.windows.iterdir()} - self.windows_before)

    def temp_leftovers(self):
        """Anything the installation left beside what it installs, or in the user's temporary folder."""
        temp = self.user / "Temp"
        assets = self.windows / "marigoldfiles"
        stray = [name for name in self.new_in_windows() if name not in ("marigold.scr", "marigoldfiles")]
        stray += [p.name for p in assets.iterdir() if p.name not in ASSETS + [UNINSTALLER]] if assets.is_dir() else []
        stray += [p.name for p in temp.glob("scs*")] if temp.exists() else []
        return sorted(stray)

    def pending_deletions(self):
        """Files the system deletes at its next restart, from the machine's registry."""
        value = self.sandbox.reg_value("HKLM\\System\\CurrentControlSet\\Control\\Session Manager",
                                       "PendingFileRenameOperations")
        entries = value.split("\\0") if value else []
        return [name[4:].lower() for name in entries if name.startswith("\\??\\")]

    def restart(self):
        """Windows restarts: what was scheduled for the next start is carried out."""
        self.sandbox.run("wineboot", "-r", timeout=120 * SLOW)
        self.sandbox.stop()

    def entry_key(self):
        """The product's entry among the installed programs; a 32-bit program's entry on 64-bit Windows
        is in the 32-bit view, where Windows looks for it."""
        return "HKLM\\" + (UNINSTALL_KEY.replace("Software\\", "Software\\WOW6432Node\\", 1) if self.args.windows == "64"
                            else UNINSTALL_KEY)

    def shortcut_paths(self):
        return {name: self.user / relative for name, relative in SHORTCUTS.items()}

    def finish(self):
        """Stops this machine's Wine. A machine whose scenario passed is deleted (each is a whole
        prefix); a failed one stays for a look at what happened."""
        self.sandbox.stop()
        if not failures:
            shutil.rmtree(self.sandbox.root, ignore_errors=True)


def expect_boxes(trace, expected, title=TITLE):
    """The boxes as the program asked for them (every MessageBoxA call of the relay trace): no owner
    window, its title as caption, and for each text the style given (a question, an information)."""
    calls = [(owner, text, caption, int(style, 16)) for owner, text, caption, style in
             re.findall(r':Call user32\.MessageBoxA\((\w+),\w+ "(.*?)",\w+ "(.*?)",(\w+)\) ret=', trace)]
    wanted = [("00000000", text, title, style) for text, style in expected]
    check(calls == wanted, f"message boxes {calls}, expected {wanted}")


# The calls by which the setup and the uninstaller reach the user's places.
PER_USER_CALLS = ("CreateFileA", "RegCreateKeyExA", "RegOpenKeyExA", "RegDeleteKeyA")


def expect_user_rights(trace, names):
    """From the relay trace: every file or folder opened by name in the user's profile, and every key of the
    publisher's below HKEY_CURRENT_USER, was opened while its thread acted with a token of its own (between
    the SetThreadToken that sets one and the one that ends it), those ending in `names` among them. A
    shortcut, opened by its name alone inside its folder's handle in the same stretch, is stood for by its folder."""
    acting, reached, outside = {}, [], []
    for line in trace.splitlines():
        token = re.match(r"(\w+):Call \w+\.SetThreadToken\(\w+,(\w+)\)", line)
        if token:
            acting[token.group(1)] = int(token.group(2), 16) != 0
            continue
        call = re.match(r'(\w+):Call \w+\.(\w+)\((?:(\w+),)?\w+ "(.*?)"', line)
        if not call or call.group(2) not in PER_USER_CALLS:
            continue
        thread, function, root, name = call.group(1), call.group(2), call.group(3), call.group(4).replace("\\\\", "\\")
        in_profile = function == "CreateFileA" and "\\users\\" in name.lower()
        # HKEY_CURRENT_USER, sign-extended in a 64-bit program's trace.
        current_user = root is not None and int(root, 16) & 0xFFFFFFFF == 0x80000001
        publishers = current_user and name.lower().startswith(PUBLISHER_KEY.split("\\", 1)[1].lower())
        if in_profile or publishers:
            (reached if acting.get(thread) else outside).append(name)
    check(reached and not outside, f"the user's places are used with the user's own rights only: {len(reached)} "
                                   f"uses, outside them {outside}")
    missing = [name for name in names if not any(used.lower().endswith(name.lower()) for used in reached)]
    check(not missing, f"among them: {names}; missing {missing}")


def expect_nothing_installed(m, folder_at_restart=False):
    """No screen saver file, asset folder or shortcut; or, when another program has the asset folder
    as its current folder, that folder emptied and listed for the next restart."""
    check(not (m.windows / "Marigold.scr").exists(), "no screen saver file")
    folder = m.windows / "marigoldfiles"
    if folder_at_restart:
        check(folder.is_dir() and not any(folder.iterdir()), "the asset folder is emptied")
        check("c:\\windows\\marigoldfiles" in m.pending_deletions(), "and goes at the next restart")
    else:
        check(not folder.exists(), "no asset folder")
    for name, path in m.shortcut_paths().items():
        check(not path.exists(), f"no {name} shortcut")


def launch_threads(trace):
    """From Wine's +process trace (each line begins with its thread's id): the setup's own thread (the one
    that shows its boxes), the desktop's (the main thread of the explorer.exe /desktop this run started
    for the setup's first window), and whether the desktop came up without its shell: under load a Wine
    service can crash while Wine starts, and explorer, which then cannot reach COM, says so on its own
    thread before the setup's first box (later errors there may be the setup's doing)."""
    setup = re.search(r"^(\w+):trace:msgbox:MSGBOX_OnInit", trace, re.M)
    desktop = re.search(r'^\w+:trace:process:NtCreateUserProcess L"[^"]*\\explorer\.exe" pid \w+ tid (\w+)', trace, re.M)
    desktop = desktop.group(1) if desktop else None
    before_boxes = trace[:setup.start()] if setup else trace
    return (setup.group(1) if setup else None), desktop, bool(desktop and re.search(rf"^{desktop}:err:ole:", before_boxes, re.M))


def expect_launches(m, trace):
    """The publisher's site, then the control panel, each once and exactly as asked, after the result
    box, started by the desktop's shell (with the user's own rights)."""
    m.wait_for_launches()
    # The setup asks the shell once; Wine's launcher may then try its browser command more than once.
    launchers = re.findall(r'CreateProcessInternalW app \(null\) cmdline L".*winebrowser\.exe\\?" \\?"(.*?)\\?""', trace)
    check(launchers == [m.args.url], f"one browser launch for the publisher's site: {launchers}")
    browser = m.browser_record.read_text().split() if m.browser_record.exists() else []
    check(browser and all(url.rstrip("/") == m.args.url.rstrip("/") for url in browser),
          f"the browser was asked for the publisher's site: {browser}")
    control = m.control_launches()
    check(len(control) == 2, f"control panel started once, got {control}")
    if len(control) == 2:
        # 64-bit Windows gives a 32-bit program that starts system32's control.exe the one in syswow64.
        system = ("system32", "syswow64") if m.args.windows == "64" else ("system32",)
        check(control[0].lower() in [f"c:\\windows\\{folder}\\control.exe" for folder in system],
              f"control.exe from the system directory: {control[0]}")
        check(control[1] == CONTROL_PARAMETERS, f"control panel parameters exactly {CONTROL_PARAMETERS!r}: {control[1]!r}")
    # The browser is asked first, then the control panel, both after the result box was shown.
    lines = trace.splitlines()
    result_box = max((i for i, line in enumerate(lines) if "MSGBOX_OnInit" in line), default=len(lines))
    starts = [(i, line.split(":")[0], "control" if "control.exe" in line.lower() else "browser") for i, line in enumerate(lines)
              if "CreateProcessInternal" in line and "app" in line and ("control.exe" in line.lower() or "winebrowser" in line.lower())]
    check([kind for _, _, kind in starts][:2] == ["browser", "control"], f"browser before control panel: {starts}")
    # Its screenshot is taken just before it is answered.
    shot = max(m.dir.glob("*box2.png"), key=lambda p: p.stat().st_mtime, default=None)
    records = [r.stat().st_mtime for r in [m.browser_record, *m.control_records()] if r.exists()]
    check(all(i > result_box for i, _, _ in starts) and shot and records and min(records) > shot.stat().st_mtime,
          "both are opened once the result box is answered")
    setup, desktop, no_shell = launch_threads(trace)
    check(desktop not in (None, setup) and [thread for _, thread, _ in starts[:2]] == [desktop, desktop],
          f"both started by the desktop (thread {desktop}; the setup is {setup}"
          f"{', which came up without its shell' if no_shell else ''}): {starts[:2]}")


def expect_installed(m):
    """The screen saver and its files, active, and the publisher's shortcuts."""
    payloads = [(m.windows / "Marigold.scr", pathlib.Path(m.args.saver))]
    payloads += [(m.windows / "marigoldfiles" / name, pathlib.Path(m.args.assets) / name) for name in ASSETS]
    for installed, source in payloads:
        check(installed.exists() and installed.read_bytes() == source.read_bytes(), f"{installed.name} equals its payload")
    value = m.boot_value()
    check(value is not None and value.lower() == "c:\\windows\\marigold.scr" and " " not in value and '"' not in value,
          f"[boot] SCRNSAVE.EXE is the short path of the installed file: {value!r}")
    check(m.sandbox.reg_value("HKCU\\Control Panel\\Desktop", "ScreenSaveActive") == "1", "screen saving active")
    expect_shortcuts(m)


def expect_shortcuts(m):
    paths = m.shortcut_paths()
    url = m.args.url
    favorite = paths["favorite"]
    expected = f"[DEFAULT]\r\nBASEURL={url}\r\n[InternetShortcut]\r\nURL={url}\r\n".encode()
    check(favorite.exists() and favorite.read_bytes() == expected, "Internet shortcut in Favorites, byte-exact")
    # Wine's link object keeps an address as a file of that name below the current folder; the target's
    # item carries the address itself (Windows keeps an Internet item instead).
    as_file = re.sub(r"\\+", r"\\", url.replace("/", "\\"))
    for name in ("desktop", "start menu", "programs"):
        path = paths[name]
        if check(path.exists(), f"{name} link {path.name}"):
            info = subprocess.run(["lnkinfo", str(path)], capture_output=True, text=True)
            local = re.search(r"Local path\s*:\s*(.*)", info.stdout)
            items = re.findall(r"^\s*Name\s*:\s*(.*)$", info.stdout, re.M)
            check(info.returncode == 0 and items[-1:] == [url] and local and local.group(1).endswith("\\" + as_file),
                  f"lnkinfo reads the {name} link, whose target is the publisher's site: {items}, {local and local.group(1)}")


def server_file_limits(prefix):
    """The "Max file size" line of every wineserver serving `prefix`."""
    limits = []
    for proc in pathlib.Path("/proc").iterdir():
        try:
            if not (proc / "exe").resolve().name.startswith("wineserver") or \
                    f"WINEPREFIX={prefix}".encode() not in (proc / "environ").read_bytes().split(b"\0"):
                continue
            limits += [line for line in (proc / "limits").read_text().splitlines() if line.startswith("Max file size")]
        except OSError:
            continue  # ended meanwhile, or not ours to read
    return limits


def prefix_arch(args):
    """The tests' own kind of Wine prefix, or a 64-bit one where 32-bit programs run as on 64-bit Windows."""
    return "x86_64" if args.windows == "64" else os.environ.get("MARIGOLD_WINE_ARCH", "i686")


def template_root(args):
    return pathlib.Path(args.work) / ("template-64" if args.windows == "64" else "template")


def scenario_template(args):
    template = Sandbox(template_root(args), prefix_arch(args))
    if not (template.root / "prefix" / ".marigold-ready").exists():
        template.init()
    # Wine's relay trace of a few calls only: every MessageBoxA, and the thread's token set and ended with
    # the files and keys opened meanwhile. And no debugger for a program that crashes: it ends, and the
    # scenario fails at once. Set on every run, so that a template made before keeps up.
    views = [["/reg:64"], ["/reg:32"]] if template.arch == "x86_64" else [[]]
    relayed = "user32.MessageBoxA;" + ";".join(("SetThreadToken",) + PER_USER_CALLS)
    for change in [["HKCU\\Software\\Wine\\Debug", "/v", "RelayInclude", "/d", relayed]] + \
            [["HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", "/v", "Debugger", "/d", "", *view]
             for view in views]:
        added = template.run("reg", "add", *change, "/f")
        if added.returncode != 0:
            raise RuntimeError(f"the template cannot be set up ({change}): {added.stderr}")
    template.stop()


class Preview:
    """The installed screen saver shown as a preview in another program's window, as the Screen Saver
    page shows it: its file is then a running program's."""

    def __init__(self, m, cwd=None):
        self.parent = m.sandbox.start(m.args.helper, "parent", "120", env=m.display.env(), stdin=subprocess.PIPE)
        hwnd = self.parent.stdout.readline().split()
        self.saver = m.sandbox.start(m.windows / "Marigold.scr", "/p", hwnd[-1] if hwnd else "0", env=m.display.env(), cwd=cwd)
        deadline = time.time() + 30
        self.shown = False
        while not self.shown and time.time() < deadline and self.parent.poll() is None:
            line = self.parent.stdout.readline()
            self.shown = line.startswith("child ") and line.split()[-1] == "1"

    def end(self):
        if self.parent.poll() is None:
            self.parent.stdin.write("quit\n")
            self.parent.stdin.flush()
        for process in (self.parent, self.saver):
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()


def machine_arguments(*required, **optional):
    """The options every end-to-end script takes, and the ones it names."""
    parser = argparse.ArgumentParser()
    for option in ("setup", "saver", "assets", "recorder", "newer", "older", "url", "work", "scenario", *required):
        parser.add_argument("--" + option, required=True)
    for option, help_text in optional.items():
        parser.add_argument("--" + option, help=help_text)
    parser.add_argument("--windows", default="", choices=["", "64"],
                        help="64: a 64-bit Windows prefix, where the 32-bit setup runs as it does on most machines")
    parser.add_argument("--label", default="", help="keeps this run's machines apart from the others'")
    return parser.parse_args()


def run_scenario(args, scenarios):
    """Makes the template prefix, or runs one scenario on a virtual display; the exit code. Scenario
    "a-b" is the function scenario_a_b of `scenarios` (a script's globals)."""
    # The stand-ins write their records by absolute path: they run in folders of their own.
    args.work = str(pathlib.Path(args.work).resolve())
    pathlib.Path(args.work).mkdir(parents=True, exist_ok=True)
    if args.scenario == "template":
        scenario_template(args)
    else:
        with VirtualDisplay() as display:
            scenarios["scenario_" + args.scenario.replace("-", "_")](args, display)
            for machine in Machine.made:
                machine.finish()
    print(f"{args.scenario}: {'FAILED' if failures else 'passed'} ({len(failures)} failed checks)")
    return 1 if failures else 0
