#!/usr/bin/env python3
"""Checks a Windows executable with an independent PE reader: machine, subsystem, and that it
imports only DLLs that ship with Windows (static runtime: no libgcc, libstdc++ or winpthread)."""
import argparse
import sys

import pefile

MACHINES = {"i686": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
            "x86_64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]}
SUBSYSTEMS = {"GUI": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
              "CONSOLE": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"]}
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "version.dll", "comctl32.dll", "comdlg32.dll", "winmm.dll", "msvcrt.dll",
    "shlwapi.dll", "uuid.dll", "ntdll.dll", "psapi.dll",
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--machine", required=True, choices=sorted(MACHINES))
    parser.add_argument("--subsystem", required=True, choices=sorted(SUBSYSTEMS))
    parser.add_argument("exe")
    args = parser.parse_args()

    pe = pefile.PE(args.exe)
    problems = []
    if pe.FILE_HEADER.Machine != MACHINES[args.machine]:
        problems.append(f"machine 0x{pe.FILE_HEADER.Machine:x}, expected {args.machine}")
    if pe.OPTIONAL_HEADER.Subsystem != SUBSYSTEMS[args.subsystem]:
        problems.append(f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, expected {args.subsystem}")
    imports = [entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    if not imports:
        problems.append("no import table")
    foreign = [dll for dll in imports if dll not in SYSTEM_DLLS]
    if foreign:
        problems.append("imports non-system DLLs: " + ", ".join(foreign))
    print(f"{args.exe}: machine 0x{pe.FILE_HEADER.Machine:x}, subsystem {pe.OPTIONAL_HEADER.Subsystem}, imports {', '.join(imports)}")
    for p in problems:
        print("FAIL: " + p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
