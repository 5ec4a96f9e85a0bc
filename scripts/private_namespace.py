#!/usr/bin/env python3
"""Runs a command as root of a new user and mount namespace that maps every user as it is outside,
so that what is mounted there (binfmt_misc, where the kernel keeps one per user namespace) is seen by
the command and its children only. Exit code 97: this kernel gives no such namespace; 98: it gives no
binfmt_misc of its own there (Linux before 6.7).

    private_namespace.py [--i386 EMULATOR|refuse] COMMAND [ARGS...]
    private_namespace.py --i386-rule EMULATOR

--i386 gives the namespace a binfmt_misc of its own in which 32-bit x86 programs run through EMULATOR,
or, with "refuse", fail as on a kernel that runs no 32-bit programs ("Exec format error"): the 64-bit
twin's tests then see such a kernel also where this one runs them. --i386-rule prints the rule, for
registering it with the machine's own binfmt_misc where there is no private one."""
import ctypes
import os
import sys

CLONE_NEWUSER = 0x10000000
CLONE_NEWNS = 0x00020000
MS_REC = 0x4000
MS_PRIVATE = 0x40000
ALL_IDS = "0 0 4294967295\n"
BINFMT = "/proc/sys/fs/binfmt_misc"
# i386 ELF executables: the header's class, data, version and machine, any OS ABI and type of executable.
I386_MAGIC = r"\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00"
I386_MASK = r"\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff"


def i386_rule(interpreter):
    """The binfmt_misc rule; F: the interpreter is opened now, so it works in any mount namespace."""
    return f":marigold-i386:M::{I386_MAGIC}:{I386_MASK}:{interpreter}:F"


def private_binfmt(libc, emulator):
    """This mount namespace's own binfmt_misc, with 32-bit programs run through `emulator`, or refused:
    their interpreter is then an empty file, which no binary format takes, so that exec fails with
    ENOEXEC as the kernel's own refusal does. It lives in memory, where any file system may be noexec."""
    if libc.mount(b"none", b"/", None, MS_REC | MS_PRIVATE, None) != 0 or \
            libc.mount(b"binfmt_misc", BINFMT.encode(), b"binfmt_misc", 0, None) != 0:
        os._exit(98)
    if emulator == "refuse":
        emulator = f"/proc/self/fd/{os.memfd_create('no-32-bit-programs')}"
    with open(f"{BINFMT}/register", "w") as register:
        register.write(i386_rule(emulator))


def main():
    args = sys.argv[1:]
    if args[:1] == ["--i386-rule"]:
        print(i386_rule(args[1]), end="")
        return 0
    emulator = None
    if args[:1] == ["--i386"]:
        emulator, args = args[1], args[2:]
    libc = ctypes.CDLL(None, use_errno=True)
    ready_read, ready_write = os.pipe()
    go_read, go_write = os.pipe()
    child = os.fork()
    if child == 0:
        if libc.unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0:
            os.write(ready_write, b"n")
            os._exit(97)
        os.write(ready_write, b"y")
        # Only the parent may hold the write end: should it fail or die before "go", the read ends
        # instead of leaving an orphan that keeps the caller's output open.
        os.close(go_write)
        if os.read(go_read, 1) != b"x":
            os._exit(97)
        if emulator:
            private_binfmt(libc, emulator)
        os.execvp(args[0], args)
    os.close(ready_write)
    try:
        if os.read(ready_read, 1) == b"y":
            # Root outside may map all users one to one: the same users inside, with the same files.
            # Anyone else may not (PermissionError).
            for name in ("uid_map", "gid_map"):
                with open(f"/proc/{child}/{name}", "w") as f:
                    f.write(ALL_IDS)
            os.write(go_write, b"x")
    finally:
        os.close(go_write)
        _, status = os.waitpid(child, 0)
    return os.waitstatus_to_exitcode(status)


if __name__ == "__main__":
    sys.exit(main())
