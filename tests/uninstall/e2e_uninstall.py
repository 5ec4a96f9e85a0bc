#!/usr/bin/env python3
"""Removal end to end, the way a user removes a program: the setup installs for real, then Wine's own
Add/Remove Programs engine (`uninstaller --list` / `--remove`) starts our uninstaller, or the entry's
quiet command runs it with /S. What is left, also after a restart, is read from the prefix."""
import datetime
import os
import pathlib
import re
import shutil
import sys
import time

from checks import check
from e2e_machine import Machine, Preview, expect_boxes, expect_installed, expect_nothing_installed
from e2e_machine import expect_user_rights, machine_arguments, message_box_texts, run_scenario
from product import ASSETS, INSTALL_FAILED as FAILURE, UNINSTALLER
from product import ASK_REMOVE, PRODUCT, PUBLISHER_KEY, REMOVED, REMOVED_AT_RESTART, SETTINGS_KEY, SETUP_TITLE, SHORTCUTS
from product import MB_OK_INFORMATION, MB_YESNO_QUESTION, UNINSTALL_TITLE as TITLE
from wine_session import SLOW

# The screen saver chosen before Marigold, in the system folder: on 64-bit Windows the 64-bit one,
# which a 32-bit program is shown only when it asks past the redirection to the 32-bit folder.
PREVIOUS_SAVER = "C:\\windows\\system32\\previous.scr"
# Wine hands a Windows exit code to Linux, which keeps its low byte only.
EXIT_REMOVED, EXIT_AT_RESTART, EXIT_FAILED, EXIT_DECLINED, EXIT_SETUP_RUNNING = 0, 3010 % 256, 1603 % 256, 1602 % 256, 1618 % 256


