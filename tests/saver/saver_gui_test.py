#!/usr/bin/env python3
"""End-to-end tests of Marigold.scr under Wine on a private X server (Xvfb, no window manager), in a
private copy of the test prefix: what a test plants, damages or changes touches no other test."""
import argparse
import contextlib
import os
import shutil
import subprocess
import sys
import tempfile
import time

import wine_session
from product import ASSET_FOLDER, ASSETS, SAVER_TITLE, SETTINGS_KEY, SETTINGS_TITLE
from checks import check, failures

SCREEN = (1024, 768)


class SaverBox:
    """The saver's programs in the private prefix, shown on the private X server."""

    def __init__(self, args, sandbox, display):
        self.args, self.sandbox, self.display = args, sandbox, display
        self.root = str(sandbox.root)
        self.assets = sandbox.drive_c / "windows" / ASSET_FOLDER

    def wine(self, *command, winedebug=None):
        return self.sandbox.start(*command, env=self.display.env(), winedebug=winedebug, stdin=subprocess.PIPE)

    def saver(self, *args, winedebug=None):
        return self.wine(self.args.saver, *args, winedebug=winedebug)

    def probe(self, name, *args, monitors=None):
        """Starts the test build with "/s" and a folder of its own; returns (process, folder)."""
        folder = Probe(os.path.join(self.root, name))
        self.sandbox.give_to_wine_user(folder.unix)
        if monitors:
            folder.set_monitors(monitors)
        process = self.wine(self.args.probe, "/s", f"--probe={folder.windows}", *args, winedebug="+msgbox")
        return process, folder

    def change_monitors(self, probe, monitors, layout=None):
        """Gives the test build other monitors and tells every window the display changed; returns
        the scenes of the test build's layout `layout`, when asked for, once it came (None if never)."""
        probe.set_monitors(monitors)
        helper = self.sandbox.run(self.args.helper, "displaychange", *SCREEN, env=self.display.env(), timeout=60)
        check("displaychange sent" in helper.stdout, "a display change is sent to every window")
        return layout and probe.wait(lambda: probe.layout(layout))

    def reg(self, *args):
        return self.sandbox.run("reg", *args, timeout=60)

    def store_settings(self, **values):
        """Stores settings: a number as REG_DWORD, anything else as REG_SZ."""
        for name, value in values.items():
            kind = "REG_DWORD" if isinstance(value, int) else "REG_SZ"
            self.reg("add", SETTINGS_KEY, "/v", name, "/t", kind, "/d", value, "/f")

    def plant_assets(self):
        shutil.rmtree(self.assets, ignore_errors=True)
        os.makedirs(self.assets)
        for name in ASSETS:
            shutil.copy(os.path.join(self.args.assets, name), self.assets)
        self.sandbox.give_to_wine_user(self.assets)

    def screenshot(self, path):
        self.display.screenshot(path)
        return subprocess.run(["convert", path, "-depth", "8", "rgb:-"], capture_output=True, check=True, timeout=30).stdout

    def two_frames(self, folder, name):
        """Two screenshots 0.7 s apart (rgb bytes), kept in `folder` as NAME1.png and NAME2.png."""
        first = self.screenshot(os.path.join(folder, f"{name}1.png"))
        time.sleep(0.7)
        return first, self.screenshot(os.path.join(folder, f"{name}2.png"))


@contextlib.contextmanager
def private_sandbox():
    """A copy of the shared test prefix, removed afterwards (kept when MARIGOLD_KEEP_SCRATCH is set)."""
    shared = wine_session.Sandbox(os.environ["MARIGOLD_WINE_ROOT"], os.environ.get("MARIGOLD_WINE_ARCH", "x86_64"))
    build = os.environ.get("MARIGOLD_BUILD_DIR", str(shared.root.parent))
    # Other tests use the shared prefix meanwhile, so its server keeps running while it is copied.
    sandbox = shared.copy_to(tempfile.mkdtemp(prefix="saver-gui-", dir=build), stop_first=False)
    try:
        yield sandbox
    finally:
        sandbox.stop()
        if os.environ.get("MARIGOLD_KEEP_SCRATCH"):
            print("kept", sandbox.root)
        else:
            shutil.rmtree(sandbox.root, ignore_errors=True)


