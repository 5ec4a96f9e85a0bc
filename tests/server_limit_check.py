#!/usr/bin/env python3
"""A program run with a file-size limit (the "disk full" cases) keeps the limit to itself.

A wineserver inherits the limits of whichever program starts it, and serves every program of its
prefix. Started under a 64 KB limit it can neither save the registry nor make any program's shared
memory larger than that (CreateFileMapping fails with ERROR_NOT_ENOUGH_MEMORY), so programs beside
the limited one fail."""
import os
import pathlib
import shutil
import subprocess
import sys

import wine_session
from checks import check, failures


def server_file_limits(prefix):
    """The "Max file size" line of every wineserver serving `prefix`."""
    limits = []
    for proc in pathlib.Path("/proc").iterdir():
        try:
            if not (proc / "exe").resolve().name.startswith("wineserver"):
                continue
            environ = (proc / "environ").read_bytes().split(b"\0")
            if f"WINEPREFIX={prefix}".encode() not in environ:
                continue
            limits += [line for line in (proc / "limits").read_text().splitlines() if line.startswith("Max file size")]
        except OSError:
            continue  # ended meanwhile, or not ours to read
    return limits


def main():
    # A sandbox of its own, so that no server runs yet: the limited program is the one that needs one.
    root = pathlib.Path(os.environ["MARIGOLD_BUILD_DIR"]) / "server-limit"
    sandbox = wine_session.Sandbox(root, os.environ.get("MARIGOLD_WINE_ARCH", "x86_64"))
    sandbox.stop()
    try:
        # Not through a pipe: Wine's services, started by the first program, would hold it open.
        ran = subprocess.run([wine_session.WINE_RUN, "--root", str(root), "--arch", sandbox.arch, "--file-limit", "64",
                              "--", "cmd", "/c", "exit"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
        check(ran.returncode == 0, f"a program runs under a file-size limit (exit {ran.returncode})")
        limits = server_file_limits(sandbox.root / "prefix")
        check(len(limits) == 1 and limits[0].split()[3:5] == ["unlimited", "unlimited"],
              f"its server has no file-size limit: {limits}")
    finally:
        sandbox.stop()
        shutil.rmtree(root, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