class Removal:
    """A scenario's machine with a screen saver of its own chosen before Marigold is installed."""

    def __init__(self, args, display):
        self.m = m = Machine(args, display)
        previous = m.windows / "system32" / PREVIOUS_SAVER.split("\\")[-1]
        previous.write_bytes(pathlib.Path(args.older).read_bytes())
        m.sandbox.give_to_wine_user(previous)
        ini = m.windows / "system.ini"
        ini.write_bytes(ini.read_bytes() + b"[boot]\r\nSCRNSAVE.EXE=" + PREVIOUS_SAVER.encode() + b"\r\n")
        self.reg("add", "HKCU\\Control Panel\\Desktop", "/v", "ScreenSaveActive", "/d", "1", "/f")

    def uninstaller(self):
        return self.m.windows / "marigoldfiles" / UNINSTALLER

    def reg(self, *args):
        return self.m.sandbox.run("reg", *args)

    def listed(self):
        """The entries Wine's Add/Remove Programs engine lists (on 64-bit Windows, both views)."""
        out = self.m.sandbox.run("uninstaller", "--list").stdout
        return [line.split("|||")[-1].strip() for line in out.splitlines() if "|||" in line]

    def remove(self, answers, log_name="remove", box_calls=False):
        """Removal as the user starts it from the list of installed programs."""
        return self.m.run_program(["uninstaller", "--remove", PRODUCT], answers, TITLE, log_name, box_calls=box_calls)

    def remove_quietly(self, cwd=None, log_name="remove-quietly"):
        """The entry's QuietUninstallString (checked with the entry), as a package manager runs it: no
        boxes, the outcome as exit code."""
        code, boxes, _ = self.m.run_program([self.uninstaller(), "/S"], [], TITLE, log_name, cwd=cwd)
        check(boxes == [], f"no box: {boxes}")
        return code

    def chosen_saver(self):
        return self.m.boot_value(), self.m.sandbox.reg_value("HKCU\\Control Panel\\Desktop", "ScreenSaveActive")

    def expect_installed(self):
        """Everything in place, as the setup leaves it."""
        expect_installed(self.m)
        self.expect_registered()

    def expect_registered(self):
        check(self.listed().count(PRODUCT) == 1, f"listed once among the installed programs: {self.listed()}")
        values = self.m.sandbox.reg_values(self.m.entry_key())
        uninstaller = f"C:\\windows\\marigoldfiles\\{UNINSTALLER}"
        payload = [pathlib.Path(self.m.args.saver), pathlib.Path(self.m.args.uninstaller)]
        payload += [pathlib.Path(self.m.args.assets) / name for name in ASSETS]
        size_kb = (sum(p.stat().st_size for p in payload) + 1023) // 1024
        expected = {"DisplayName": PRODUCT, "DisplayVersion": "1.00", "VersionMajor": "0x1", "VersionMinor": "0x0",
                    "Publisher": "LUMAVERT", "DisplayIcon": "C:\\windows\\Marigold.scr,0", "UninstallString": f'"{uninstaller}"',
                    "QuietUninstallString": f'"{uninstaller}" /S', "URLInfoAbout": self.m.args.url,
                    "InstallLocation": "C:\\windows\\marigoldfiles", "EstimatedSize": hex(size_kb),
                    "NoModify": "0x1", "NoRepair": "0x1"}
        found = {name: values.get(name) for name in expected}
        check(found == expected, f"the entry's values: {found}")
        today = datetime.date.today()  # the local date of the installation, or of the day before at midnight
        dates = [f"{day:%Y%m%d}" for day in (today, today - datetime.timedelta(days=1))]
        check(values.get("InstallDate") in dates, f"installed on {values.get('InstallDate')}, expected one of {dates}")

    def expect_removed(self, folder_at_restart=False, in_use=False):
        """Nothing of Marigold left within seconds of the uninstaller's end (its own file goes once it has
        ended); for the next restart only what is still in use: the emptied asset folder another program
        has as its current folder, the screen saver running as a preview (`in_use`)."""
        m = self.m
        leftovers = lambda: [name for name in m.new_in_windows() if not (folder_at_restart and name == "marigoldfiles")]
        deadline = time.time() + 15 * SLOW
        while time.time() < deadline and len(leftovers()) > (1 if in_use else 0):
            time.sleep(0.3)
        expect_nothing_installed(m, folder_at_restart)
        check(PRODUCT not in self.listed(), f"no longer listed: {self.listed()}")
        check(self.reg("query", PUBLISHER_KEY).returncode != 0, "no settings key, no publisher key")
        check(self.chosen_saver() == (PREVIOUS_SAVER, "1"),
              f"the screen saver chosen before is active again: {self.chosen_saver()}")
        left, pending = leftovers(), m.pending_deletions()
        if folder_at_restart or in_use:
            check(len(left) == (1 if in_use else 0) and all(name.startswith("old") and name.endswith(".tmp") for name in left),
                  f"nothing left in the Windows folder but the screen saver in use, moved aside: {left}")
            check(all(f"c:\\windows\\{name}" in pending for name in left), f"and it goes at the next restart: {left}, {pending}")
        else:
            check(left == [] and pending == [], f"nothing left in the Windows folder, nothing for the next restart: {left}, {pending}")

    def expect_gone_after_restart(self):
        self.m.restart()
        check(self.m.new_in_windows() == [], f"after a restart nothing is left: {self.m.new_in_windows()}")


def scenario_remove(args, display):
    r = Removal(args, display)
    r.m.install()
    r.expect_registered()
    check(r.chosen_saver()[0].lower() == "c:\\windows\\marigold.scr", f"Marigold is active: {r.chosen_saver()}")
    code, boxes, trace = r.remove(["y", "Return"], box_calls=True)
    check(boxes == [ASK_REMOVE, REMOVED], f"the question, then: removed: {boxes}")
    expect_boxes(trace, [(ASK_REMOVE, MB_YESNO_QUESTION), (REMOVED, MB_OK_INFORMATION)], TITLE)
    # The shortcuts, the record of the screen saver from before and the settings, with the user's own rights.
    expect_user_rights(trace, [pathlib.PurePosixPath(path).parent.name for path in SHORTCUTS.values()] +
                       [SETTINGS_KEY[5:], PUBLISHER_KEY[5:]])
    r.expect_removed()