class Probe:
    """The test build's folder: the monitor list it reads and the report it writes (saver_probe.h)."""

    def __init__(self, unix):
        os.makedirs(unix)
        self.unix = unix
        self.windows = "Z:" + unix.replace("/", "\\")

    def set_monitors(self, monitors):
        """monitors: (left, top, right, bottom, dpi) each; written whole, then renamed into place."""
        scratch = os.path.join(self.unix, "monitors.new")
        with open(scratch, "w") as f:
            f.writelines(" ".join(str(v) for v in m) + "\n" for m in monitors)
        os.chmod(scratch, 0o644)
        os.replace(scratch, os.path.join(self.unix, "monitors.txt"))

    def set_display(self, state):
        """Tells the show the display is off (0), on (1) or dimmed (2); true once the test build told it."""
        path = os.path.join(self.unix, "display.txt")
        with open(path, "w") as f:
            f.write(f"{state}\n")
        return self.wait(lambda: not os.path.exists(path))

    def lines(self):
        try:
            with open(os.path.join(self.unix, "report.txt")) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def statuses(self):
        """Status lines as dicts of numbers: frames, layouts, booms, gdi, user, committed and heap (KB)."""
        lines = [line.split() for line in self.lines()]
        return [{words[i]: int(words[i + 1]) for i in range(1, len(words) - 1, 2)} for words in lines if words[:1] == ["status"]]

    def scenes(self, number):
        """The scene lines of layout `number`, as lists of words, or None before they are all there (the
        test build may be writing them while they are read)."""
        lines = self.lines()
        for i, line in enumerate(lines):
            words = line.split()
            if words[:2] == ["layout", str(number)]:
                scenes = [scene.split() for scene in lines[i + 1:i + 1 + int(words[3])]]
                whole = len(scenes) == int(words[3]) and all(scene[:1] == ["scene"] and len(scene) >= 16 for scene in scenes)
                return scenes if whole else None
        return None

    def layout(self, number):
        """The scenes reported for layout `number`: [(area, size, buffer bytes)], or None before it."""
        scenes = self.scenes(number)
        return None if scenes is None else [(tuple(map(int, w[3:7])), tuple(map(int, w[8:10])), int(w[13])) for w in scenes]

    def syscommands(self):
        """The system commands that reached the default window procedure, in order."""
        return [int(line.split()[1], 16) for line in self.lines() if line.startswith("syscommand ")]

    def standins(self, number):
        """Per scene of layout `number`, the pictures drawn as stand-ins ("none", or names joined by commas)."""
        return [w[15] for w in self.scenes(number) or []]

    def wait_status(self, test, timeout=60):
        """Waits for status lines for which test(status) holds; returns them, or None."""
        return self.wait(lambda: [s for s in self.statuses() if test(s)], timeout)

    def wait(self, test, timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            value = test()
            if value:
                return value
            time.sleep(0.2)
        return None


def finish(process, timeout):
    """Waits for a process; returns (exit code or None when it still runs, stderr)."""
    try:
        _, err = process.communicate(timeout=timeout)
        return process.returncode, err
    except subprocess.TimeoutExpired:
        process.kill()
        _, err = process.communicate()
        return None, err


# The colours looked for in a screenshot, as tests on a pixel's (r, g, b).
is_magenta = lambda r, g, b: r > 240 and b > 240 and g < 30  # noqa: E731 (the figures' key colour)
is_orange = lambda r, g, b: r > 200 and 70 < g < 190 and b < 80  # noqa: E731
is_bone = lambda r, g, b: r > 200 and g > 200 and b > 190  # noqa: E731
is_moon = lambda r, g, b: r > 215 and g > 200 and 140 < b < 215  # noqa: E731
is_black = lambda r, g, b: r < 3 and g < 3 and b < 3  # noqa: E731


def region(raw, left, top, right, bottom):
    """The rgb bytes of a box of a screenshot, row after row."""
    width = SCREEN[0]
    return b"".join(raw[(y * width + left) * 3:(y * width + right) * 3] for y in range(top, bottom))


def count_in(raw, test, left=0, top=0, right=SCREEN[0], bottom=SCREEN[1]):
    """The pixels of a screenshot within the given box for which test(r, g, b) holds."""
    pixels = region(raw, left, top, right, bottom)
    return sum(1 for x in range(0, len(pixels), 3) if test(pixels[x], pixels[x + 1], pixels[x + 2]))


def no_error_box(err, what):
    check("trace:msgbox" not in err, f"{what}: no message box")
    check("Unhandled exception" not in err and "page fault" not in err, f"{what}: no crash")


GROUND = int(SCREEN[1] * 0.7)  # the top of the ground, where pumpkins and the skeleton walk


def start_full_screen(box, what):
    """Starts /s and checks that its window shows; returns (process, window or None)."""
    process = box.saver("/s", winedebug="+msgbox")
    window = box.display.wait_for_window(SAVER_TITLE, timeout=20)
    check(window is not None, what)
    time.sleep(1.5)  # a few frames, and the first pointer report, before anything is done to it
    return process, window


def ends_after(box, process):
    """Waits for /s to end; returns (exit code, seconds until its window was gone, stderr).
    Wine itself needs about two more seconds to tear any process down after its last window
    (a settings dialog takes as long), so the show's own reaction is timed by its window."""
    start = time.time()
    gone = None
    while time.time() - start < 10:
        if gone is None and not box.display.find_windows(SAVER_TITLE):
            gone = time.time() - start
        if process.poll() is not None and gone is not None:
            break
        time.sleep(0.02)
    rc, err = finish(process, 10)
    return rc, (gone if gone is not None else 99.0), err


def check_ends(box, process, what, action=("key", "space"), at_once=False):
    """Ends a full-screen run by `action` (xdotool's words): exit code 0, no message box, no crash,
    and with `at_once` its window gone within a second."""
    box.display.xdotool(*action)
    rc, took, err = ends_after(box, process)
    if at_once:
        check(rc == 0 and took <= 1.0, f"{what} ends /s at once (exit {rc}, window gone after {took:.2f} s)")
    else:
        check(rc == 0, f"{what}: ends with exit code 0 (got {rc})")
    no_error_box(err, what)


def test_full_screen(box):
    box.plant_assets()
    process, window = start_full_screen(box, "/s shows a window")
    if not window:
        finish(process, 1)
        return
    geometry = box.display.xdotool("getwindowgeometry", window).stdout
    check(f"{SCREEN[0]}x{SCREEN[1]}" in geometry and "Position: 0,0" in geometry, "/s covers the whole screen: " + geometry.replace("\n", " "))
    first, second = box.two_frames(box.root, "frame")
    check(first != second, "the picture changes between two frames")
    check(count_in(first, is_magenta) == 0, "no key-colour boxes around the figures")
    check(count_in(first, is_orange, top=GROUND) > 300, "pumpkins show on the ground")
    check(count_in(first, is_bone, top=GROUND) > 100, "the skeleton shows on the ground")
    dark_sky = count_in(first, lambda r, g, b: r < 60 and g < 50 and b < 90, bottom=40)
    check(dark_sky > SCREEN[0] * 30, "the sky at the top is dark")

    # A second copy while the first runs ends at once and leaves the first alone.
    rc, _ = finish(box.saver("/s"), 15)
    check(rc == 0, f"a second /s ends at once with exit code 0 (got {rc})")
    check(process.poll() is None, "the first /s keeps running")
    check_ends(box, process, "a key press", at_once=True)


def test_mouse(box):
    # Wine places its idea of the pointer at the centre of the screen until X reports a motion,
    # so the pointer starts there and the jitter is measured from it.
    box.display.xdotool("mousemove", str(SCREEN[0] // 2), str(SCREEN[1] // 2))
    process, _ = start_full_screen(box, "/s runs again for the mouse")
    box.display.xdotool("mousemove", str(SCREEN[0] // 2 + 2), str(SCREEN[1] // 2 + 1))
    time.sleep(0.6)
    check(process.poll() is None, "a jitter of two pixels does not end /s")
    check_ends(box, process, "moving the mouse", ("mousemove", "700", "600"), at_once=True)

    process, _ = start_full_screen(box, "/s runs again for the click")
    check_ends(box, process, "a click", ("click", "1"), at_once=True)


def read_children(helper, want, timeout=15):
    """Reads the helper's reports until `want(line)` matches; returns the line or None."""
    end = time.time() + timeout
    while time.time() < end:
        line = helper.stdout.readline()
        if not line:
            return None
        line = line.strip()
        if want(line):
            return line
    return None


def test_preview(box):
    helper = box.wine(box.args.helper, "parent", "60")
    first = read_children(helper, lambda l: l.startswith("hwnd "))
    if not check(first is not None, "the preview parent window is made"):
        finish(helper, 1)
        return
    saver = box.saver("/p", first.split()[1], winedebug="+msgbox")
    # The child may be listed before it is shown: wait for it to be visible.
    child = read_children(helper, lambda l: l.startswith("child ") and l.split()[-1] == "1")
    check(child is not None and child.split()[2:] == ["0", "0", "152", "112", "1"],
          f"/p puts a visible child over the parent's whole client area: {child}")
    helper.stdin.write("resize 300 200\n")
    helper.stdin.flush()
    child = read_children(helper, lambda l: l.startswith("child ") and l.split()[4:6] == ["300", "200"])
    check(child is not None, f"the preview follows the parent's size: {child}")
    check(saver.poll() is None, "the preview keeps running while its parent lives")
    helper.stdin.write("quit\n")
    helper.stdin.flush()
    rc, err = finish(saver, 10)
    check(rc == 0, f"the preview ends with exit code 0 when its parent is destroyed (got {rc})")
    no_error_box(err, "/p")
    finish(helper, 10)


def reg_values(box):
    lines = [line.split() for line in box.reg("query", SETTINGS_KEY).stdout.splitlines()]
    return {words[0]: int(words[2], 16) for words in lines if len(words) == 3 and words[1] == "REG_DWORD"}


def use_settings_dialog(box, switch, keys):
    """Opens the settings dialog with `switch` and types each group of `keys` into it; returns
    (whether it showed, exit code)."""
    process = box.saver(switch)
    window = box.display.wait_for_window(SETTINGS_TITLE, timeout=20)
    if window:
        box.display.xdotool("windowfocus", "--sync", window)
        time.sleep(0.3)
        for group in keys:
            box.display.xdotool("key", "--delay", "80", *group)
            time.sleep(0.15)
    rc, _ = finish(process, 10)
    return window is not None, rc


# (what, switch, values stored before, keys typed, values stored after)
SETTINGS_CASES = [
    # Sound off, two more pumpkins, one step slower, OK.
    ("changed settings are stored", "/c", {"Sound": 1, "Pumpkins": 5, "Speed": 5},
     [["space"], ["Tab"], ["Right", "Right"], ["Tab"], ["Left"], ["Return"]], {"Sound": 0, "Pumpkins": 7, "Speed": 4}),
    ("Cancel stores nothing", "/C", {}, [["space", "Escape"]], {"Sound": 0, "Pumpkins": 7, "Speed": 4}),
]


def test_settings(box):
    for what, switch, before, keys, after in SETTINGS_CASES:
        box.store_settings(**before)
        shown, rc = use_settings_dialog(box, switch, keys)
        check(shown and rc == 0, f"{what}: {switch} shows the settings dialog, then ends with exit code 0 (shown {shown}, exit {rc})")
        values = reg_values(box)
        check(values == after, f"{what}: {values}")

    # A full-screen run with invalid settings still works (how they read is the settings' unit test).
    box.store_settings(Sound="loud", Pumpkins=99, Speed=0)
    process, _ = start_full_screen(box, "/s runs with clamped settings")
    check_ends(box, process, "/s with clamped settings", ("key", "Escape"))
    box.reg("delete", SETTINGS_KEY, "/f")


def test_bad_handles(box):
    for args in (["/p", "123456789"], ["/p", "abc"], ["/p"], ["/c:987654321"], ["/P:0"], ["/a", "42"]):
        rc, err = finish(box.saver(*args, winedebug="+msgbox"), 20)
        check(rc == 0, f"{' '.join(args)} ends quietly with exit code 0 (got {rc})")
        no_error_box(err, " ".join(args))
    check(not box.display.find_windows(SETTINGS_TITLE), "no settings dialog for a bad owner handle")


def test_damaged_assets(box):
    """Every picture damaged in its own way and the sound missing: the test build reports which
    pictures are stand-ins, and draws hundreds of frames a second, so pumpkins burst and ask for
    their missing sound."""
    box.plant_assets()
    box.reg("delete", SETTINGS_KEY, "/f")  # the booms are on by default
    (box.assets / "ghost.bmp").write_text("not a picture, only words named like one\n")
    with open(box.assets / "pumpkin1.bmp", "r+b") as f:
        f.truncate(300)
    (box.assets / "pumpkin2.bmp").unlink()
    with open(box.assets / "pumpkin3.bmp", "r+b") as f:
        f.seek(10)  # whole, but its header places the pixels far past its end
        f.write((1 << 20).to_bytes(4, "little"))
    shutil.copy(os.path.join(box.args.assets, "pumpkin1.bmp"), box.assets / "skeleton.bmp")  # a picture of the wrong size
    (box.assets / "boom1.wav").unlink()
    process, probe = box.probe("damaged", "--fast=10", "--every=300", monitors=ONE_MONITOR)
    if not check(probe.wait(lambda: probe.layout(1)) is not None, "/s runs with damaged pictures"):
        finish(process, 1)
        return
    check(probe.standins(1) == ["ghost,skeleton,pumpkin1,pumpkin2,pumpkin3"],
          f"each damaged or missing picture is a stand-in: {probe.standins(1)}")
    shot = box.screenshot(os.path.join(probe.unix, "damaged.png"))
    check(count_in(shot, is_orange, top=GROUND) > 300, "stand-in pumpkins are drawn")
    check(count_in(shot, is_magenta) == 0, "no key-colour boxes with stand-ins")
    booms = probe.wait_status(lambda s: s["booms"] > 0)
    check(booms, "pumpkins burst and ask for their missing sound")
    check(booms and probe.wait_status(lambda s: s["frames"] >= booms[0]["frames"] + 900),
          "the show goes on after the booms that could not be played")
    check_ends(box, process, "damaged pictures and no sound", ("key", "Escape"))

    shutil.rmtree(box.assets)
    process, _ = start_full_screen(box, "/s runs without the picture folder")
    shot = box.screenshot(os.path.join(box.root, "missing.png"))
    check(count_in(shot, is_orange, top=GROUND) > 300, "stand-in pumpkins are drawn without the folder")
    check_ends(box, process, "missing folder", ("key", "Escape"))


# Two monitors inside the virtual screen, the second smaller, so that the box around them has
# corners no monitor shows: above and below the second one.
ONE_MONITOR = [(0, 0, SCREEN[0], SCREEN[1], 96)]
TWO_MONITORS = [(0, 0, 512, 768, 96), (512, 192, 1024, 576, 96)]


def test_display_change(box):
    box.plant_assets()
    process, probe = box.probe("display-change", "--every=15", monitors=ONE_MONITOR)
    window = box.display.wait_for_window(SAVER_TITLE, timeout=20)
    first = probe.wait(lambda: probe.layout(1))
    if not check(window is not None and first is not None, "the test build runs with a monitor list of its own"):
        finish(process, 1)
        return
    check(first == [((0, 0, 1024, 768), (1024, 768), 1024 * 768 * 2)], f"one scene the size of the monitor: {first}")
    check(probe.standins(1) == ["none"], f"every picture comes from its file: {probe.standins(1)}")

    second = box.change_monitors(probe, TWO_MONITORS, 2)
    check(second == [((0, 0, 512, 768), (512, 768), 512 * 768 * 2), ((512, 192, 1024, 576), (512, 384), 512 * 384 * 2)],
          f"laid out again: one scene and one buffer per monitor: {second}")
    geometry = box.display.xdotool("getwindowgeometry", window).stdout
    check("1024x768" in geometry and "Position: 0,0" in geometry, "the window spans both: " + geometry.replace("\n", " "))
    frames = probe.wait_status(lambda s: s["layouts"] == 2 and s["frames"] >= 60)
    check(frames, "frames go on after the display change")
    shots = box.two_frames(probe.unix, "two-")
    check(count_in(shots[0], is_moon, 0, 0, 512, 768) > 3000, "the first monitor has its own moon")
    check(count_in(shots[0], is_moon, 512, 192, 1024, 576) > 800, "the second monitor has its own moon")
    unchanged = lambda *area: region(shots[0], *area) == region(shots[1], *area)  # noqa: E731
    check(not unchanged(0, 0, 512, 768), "the first monitor's night moves")
    check(not unchanged(512, 192, 1024, 576), "so does the second's")
    check(unchanged(512, 0, 1024, 192) and unchanged(512, 576, 1024, 768), "nothing is drawn where no monitor shows the window")

    third = box.change_monitors(probe, ONE_MONITOR, 3)
    check(third == first, f"back to one monitor: one scene again: {third}")
    check(frames and probe.wait_status(lambda s: s["layouts"] == 3 and s["frames"] >= frames[-1]["frames"] + 30),
          "and frames go on")
    check(process.poll() is None, "the show keeps running through display changes")
    check_ends(box, process, "display changes")


def test_long_run(box):
    """Hours of frames in about a minute, with monitors changing on the way: GDI and USER objects and
    what the heaps hold stay as they were; the committed private memory may grow a little once, when a
    display change makes a heap reach for more (up to 256 KB seen), never with the frames. Without the
    booms: Wine starts a thread of about 1 MB for each. Counts are compared by the least of several
    status lines, early (after the buffers have grown to the busiest frame) and late."""
    box.plant_assets()
    box.store_settings(Sound=0)
    process, probe = box.probe("long-run", "--fast=100", "--every=4000", monitors=ONE_MONITOR)
    if not check(probe.wait_status(lambda s: s["frames"] >= 40000, timeout=120),
                 f"the test build draws frames faster than real time: {probe.statuses()[-1:]}"):
        finish(process, 1)
        return
    box.change_monitors(probe, TWO_MONITORS, 2)
    box.change_monitors(probe, ONE_MONITOR, 3)
    if not check(probe.wait_status(lambda s: s["layouts"] == 3 and s["frames"] >= 160000, timeout=240),
                 f"160,000 frames (an hour and a half of showing) go by: {probe.statuses()[-1:]}"):
        finish(process, 1)
        return
    statuses = probe.statuses()
    early = [s for s in statuses if 20000 <= s["frames"] <= 40000 and s["layouts"] == 1]
    last_layout = [s for s in statuses if s["layouts"] == 3]
    for label, before_set in (("over 80,000 frames", last_layout[:10]), ("through two display changes", early)):
        for what, unit, slack in (("gdi", "GDI objects", 0), ("user", "USER objects", 0), ("heap", "KB in the heaps", 8),
                                  ("committed", "KB committed", 512)):
            before, after = min(s[what] for s in before_set), min(s[what] for s in last_layout[-10:])
            check(before > 0 and after - before <= slack, f"{unit} stay flat {label}: {before}, then {after}")
    check_ends(box, process, "long run")
    box.reg("delete", SETTINGS_KEY, "/f")


def test_short_of_memory(box):
    """Room for a quarter of the monitor's pixels: a smaller night, shown enlarged (no buffer at all,
    a plain sky, is a unit test)."""
    box.plant_assets()
    process, probe = box.probe("smaller", "--buffer-limit=1000000", monitors=ONE_MONITOR)
    window = box.display.wait_for_window(SAVER_TITLE, timeout=20)
    scenes = probe.wait(lambda: probe.layout(1))
    check(window is not None and scenes == [((0, 0, 1024, 768), (512, 384), 512 * 384 * 2)],
          f"without memory for a whole buffer, a half-size one: {scenes}")
    time.sleep(1)
    shot = box.screenshot(os.path.join(probe.unix, "smaller.png"))
    check(count_in(shot, is_black) < 1024 * 768 // 20, "the screen is not black")
    check(count_in(shot, is_orange, top=GROUND) > 100, "pumpkins show on the ground")
    check(count_in(shot, is_moon, 512, 0, 1024, 384) > 1000, "the moon shows")
    check_ends(box, process, "smaller buffer")


def test_display_rest(box):
    process, probe = box.probe("display-rest", "--every=1", monitors=ONE_MONITOR)
    check(probe.wait_status(lambda s: s["frames"] >= 30) and probe.set_display(0), "the show is told the display is off")
    statuses = len(probe.statuses())
    time.sleep(0.5)  # until Wine shows the last frame drawn
    before = box.screenshot(os.path.join(probe.unix, "off1.png"))
    box.change_monitors(probe, TWO_MONITORS)
    time.sleep(1)
    check(len(probe.statuses()) == statuses and box.screenshot(os.path.join(probe.unix, "off2.png")) == before,
          "no frame and no painting while the display is off, also after a new layout")
    check(probe.set_display(2) and probe.wait_status(lambda s: s["layouts"] == 2) and probe.set_display(0),
          "the show goes on, on the new monitors, when the display comes back dimmed (then off again)")
    check_ends(box, process, "a key while the display is off", at_once=True)


SC_CLOSE, SC_SCREENSAVE, SC_MONITORPOWER = 0xF060, 0xF140, 0xF170


def test_conventions(box):
    """The saver keeps Windows' conventions: the monitor may still sleep during the show, and the
    settings are modal to the window that asked (the pointer's slack per DPI is a unit test)."""
    process, probe = box.probe("conventions", monitors=ONE_MONITOR)
    if not check(probe.wait(lambda: probe.layout(1)) is not None, "the test build shows the night"):
        finish(process, 1)
        return
    # Monitor off first: a close that got through would leave nothing to send it to.
    sent = box.sandbox.run(box.args.helper, "syscommand", SAVER_TITLE, SC_MONITORPOWER, 2, SC_SCREENSAVE, 0, SC_CLOSE, 0,
                           env=box.display.env(), timeout=60)
    check("syscommand sent" in sent.stdout, f"the system commands are sent: {sent.stdout.strip()}")
    passed = [hex(code) for code in probe.syscommands()]
    check(passed == [hex(SC_MONITORPOWER)], f"only turning the monitor off reaches the default handling: {passed}")
    check(process.poll() is None, "neither a second screen saver nor the system menu's Close ends the show")
    check_ends(box, process, "the show after system commands")

    parents, handles = [], []
    for _ in range(2):  # one after the other: the later one comes to the front
        parents.append(box.wine(box.args.helper, "parent", "60"))
        handles.append(read_children(parents[-1], lambda line: line.startswith("hwnd ")))
    if check(all(handles), "two windows to own the dialog"):
        named, in_front = (h.split()[1] for h in handles)
        for args, owner in ((["/c"], in_front), (["/c", named], named)):
            saver = box.saver(*args)
            shown = box.sandbox.run(box.args.helper, "owner", SETTINGS_TITLE, 20, env=box.display.env(), timeout=60)
            rc, _ = finish(saver, 15)
            check(shown.stdout.split() == ["owner", owner] and rc == 0,
                  f"{' '.join(args)}: the settings are owned by {owner}: {shown.stdout.strip()}, exit {rc}")
    for parent in parents:
        # Its output is not read to the end: a Wine process it started first may hold it open.
        parent.stdin.write("quit\n")
        parent.stdin.flush()
        read_children(parent, lambda line: line == "destroyed")
        parent.wait(10)


GROUPS = {
    "show": [test_full_screen, test_mouse, test_preview, test_settings, test_bad_handles, test_damaged_assets,
             test_conventions],
    "desktop": [test_display_change, test_short_of_memory, test_display_rest, test_long_run],
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--saver", required=True)
    parser.add_argument("--probe", required=True, help="the test build of the saver")
    parser.add_argument("--helper", required=True)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--group", choices=sorted(GROUPS), default="show")
    parser.add_argument("--only", default="")
    args = parser.parse_args()
    with wine_session.VirtualDisplay(f"{SCREEN[0]}x{SCREEN[1]}x24") as display, private_sandbox() as sandbox:
        box = SaverBox(args, sandbox, display)
        for test in GROUPS[args.group]:
            if args.only and args.only not in test.__name__:
                continue
            print(f"== {test.__name__}", flush=True)
            test(box)
    if failures:
        print(f"{len(failures)} check(s) failed", flush=True)
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
