#!/usr/bin/env python3
"""The setup run end to end, the way a user runs it, on the machine e2e_machine.py makes: what it
installed, wrote and started is read back with independent tools."""
import os
import pathlib
import re
import subprocess
import sys
import time

from checks import check
from e2e_machine import Machine, Preview, expect_boxes, expect_installed, expect_launches, expect_nothing_installed
from e2e_machine import expect_shortcuts, expect_user_rights, machine_arguments, run_scenario, server_file_limits
from product import ASK_INSTALL as ASK, INSTALL_FAILED as FAILURE, INSTALLED as SUCCESS
from product import SETTINGS_KEY, SHORTCUTS
from product import MB_OK_INFORMATION, MB_YESNO_QUESTION, SETUP_TITLE as TITLE
from wine_session import SLOW


def scenario_no(args, display):
    m = Machine(args, display)
    code, boxes, _ = m.run_setup(["n"])
    check(code == 0 and boxes == [ASK], f"only the question was shown: {boxes}, exit code {code}")
    time.sleep(2)
    expect_nothing_installed(m)
    check((m.windows / "system.ini").read_bytes() == m.system_ini_before, "system.ini unchanged")
    check(not m.browser_record.exists(), "no browser")
    check(not m.control_launches(), "no control panel")


def scenario_yes(args, display):
    m = Machine(args, display)
    trace = m.install(box_calls=True)
    expect_boxes(trace, [(ASK, MB_YESNO_QUESTION), (SUCCESS, MB_OK_INFORMATION)])
    expect_launches(m, trace)
    expect_installed(m)
    check(m.temp_leftovers() == [], f"no temporary files left: {m.temp_leftovers()}")
    # The shortcuts and the record of the screen saver from before, with the user's own rights.
    expect_user_rights(trace, [pathlib.PurePosixPath(path).parent.name for path in SHORTCUTS.values()] + [SETTINGS_KEY[5:]])


def scenario_shell_unreachable(args, display):
    """The desktop's shell cannot be reached (the interface of its list of shell windows is not
    registered): the elevated setup starts nothing, as whatever it started itself, or with a token made
    from its own, would have more than the user's rights. It installs and reports as ever."""
    m = Machine(args, display)
    key = "HKCR\\Interface\\{85CB6900-4D95-11CF-960C-0080C7F4EE85}"
    # A 64-bit Windows has two registry views. Whether they share this key depends on the prefix (one
    # made where 32-bit programs cannot run has it in one view only): it goes from each that has it.
    views = [["/reg:64"], ["/reg:32"]] if m.arch == "x86_64" else [[]]
    present = lambda view: m.sandbox.run("reg", "query", key, *view).returncode == 0
    removed = [m.sandbox.run("reg", "delete", key, "/f", *view).returncode for view in views if present(view)]
    left = [view for view in views if present(view)]
    check(bool(removed) and not any(removed) and not left, f"the shell windows interface is unregistered: {removed}, still in {left}")
    m.sandbox.stop()  # a fresh start, as on every other machine
    trace = m.install()
    time.sleep(5 * SLOW)  # as long as a launch would take to show
    started = [line for line in trace.splitlines()
               if "CreateProcessInternalW" in line and re.search(r"(rundll32|control|winebrowser)\.exe", line, re.I)]
    check(not m.browser_record.exists() and not m.control_launches(), "neither the site nor the control panel is opened")
    check(started == [], f"nothing is started for them: {started}")


def scenario_links_planted(args, display):
    """Links a program of the user planted before the install: the Internet shortcut's name to a system
    file, the Desktop and Programs folders to the Windows folder and its Fonts folder (in every prefix).
    None is followed, the Start Menu's link is made, and the installation succeeds as ever."""
    m = Machine(args, display)
    paths = m.shortcut_paths()
    victim = m.windows / "win.ini"
    victim_bytes = victim.read_bytes()
    os.symlink(victim, paths["favorite"])
    targets = {"desktop": m.windows, "programs": m.sandbox.unix_path("C:\\windows\\Fonts")}
    for name, target in targets.items():
        folder = paths[name].parent
        folder.rename(folder.with_name(folder.name + " aside"))
        os.symlink(target, folder)
    fonts_before = sorted(p.name for p in targets["programs"].iterdir())
    m.sandbox.give_to_wine_user(m.user)
    m.install()
    check(victim.read_bytes() == victim_bytes, "the file the Internet shortcut's name leads to is unchanged")
    check(m.new_in_windows() == ["marigold.scr", "marigoldfiles"], f"nothing but Marigold new in the Windows folder: "
                                                                    f"{m.new_in_windows()}")
    check(sorted(p.name for p in targets["programs"].iterdir()) == fonts_before, "nothing new in the Fonts folder")
    check(all(paths[name].parent.is_symlink() for name in targets) and paths["favorite"].is_symlink(), "the links stay")
    check(paths["start menu"].is_file() and paths["start menu"].stat().st_size > 0, "the Start Menu's link is made")


