"""Driving Windows GUI programs under Wine for the run command and the end-to-end tests: a virtual
display, throwaway copies of a sandbox prefix, and message boxes answered with real keys."""
import os
import pathlib
import re
import shutil
import subprocess
import time

from product import WINE_USER

HERE = pathlib.Path(__file__).resolve().parent
WINE_RUN = str(HERE / "wine-run.sh")
# Where Windows programs are emulated, every wait is this many times longer.
SLOW = float(os.environ.get("MARIGOLD_SLOW", "1"))


class VirtualDisplay:
    """Xvfb on a free display number, without access control (Wine runs as another user)."""

    def __init__(self, size="1024x768x24"):
        self.size = size
        self.proc = None
        self.name = None

    def __enter__(self):
        for number in range(90, 190):
            if os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            proc = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", self.size, "-ac", "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(50):
                # Two runs started together may pick the same number: the display is ours only when
                # the server that holds its lock is the one started here (the other gives up).
                if os.path.exists(f"/tmp/.X11-unix/X{number}") and self._lock_holder(number) == proc.pid:
                    self.proc, self.name = proc, f":{number}"
                    return self
                if proc.poll() is not None or self._lock_holder(number) not in (None, proc.pid):
                    break
                time.sleep(0.1)
            proc.kill()
            proc.wait()
        raise RuntimeError("no free X display for Xvfb")

    @staticmethod
    def _lock_holder(number):
        try:
            return int(pathlib.Path(f"/tmp/.X{number}-lock").read_text().strip())
        except (OSError, ValueError):
            return None

    def __exit__(self, *exc):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(timeout=10)

    def env(self):
        return dict(os.environ, DISPLAY=self.name)

    def xdotool(self, *args, check=False):
        return subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True, check=check)

    def find_windows(self, title):
        """Visible windows with exactly this title (Wine also keeps unmapped helper windows)."""
        out = self.xdotool("search", "--onlyvisible", "--name", f"^{title}$").stdout
        return [w for w in out.split() if w.strip()]

    def stays_gone(self, title, looks=3):
        """No window with this title in several looks a moment apart: on a busy machine a search can
        miss a box that is still up."""
        for look in range(looks):
            if look:
                time.sleep(0.3)
            if self.find_windows(title):
                return False
        return True

    def wait_for_window(self, title, timeout=60.0, gone=lambda: False):
        deadline = time.time() + timeout * SLOW
        while time.time() < deadline and not gone():
            found = self.find_windows(title)
            if found:
                return found[0]
            time.sleep(0.2)
        return None

    def answer(self, title, key, answered, timeout=30.0):
        """Types `key` into the box titled `title` until `answered()` says it took: a box that has only
        just appeared (on a busy machine) may not take input yet. There is no window manager, so the
        box is focused directly."""
        deadline = time.time() + timeout * SLOW
        while time.time() < deadline:
            windows = self.find_windows(title)
            if windows:
                self.xdotool("windowfocus", "--sync", windows[0])
                self.xdotool("key", key)
            for _ in range(10):
                time.sleep(0.2)
                if answered():
                    return True
        return False

    def answer_boxes(self, proc, log, title, keys, screenshot=None):
        """Answers a program's message boxes titled `title` in order, one key each, as they come up;
        Wine's message-box trace (+msgbox) in `log` tells when each box is up and when it has gone.
        `screenshot(index)` names a file for a picture of each box before it is answered. Returns,
        per box answered, the seconds from the box being seen to the key being taken."""
        shown = lambda: pathlib.Path(log).read_text(errors="replace").count("MSGBOX_OnInit")
        ended = lambda: proc.poll() is not None
        latencies = []
        for index, key in enumerate(keys):
            deadline = time.time() + 90 * SLOW
            while shown() <= index and not ended() and time.time() < deadline:
                time.sleep(0.05)
            if not self.wait_for_window(title, timeout=30, gone=ended):
                break
            seen = time.time()
            if screenshot:
                time.sleep(0.3)
                self.screenshot(screenshot(index))
            if not self.answer(title, key, lambda: ended() or shown() > index + 1 or self.stays_gone(title)):
                break
            latencies.append(time.time() - seen)
        return latencies

    def screenshot(self, path):
        subprocess.run(["import", "-window", "root", str(path)], env=self.env(), check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class Sandbox:
    """One Wine sandbox root (prefix + home) in the build folder."""

    def __init__(self, root, arch):
        self.root = pathlib.Path(root)
        self.arch = arch

    @property
    def drive_c(self):
        return self.root / "prefix" / "drive_c"

    def user_dir(self):
        return self.drive_c / "users" / WINE_USER if (self.drive_c / "users" / WINE_USER).exists() \
            else next(p for p in (self.drive_c / "users").iterdir() if p.name != "Public")

    def unix_path(self, windows_path):
        """C:\\windows\\x -> <prefix>/drive_c/windows/x (matching the case of existing entries)."""
        assert windows_path[1:3] == ":\\", windows_path
        path = self.drive_c
        for part in windows_path[3:].split("\\"):
            if not part:
                continue
            match = None
            if path.is_dir():
                match = next((p for p in path.iterdir() if p.name.lower() == part.lower()), None)
            path = match or path / part
        return path

    def init(self):
        subprocess.run([WINE_RUN, "--root", str(self.root), "--arch", self.arch, "--init"], check=True)

    def stop(self):
        subprocess.run([WINE_RUN, "--root", str(self.root), "--arch", self.arch, "--stop"], check=False)

    def copy_to(self, root, stop_first=True):
        """A throwaway copy of this sandbox at `root` (replacing whatever is there). Stopping its server
        first makes the copy consistent; a sandbox that others use meanwhile is copied as it is."""
        if stop_first:
            self.stop()
        root = pathlib.Path(root)
        if (root / "prefix").exists():
            Sandbox(root, self.arch).stop()
        if root.exists():
            shutil.rmtree(root)
        copied = subprocess.run(["cp", "-a", str(self.root), str(root)], stderr=subprocess.PIPE, text=True)
        # A live sandbox's scratch files may vanish during the copy; only a missing prefix is an error.
        if copied.returncode != 0 and (stop_first or not (root / "prefix" / "system.reg").exists()):
            raise RuntimeError(f"copying {self.root} failed: {copied.stderr.strip()}")
        self.give_to_wine_user(root)
        return Sandbox(root, self.arch)

    def start(self, program, *args, env=None, winedebug=None, path_prefix=None, stderr=None, native=None, cwd=None,
              stdin=None, file_limit_kb=None):
        full_env = dict(env or os.environ)
        if native:
            # Our own stand-ins for programs Wine also has built in (e.g. control.exe); "name=mode"
            # entries pass through as they are.
            full_env["MARIGOLD_WINE_DLLOVERRIDES"] = ";".join(name if "=" in name else f"{name}=n" for name in native)
        if winedebug:
            full_env["WINEDEBUG"] = winedebug
        if path_prefix:
            full_env["MARIGOLD_WINE_PATH"] = str(path_prefix)
        where = ["--cwd", str(cwd)] if cwd else []
        limit = ["--file-limit", str(file_limit_kb)] if file_limit_kb else []
        return subprocess.Popen([WINE_RUN, "--root", str(self.root), "--arch", self.arch, *where, *limit, "--", str(program),
                                 *args], env=full_env, stdin=stdin, stdout=subprocess.PIPE,
                                stderr=stderr or subprocess.PIPE, text=True)

    def start_server(self):
        """Starts this prefix's wineserver and keeps it until stop(), so that no program pays for starting it."""
        subprocess.run([WINE_RUN, "--root", str(self.root), "--arch", self.arch, "--shell", "wineserver -p"], check=True)

    def run(self, *command, env=None, timeout=None):
        """Runs a Windows program in this sandbox to its end; returns the finished process (text)."""
        return subprocess.run([WINE_RUN, "--root", str(self.root), "--arch", self.arch, "--", *map(str, command)],
                              env=env, capture_output=True, text=True, timeout=timeout)

    def reg_value(self, key, name):
        """A registry value as `reg query` prints it, or None when the key or the value is not there."""
        return self.reg_values(key, name).get(name)

    def reg_values(self, key, name=None):
        """The values of `key` (only `name` when given) as `reg query` prints them, by name; none when the
        key or the value is not there. A `reg` that fails otherwise (one that Wine could not start, say)
        is an error that shows reg's own output and Wine's errors, not a value that is missing."""
        done = self.run("reg", "query", key, *(["/v", name] if name else []), env=dict(os.environ, WINEDEBUG="-all,err+all"))
        values = dict(re.findall(r"^\s+(\S.*?)\s+REG_\w+\s+(.*?)\s*$", done.stdout, re.M))
        if values or done.returncode == 0:
            return values
        if done.returncode == 1 and re.search(r"^reg: Unable to find the specified registry (key|value)\s*$", done.stdout, re.M):
            return {}
        raise RuntimeError(f"reg query {key} {name or ''} failed with exit status {done.returncode}:\n{done.stdout}{done.stderr}")

    def give_to_wine_user(self, path):
        """Files made here by root must belong to the user Wine runs as."""
        if os.geteuid() == 0:
            subprocess.run(["chown", "-R", WINE_USER, str(path)], check=False)
