#!/usr/bin/env python3
"""Shell links made under Wine by shell_link_maker.exe (the one argument), read back on Linux with
lnkinfo. Every link gets a title of its own, so this can run beside other tests in the shared prefix;
what it made goes afterwards."""
import os
import re
import shutil
import subprocess
import sys

from checks import check, failures

CSIDL_DESKTOP, CSIDL_PROGRAMS, CSIDL_STARTMENU, CSIDL_DRIVES = 0, 2, 11, 0x11
INVALID_FOLDER_ID = 0x7F

maker = os.path.abspath(sys.argv[1])
root = os.path.realpath(os.environ["MARIGOLD_WINE_ROOT"])
prefix = os.path.join(root, "prefix")
stamp = "%d-%d" % (os.getpid(), int.from_bytes(os.urandom(3), "big"))


def linux_path(windows_path):
    """C:\\a\\b -> <prefix>/dosdevices/c:/a/b (symbolic links such as the Desktop's followed)."""
    drive, rest = windows_path[:2].lower(), windows_path[2:].lstrip("\\")
    parts = [p for p in rest.split("\\") if p]
    return os.path.realpath(os.path.join(prefix, "dosdevices", drive, *parts))


# Wine starts the program in a folder of drive C: a link path that lost its folder would land there
# (or at the drive's root), where the search below finds it.
work_dir_windows = "C:\\users\\marigold-wine\\Temp"
work_dir = linux_path(work_dir_windows)


def run_maker(*args):
    """(exit code, stdout) of one maker run; stderr is shown when it ends abnormally."""
    result = subprocess.run(
        [os.environ["MARIGOLD_WINE_RUN"], "--root", root, "--arch", os.environ["MARIGOLD_WINE_ARCH"],
         "--cwd", work_dir, "--detach-output", "--", maker] + [str(a) for a in args],
        stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True, timeout=120)
    if result.returncode != 0:
        print("maker %s: exit code %d\n%s%s" % (list(args)[:2], result.returncode, result.stdout, result.stderr))
    return result.returncode, result.stdout.strip()


def folder_of(folder_id):
    rc, out = run_maker("folder", folder_id)
    assert rc == 0 and out != "none", "no folder for CSIDL %d: %r" % (folder_id, out)
    return out


def files_named(stem):
    """Every file anywhere in the sandbox whose name begins with `stem`."""
    found = []
    for top in (os.path.join(prefix, "drive_c"), os.path.join(root, "home"), os.path.join(root, "tmp")):
        for folder, _, names in os.walk(top):
            found += [os.path.join(folder, n) for n in names if n.startswith(stem)]
    return sorted(set(os.path.realpath(f) for f in found))


def link_target(path):
    """The target lnkinfo reads from a link (its "Local path"), or None when it reads none."""
    result = subprocess.run(["lnkinfo", path], capture_output=True, text=True, timeout=60)
    found = re.search(r"^\s*Local path\s*:\s*(.*?)\s*$", result.stdout, re.M)
    return found.group(1) if result.returncode == 0 and found else None


made = []
target_dir = os.path.join(work_dir, "marigold link target " + stamp)
try:
    # A real file as the target, with blanks in its path, so lnkinfo can show it exactly.
    os.makedirs(target_dir)
    target = os.path.join(target_dir, "Marigold target.txt")
    with open(target, "w") as f:
        f.write("target\n")
    target_windows = work_dir_windows + "\\marigold link target " + stamp + "\\Marigold target.txt"

    # The three folders the setup uses, each with a title of blanks, hyphens and commas, made twice
    # (twice in one process, once more in another): one file each, inside the sandbox.
    for folder_id, name in ((CSIDL_DESKTOP, "desktop"), (CSIDL_STARTMENU, "start menu"), (CSIDL_PROGRAMS, "programs")):
        title = "Marigold %s %s - FREE, GAMES, UTILITIES" % (name, stamp)
        folder = linux_path(folder_of(folder_id))
        check(folder.startswith(root + os.sep), "%s resolves outside the sandbox: %s" % (name, folder))
        check(run_maker("create", folder_id, title, target_windows, folder_id, title, target_windows) == (0, "created"),
              "%s: maker failed" % name)
        check(run_maker("create", folder_id, title, target_windows) == (0, "created"), "%s: second run failed" % name)
        expected = os.path.join(folder, title + ".lnk")
        found = files_named("Marigold %s %s" % (name, stamp))
        made += found
        check(found == [expected], "%s: expected only %s, found %s" % (name, expected, found))
        if os.path.exists(expected):
            shown = link_target(expected)
            check(shown == target_windows, "%s: lnkinfo shows target %r" % (name, shown))
        check(not os.path.exists(os.path.join(os.path.expanduser("~"), "Desktop", title + ".lnk")),
              "%s: link in the real home folder" % name)

    # Nothing may be written: COM not initialised, an unknown folder, a folder without a file-system
    # path, a file name longer than any file system takes. The maker must still end normally.
    nothing_cases = [
        ("without COM", ["--no-com", CSIDL_DESKTOP]),
        ("unknown folder", [INVALID_FOLDER_ID]),
        ("virtual folder", [CSIDL_DRIVES]),
        ("over-long title", [CSIDL_PROGRAMS]),
    ]
    for name, args in nothing_cases:
        stem = "Marigold none %s %s" % (name, stamp)
        title = stem + ("x" * 300 if name == "over-long title" else "")
        check(run_maker("create", *(args + [title, target_windows])) == (0, "created"), "%s: maker failed" % name)
        found = files_named(stem)
        made += found
        check(found == [], "%s: files were written: %s" % (name, found))

    # Folder and title past MAX_PATH but each name within the file system's limit: either the whole
    # name, readable, or no file (where the system refuses such a path); never a cut-off name.
    stem = "Marigold long %s " % stamp
    title = stem + "L" * (240 - len(stem))
    programs = folder_of(CSIDL_PROGRAMS)
    check(len(programs) + len(title) + 5 > 260, "long title does not pass MAX_PATH")
    check(run_maker("create", CSIDL_PROGRAMS, title, target_windows) == (0, "created"), "long title: maker failed")
    found = files_named(stem)
    made += found
    expected = os.path.join(linux_path(programs), title + ".lnk")
    check(found in ([], [expected]), "long title: unexpected files %s" % found)
    if found:
        shown = link_target(expected)
        check(shown == target_windows, "long title: lnkinfo shows %r" % shown)
finally:
    for path in made:
        try:
            os.remove(path)
        except OSError:
            pass
    shutil.rmtree(target_dir, ignore_errors=True)

if failures:
    print("%d check(s) failed" % len(failures))
    sys.exit(1)
print("all shell link checks passed")