def scenario_second_copy(args, display):
    m = Machine(args, display)
    first = m.sandbox.start(args.setup, env=display.env(), native=["control.exe"])
    window = display.wait_for_window(TITLE, timeout=90)
    check(window is not None, "the first copy asks")
    started = time.time()
    second = m.sandbox.start(args.setup, env=display.env(), native=["control.exe"])
    try:
        code = second.wait(timeout=60)
    except subprocess.TimeoutExpired:
        second.kill()
        code = None
    check(code == 0, f"the second copy exits at once with 0, got {code} after {time.time() - started:.1f} s")
    check(len(display.find_windows(TITLE)) == 1, "the second copy showed nothing")
    check(first.poll() is None, "the first copy is still asking")
    if window:
        display.answer(TITLE, "n", lambda: first.poll() is not None)
    first.wait(timeout=60)
    expect_nothing_installed(m)
    check((m.windows / "system.ini").read_bytes() == m.system_ini_before, "system.ini unchanged")


def scenario_failure(args, display):
    m = Machine(args, display)
    assets = m.windows / "marigoldfiles"
    (assets / "pumpkin1.bmp").mkdir(parents=True)
    m.sandbox.give_to_wine_user(assets)
    trace = m.install(FAILURE, box_calls=True)
    expect_boxes(trace, [(ASK, MB_YESNO_QUESTION), (FAILURE, MB_OK_INFORMATION)])
    # Which files come before the one that fails, and that nothing comes after it, is the sequence test's.
    check((assets / "pumpkin1.bmp").is_dir(), "the folder in the way stays")
    expect_launches(m, trace)
    expect_shortcuts(m)


def scenario_installed_version(args, display):
    """A newer installed screen saver is kept, an older one is replaced."""
    m = Machine(args, display)
    kept = args.scenario == "newer-kept"
    fixture = pathlib.Path(args.newer if kept else args.older)
    installed = m.windows / "Marigold.scr"
    installed.write_bytes(fixture.read_bytes())
    m.sandbox.give_to_wine_user(installed)
    trace = m.install()
    expected = (fixture if kept else pathlib.Path(args.saver)).read_bytes()
    check(installed.read_bytes() == expected, "a newer screen saver is kept" if kept else "an older one is replaced")
    # The entry among the installed programs shows what is installed now.
    shown = [m.sandbox.reg_value(m.entry_key(), name) for name in ("DisplayVersion", "VersionMajor", "VersionMinor")]
    check(shown == (["2.0", "0x2", "0x0"] if kept else ["1.00", "0x1", "0x0"]), f"the entry's version: {shown}")
    expect_launches(m, trace)


scenario_newer_kept = scenario_older_replaced = scenario_installed_version


def scenario_running_saver(args, display):
    """A re-run while the installed screen saver runs as a preview: Windows will not replace or delete a
    running program's file, but renames it (how, and its listing for the next restart, are the file
    swap's unit test); the old copy goes at the next restart. The re-run also makes again the shortcuts
    that went meanwhile, and leaves nothing of its own behind."""
    m = Machine(args, display)
    m.install(log_name="first")
    for path in m.shortcut_paths().values():
        path.unlink(missing_ok=True)
    preview = Preview(m)
    check(preview.shown, "the installed screen saver runs as a preview")
    m.install(log_name="second")
    expect_installed(m)
    aside = [name for name in m.new_in_windows() if name not in ("marigold.scr", "marigoldfiles")]
    check(len(aside) == 1, f"the running copy was renamed aside: {aside}")
    preview.end()
    m.restart()
    check(m.new_in_windows() == ["marigold.scr", "marigoldfiles"], f"after a restart it is gone: {m.new_in_windows()}")
    check(m.temp_leftovers() == [], f"no temporary files left: {m.temp_leftovers()}")
    expect_installed(m)