def scenario_remove_no(args, display):
    r = Removal(args, display)
    r.m.install()
    uninstaller = r.uninstaller()
    code, boxes, _ = r.m.run_program([uninstaller], ["n"], TITLE, "remove-no")
    check(boxes == [ASK_REMOVE] and code == EXIT_DECLINED, f"only the question, declined: {boxes}, exit code {code}")
    r.expect_installed()
    # A setup waiting at its question keeps the uninstaller out: it would put back what is removed.
    setup = r.m.sandbox.start(args.setup, env=display.env())
    if check(display.wait_for_window(SETUP_TITLE, timeout=60, gone=lambda: setup.poll() is not None),
             "a setup asks its question"):
        code, boxes, _ = r.m.run_program([uninstaller, "/S"], [], TITLE, "remove-beside-setup")
        check(code == EXIT_SETUP_RUNNING and boxes == [], f"the uninstaller does not start beside it: exit code {code}")
        display.answer(SETUP_TITLE, "n", lambda: setup.poll() is not None)
    setup.wait(timeout=60)
    r.expect_installed()


def scenario_remove_quietly(args, display):
    """The quiet command, then the setup again on the same machine: install, remove, install works. A
    first try meets an entry that cannot go yet (another tool keeps a key in it): the uninstaller is
    back where the entry says, its emptied folder made again, for the next try."""
    r = Removal(args, display)
    r.m.install()
    held_entry = r.m.entry_key() + "\\Held"
    r.reg("add", held_entry, "/f")
    code = r.remove_quietly(log_name="remove-entry-held")
    check(code == EXIT_FAILED and r.uninstaller().exists() and r.listed().count(PRODUCT) == 1,
          f"failed, the uninstaller still there and listed: exit code {code}, {r.listed()}")
    r.reg("delete", held_entry, "/f")
    # Started in its own folder, as Explorer starts a program opened there: it leaves that folder, which
    # then goes too. On 64-bit Windows Wine's launcher waits in that folder, as a command prompt there
    # would: then the emptied folder goes at the next restart.
    held = args.windows == "64"
    code = r.remove_quietly(cwd=r.m.windows / "marigoldfiles")
    check(code == (EXIT_AT_RESTART if held else EXIT_REMOVED), f"removed (folder held: {held}): exit code {code}")
    r.expect_removed(folder_at_restart=held)
    if held:
        r.expect_gone_after_restart()
    r.m.install(log_name="setup-again")
    r.expect_installed()


def scenario_remove_keeps_others(args, display):
    """A file the user put into the product's folder stays. (A shortcut the user changed stays too: the
    shortcuts' unit test, and the removal's sequence test that it does not fail the removal.)"""
    r = Removal(args, display)
    r.m.install()
    m = r.m
    own = m.windows / "marigoldfiles" / "my notes.txt"
    own.write_text("mine")
    m.sandbox.give_to_wine_user(own)
    check(r.remove_quietly() == EXIT_REMOVED, "exit code 0: removed")
    check(own.read_text() == "mine", "the user's own file stays, and so does its folder")
    check(sorted(p.name for p in own.parent.iterdir()) == [own.name], "nothing of ours is left beside it")
    check(not (m.windows / "Marigold.scr").exists() and PRODUCT not in r.listed(), "the rest is removed")


def scenario_remove_while_previewing(args, display):
    r = Removal(args, display)
    r.m.install()
    # The preview runs from the asset folder, so that folder cannot go before the next restart either.
    preview = Preview(r.m, cwd=r.m.windows / "marigoldfiles")
    check(preview.shown, "the installed screen saver runs as a preview")
    # Started as the entry's command is, so that its exit code can be read.
    code, boxes, _ = r.m.run_program([r.uninstaller()], ["y", "Return"], TITLE, "remove")
    check(boxes == [ASK_REMOVE, REMOVED_AT_RESTART] and code == EXIT_AT_RESTART,
          f"removed, the rest at the next restart: {boxes}, exit code {code}")
    r.expect_removed(folder_at_restart=True, in_use=True)
    preview.end()
    r.expect_gone_after_restart()


