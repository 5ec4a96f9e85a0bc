#!/usr/bin/env python3
"""What the package step (scripts/deps.sh) decides, against stand-ins on PATH for apt-get, dpkg and
dpkg-query that record their calls, as root on a kernel that runs no 32-bit programs."""
import os
import pathlib
import subprocess
import sys
import tempfile

from checks import check, failures

DEPS = pathlib.Path(__file__).resolve().parent.parent / "scripts" / "deps.sh"
HALF_SYNCED = ("E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/"
               "Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 192.0.2.1 80]")
STAND_INS = {
    "dpkg-query": 'for p in $MISSING; do [ "$p" != "${@: -1}" ] || exit 1; done; printf "install ok installed"',
    "dpkg": 'echo "dpkg $*" >>"$CALLS"; [ "$1" != --print-foreign-architectures ] || echo "$FOREIGN"',
    "apt-get": 'echo "apt-get $*" >>"$CALLS"\n[ "$1" != update ] || [ -z "$INDEX" ] || { echo "$INDEX"; exit 100; }\n'
               'for p in $UNRESOLVABLE; do case " $* " in *" $p "*) printf "The following packages have unmet '
               'dependencies:\\n %s : Depends: libz:i386 but it is not going to be installed\\n" $p; exit 100;; esac; done',
    "id": "echo 0",
    "as": "exit 1",  # the kernel's own answer: it runs no 32-bit programs
}


def deps(*groups, missing="", foreign="i386", unresolvable="", index=""):
    """deps.sh's exit code, output lines and the package tools' calls."""
    with tempfile.TemporaryDirectory() as tmp:
        for name, body in STAND_INS.items():
            (pathlib.Path(tmp) / name).write_text("#!/bin/bash\n" + body + "\n")
            (pathlib.Path(tmp) / name).chmod(0o755)
        calls = pathlib.Path(tmp) / "calls"
        calls.touch()
        env = {k: v for k, v in os.environ.items() if k != "MARIGOLD_TEST_ARCH"}
        env.update(PATH=f"{tmp}:{env['PATH']}", TMPDIR=tmp, CALLS=str(calls), MISSING=missing, FOREIGN=foreign,
                   UNRESOLVABLE=unresolvable, INDEX=index)
        done = subprocess.run(["bash", str(DEPS), *groups], env=env, capture_output=True, text=True)
        return done.returncode, (done.stdout + done.stderr).splitlines(), calls.read_text().splitlines()


code, out, calls = deps("build", "test", "emulation")
check(code == 0 and out == [] and not [c for c in calls if c.startswith("apt-get")], f"nothing missing: no apt call: {calls}")

code, out, calls = deps("emulation", missing="qemu-user-static wine32:i386", foreign="", index=HALF_SYNCED)
check(code == 0 and calls.count("apt-get update -q") == 2 and "dpkg --add-architecture i386" in calls
      and [line for line in out if "bookworm-security main i386" in line and line.startswith("Warning:")] == out[1:2]
      and any(c.startswith("apt-get install") and c.endswith("qemu-user-static wine32:i386") for c in calls),
      f"an index that fails is read once more, named in one warning, and the install goes on: {out} {calls}")

code, out, calls = deps("test", "emulation", missing="sox wine32:i386", unresolvable="wine32:i386")
check(code == 0 and out[-1].startswith("Not installed: 32-bit Wine (wine32:i386): its dependencies cannot be met (apt "
                                       "names wine32:i386)") and len(out) == 2
      and any(c.startswith("apt-get install -y") and c.endswith(" sox") for c in calls),
      f"a 32-bit Wine that cannot be resolved is said in one line, the rest installed, a prior i386 kept: {out} {calls}")
code, out, calls = deps("test", "emulation", missing="sox wine32:i386", unresolvable="wine32:i386", foreign="")
check(out[-1].startswith("Removed again: the i386") and calls[-1] == "dpkg --remove-architecture i386",
      f"the i386 architecture this run added for a 32-bit Wine that did not get in is removed again: {out} {calls}")
code, out, calls = deps("test", missing="sox", unresolvable="sox")
check(code == 1 and out[1:] == ["FAIL: sox cannot be installed (its dependencies cannot be met (apt names sox)); "
                                "'apt-get install --no-install-recommends sox' shows apt's whole answer."]
      and all("--no-remove" in c for c in calls if " install " in f" {c} "),
      f"a needed package that cannot be installed fails in one sentence, nothing removed or forced: {out} {calls}")

code, out, calls = deps("run", missing="wine wine32:i386", foreign="")
check(code == 0 and not [c for c in calls if "i386" in c and "print-foreign" not in c],
      f"the run command asks for no i386 package on a kernel without 32-bit support: {calls}")
sys.exit(1 if failures else 0)
