#!/usr/bin/env python3
"""Runs the built setup in a sandboxed Wine prefix inside the build folder.

With a display (DISPLAY set and --headless not given) the user answers the boxes. Without one, the
setup runs on a virtual display, Yes is answered automatically, the question and result boxes are saved
as screenshots, and what was installed and where is listed."""
import argparse
import os
import re
import subprocess
import sys
import time

from product import PRODUCT, SETUP_TITLE as TITLE, UNINSTALL_KEY, WINE_USER
from wine_session import Sandbox, VirtualDisplay


def list_installed(sandbox, trace):
    windows = sandbox.unix_path("C:\\windows")
    user = sandbox.user_dir()
    print("\nInstalled (Windows path -> file in the sandbox):")
    saver = windows / "Marigold.scr"
    rows = [("C:\\windows\\Marigold.scr", saver)]
    assets = windows / "marigoldfiles"
    if assets.is_dir():
        rows += [(f"C:\\windows\\marigoldfiles\\{p.name}", p) for p in sorted(assets.iterdir())]
    start_menu = user / "AppData/Roaming/Microsoft/Windows/Start Menu"
    shortcuts = list((user / "Favorites").glob("*.url")) + list((user / "Desktop").glob("*.lnk")) + \
        list(start_menu.glob("*.lnk")) + list((start_menu / "Programs").glob("*.lnk"))
    rows += [(str(p.relative_to(sandbox.drive_c)).replace("/", "\\"), p) for p in shortcuts]
    for windows_path, path in rows:
        if path.exists():
            print(f"  {windows_path:<75} {path.stat().st_size:>8} bytes")
        else:
            print(f"  {windows_path:<75} (missing)")
    ini = windows / "system.ini"
    boot = re.search(r"^SCRNSAVE\.EXE=.*$", ini.read_text(errors="replace"), re.M | re.I) if ini.exists() else None
    print(f"  system.ini [boot]: {boot.group(0).strip() if boot else '(no SCRNSAVE.EXE entry)'}")
    # On 64-bit Windows a 32-bit program's entry is in the 32-bit view.
    keys = ["HKLM\\" + UNINSTALL_KEY, "HKLM\\" + UNINSTALL_KEY.replace("Software", "Software\\WOW6432Node", 1)]
    uninstall = next(filter(None, (sandbox.reg_value(key, "UninstallString") for key in keys)), None)
    print(f"  among the installed programs: {PRODUCT + ', removed by ' + uninstall if uninstall else '(not listed)'}")
    started = re.findall(r'CreateProcessInternalW app (\S+) cmdline (L".*")', trace)
    launched = [cmd for _, cmd in started if "winebrowser" in cmd.lower() or "control.exe" in cmd.lower()]
    for cmd in launched:
        print(f"  started: {cmd}")
    print(f"\nSandbox: {sandbox.root}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--setup", required=True)
    parser.add_argument("--arch", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("--headless", action="store_true")
    args = parser.parse_args()

    sandbox = Sandbox(args.root, args.arch)
    print(f"Preparing the Wine sandbox in {sandbox.root} (the first time takes a little while)...")
    sandbox.init()
    shots = sandbox.root.parent / "screenshots"
    shots.mkdir(parents=True, exist_ok=True)
    log = sandbox.root.parent / "setup.stderr.txt"

    if os.environ.get("DISPLAY") and not args.headless:
        if os.geteuid() == 0:
            # Wine runs as its own unprivileged user, which needs access to this display.
            subprocess.run(["xhost", f"+SI:localuser:{WINE_USER}"], check=False, capture_output=True)
        with open(log, "w") as err:
            proc = sandbox.start(args.setup, winedebug="+process", stderr=err)
            code = proc.wait()
        print(f"The setup ended with exit code {code}.")
        list_installed(sandbox, log.read_text(errors="replace"))
        return 0

    with VirtualDisplay() as display, open(log, "w") as err:
        print(f"No display: running on a virtual display {display.name} and answering Yes.")
        proc = sandbox.start(args.setup, env=display.env(), winedebug="+msgbox,+process", stderr=err)
        names = ["question", "result"]
        answered = display.answer_boxes(proc, log, TITLE, ["y", "Return"], lambda index: shots / f"{names[index]}.png")
        for name in names[:len(answered)]:
            print(f"  {name} box: screenshot {shots / (name + '.png')}")
        if len(answered) < len(names):
            print(f"No {names[len(answered)]} box appeared.")
        code = proc.wait(timeout=180)
    trace = log.read_text(errors="replace")
    for text in re.findall(r'MSGBOX_OnInit L"(.*?)"\s*$', trace, re.M):
        print(f"  box said: {text}")
    print(f"The setup ended with exit code {code}.")
    time.sleep(1)
    list_installed(sandbox, trace)
    sandbox.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