def scenario_remove_after_failure(args, display):
    """An installation that stopped halfway (a folder in the way of a picture) can still be removed;
    the folder in the way is not ours and stays."""
    r = Removal(args, display)
    in_the_way = r.m.windows / "marigoldfiles" / "pumpkin1.bmp"
    in_the_way.mkdir(parents=True)
    r.m.sandbox.give_to_wine_user(in_the_way.parent)
    r.m.install(FAILURE)
    check(r.remove_quietly() == EXIT_REMOVED, "exit code 0: removed")
    check(sorted(p.name for p in in_the_way.parent.iterdir()) == ["pumpkin1.bmp"], "only the folder in the way is left")
    check(not (r.m.windows / "Marigold.scr").exists() and PRODUCT not in r.listed(), "the rest is removed")


def scenario_remove_through_links(args, display):
    """Folder links swapped in after the install, as an unelevated program of the user could: the
    Favorites, Desktop and Programs folders now lead to folders outside the profile that hold files
    named like ours, with our very bytes. The quiet removal deletes none of them, and removes Marigold."""
    r = Removal(args, display)
    r.m.install()
    m = r.m
    paths = m.shortcut_paths()
    decoys = []
    for name in ("favorite", "desktop", "programs"):
        folder = paths[name].parent
        decoy = m.windows / f"decoy {name}"
        decoy.mkdir()
        shutil.copy(paths[name], decoy)
        decoys.append((decoy / paths[name].name, paths[name].read_bytes()))
        folder.rename(folder.with_name(folder.name + " aside"))
        os.symlink(decoy, folder)
        m.sandbox.give_to_wine_user(decoy)
    check(r.remove_quietly() == EXIT_REMOVED, "exit code 0: removed")
    for decoy, content in decoys:
        check(decoy.exists() and decoy.read_bytes() == content, f"{decoy} outside the profile stays")
    check(not paths["start menu"].exists(), "the Start Menu's link, in a real folder, is gone")
    check(not (m.windows / "Marigold.scr").exists() and not (m.windows / "marigoldfiles").exists() and PRODUCT not in r.listed(),
          "Marigold is removed")


def run_hidden(m, *command):
    """Runs `command` where no one can see it; returns its whole exit code (None when it was still
    running after a minute) and the boxes it showed."""
    env = dict(m.display.env(), WINEDEBUG="+msgbox")
    done = m.sandbox.run(m.args.station, str(int(60 * SLOW)), *command, env=env, timeout=300 * SLOW)
    code = re.search(r"^exit (\d+)", done.stdout, re.M)
    return (int(code.group(1)) if code else None), message_box_texts(done.stderr)


def scenario_unattended(args, display):
    """As a deployment agent running as the system runs them, where no one can see them: the setup acts
    as on No, the uninstaller without /S as on No; an unknown switch does nothing, even where a box could
    be seen; /S removes, leaving nothing for the next restart. Exit codes are read whole, inside Windows."""
    r = Removal(args, display)
    m = r.m
    uninstaller = f"C:\\windows\\marigoldfiles\\{UNINSTALLER}"
    system_ini = (m.windows / "system.ini").read_bytes()
    outcome = run_hidden(m, "Z:" + str(pathlib.Path(args.setup).resolve()).replace("/", "\\"))
    check(outcome == (0, []), f"the setup ends with 0 and shows nothing: {outcome}")
    expect_nothing_installed(m)
    check((m.windows / "system.ini").read_bytes() == system_ini and not m.browser_record.exists() and
          not m.control_launches(), "and changes and opens nothing")

    m.install()
    for command, expected in (((uninstaller,), 1602), ((uninstaller, "/quiet"), 1639)):
        outcome = run_hidden(m, *command)
        check(outcome == (expected, []), f"{command[1:]}: exit code {expected} and no box: {outcome}")
    # Which switches are unknown is the command line's unit test.
    code, boxes, _ = m.run_program([r.uninstaller(), "/VERYSILENT"], [], TITLE, "unknown-switch")
    check(code == 1639 % 256 and boxes == [], f"an unknown switch on the desktop: exit code {code}, no box: {boxes}")
    r.expect_installed()

    outcome = run_hidden(m, uninstaller, "/S")
    check(outcome == (0, []), f"/S removes without a box: {outcome}")
    r.expect_removed()


def main():
    return run_scenario(machine_arguments("uninstaller", "helper", "station"), globals())


if __name__ == "__main__":
    sys.exit(main())