def scenario_disk_full_upgrade(args, display):
    """The disk fills while the new screen saver is written over an older installed one that is active:
    the older one stays installed, whole and active."""
    m = Machine(args, display)
    installed = m.windows / "Marigold.scr"
    older = pathlib.Path(args.older).read_bytes()
    installed.write_bytes(older)
    m.sandbox.give_to_wine_user(installed)
    ini = m.windows / "system.ini"
    ini.write_bytes(ini.read_bytes() + b"[boot]\r\nSCRNSAVE.EXE=C:\\windows\\Marigold.scr\r\n")
    before = ini.read_bytes()
    saver_kb = len(pathlib.Path(args.saver).read_bytes()) // 1024
    limit_kb = saver_kb // 2
    check(len(older) // 1024 < limit_kb, f"the older screen saver ({len(older)} bytes) fits under {limit_kb} KB")
    # The limited setup is the first program, so it needs a server: one that shared its limit could not
    # save the registry and would refuse every program it serves shared memory above the limit.
    m.sandbox.stop()
    trace = m.install(FAILURE, file_limit_kb=limit_kb)
    limits = server_file_limits(m.sandbox.root / "prefix")
    check(limits and all(line.split()[3:5] == ["unlimited", "unlimited"] for line in limits),
          f"the server has no file-size limit: {limits}")
    check(installed.read_bytes() == older, "the older screen saver is still installed, byte for byte")
    check(m.boot_value() == "C:\\windows\\Marigold.scr" and ini.read_bytes() == before, "and still the active one")
    check(m.temp_leftovers() == [], f"no partly written copy left: {m.temp_leftovers()}")
    expect_launches(m, trace)


def expect_dlls_from_system_folder(trace):
    """From Wine's loader trace of one setup run: once the setup runs, every version.dll it asks for is
    the system folder's, searched there only, and no DLL search reaches its folder or the current one.
    Every run asks for it: the entry among the installed programs shows the installed version."""
    pid = re.search(r'^(\w+):trace:loaddll:build_module Loaded L"[^"]*\\MarigoldSetup\.exe"', trace, re.M)
    if check(pid is not None, "the loader trace shows the setup's process"):
        own = [line for line in trace.splitlines() if line.startswith(pid.group(1) + ":")]
        # The process start ends with the last DLL that was attached for the start-up imports (Wine
        # passes them a context; DLLs loaded later get none). What follows is the setup's doing.
        attached = [i for i, line in enumerate(own)
                    if re.search(r"MODULE_InitDLL \(\w+,PROCESS_ATTACH,0*[1-9a-f]\w*\) - RETURN", line)]
        running = attached[-1] + 1 if attached else 0
        searches = [(i, re.search(r'load_dll looking for L"(.*?)" in (.*)$', line)) for i, line in enumerate(own)]
        searches = [(i, found.group(1), found.group(2)) for i, found in searches if found]
        startup = [name for i, name, _ in searches if i < running and name.lower().endswith("version.dll")]
        check(startup == ["version.dll"], f"at start-up only Wine's user32 asks for version.dll: {startup}")
        requested = [(name, where) for i, name, where in searches if i >= running and name.lower().endswith("version.dll")]
        system = "C:\\\\windows\\\\system32"
        check(bool(requested) and all(name.lower() == system.lower() + "\\\\version.dll" and where.lower() == f'l"{system.lower()}\\\\"'
                                for name, where in requested),
              f"every version.dll the setup asks for is the system folder's, searched there only: {requested}")
        reached = [(name, where) for i, name, where in searches
                   if i >= running and ("downloads" in where.lower() or "current" in where.lower() or "." in where.split(";"))]
        check(not reached, f"once the setup runs, no DLL search reaches the download or the current folder: {reached}")


def scenario_planted_dll(args, display):
    """A version.dll planted beside the setup in the download folder and in the current folder, Wine told
    to prefer it to its own. Wine's user32 imports version.dll, so it is loaded whatever the setup does;
    what must hold is that the setup never asks for it nor calls it. The setup installs as usual, and on
    a second run a newer installed screen saver survives (the planted functions fail every call)."""
    m = Machine(args, display)
    downloads = m.dir / "Downloads"
    current = m.dir / "current"
    for folder in (downloads, current):
        folder.mkdir(exist_ok=True)
        (folder / "version.dll").write_bytes(pathlib.Path(args.planted).read_bytes())
        (folder / "planted-version.log").unlink(missing_ok=True)  # from an earlier run
    setup = downloads / pathlib.Path(args.setup).name
    setup.write_bytes(pathlib.Path(args.setup).read_bytes())
    m.sandbox.give_to_wine_user(m.dir)
    run = lambda log_name: m.install(log_name=log_name, setup=setup, cwd=current, native=["version=n,b"],
                                     winedebug=",+loaddll,+module")

    trace = run("clean")
    expect_installed(m)
    expect_launches(m, trace)
    expect_dlls_from_system_folder(trace)

    installed = m.windows / "Marigold.scr"
    installed.write_bytes(pathlib.Path(args.newer).read_bytes())
    m.sandbox.give_to_wine_user(installed)
    trace = run("newer")
    check(installed.read_bytes() == pathlib.Path(args.newer).read_bytes(), "the newer installed screen saver is kept")
    expect_dlls_from_system_folder(trace)

    calls = []
    for folder in (downloads, current):
        record = folder / "planted-version.log"
        calls += record.read_text().splitlines() if record.exists() else []
    from_setup = [line for line in calls if line.split()[-1].lower() == setup.name.lower() and not line.startswith("loaded-into")]
    check(not from_setup, f"the setup never calls the planted version.dll: {from_setup}")


def main():
    args = machine_arguments(planted="a planted version.dll that records its callers",
                             helper="the screen-saver tests' helper, a parent window for a preview")
    return run_scenario(args, globals())


if __name__ == "__main__":
    sys.exit(main())
