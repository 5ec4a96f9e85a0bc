#!/usr/bin/env python3
"""Checks a Windows executable with an independent PE reader (pefile).

Every executable: machine, subsystem, imports only from DLLs that ship with Windows (static runtime:
no libgcc, libstdc++ or winpthread), and the safe-loading flags: ASLR with its relocations kept, DEP,
high-entropy addresses where the format has them, no section both writable and executable, Terminal-Server aware.

What ships (--product setup|saver|uninstaller) also: imports only from the DLLs the system protects (so
none can be planted beside it), its embedded manifest (execution level, DPI awareness, common controls 6, the
supported systems), its version record, the saver's use of the whole address space (large-address aware,
which a 32-bit image must ask for), and whether it carries an Authenticode signature."""
import argparse
import sys
import xml.etree.ElementTree as ElementTree

import pefile

from checks import check, failures

MACHINES = {"i686": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"],
            "x86_64": pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"]}
SUBSYSTEMS = {"GUI": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
              "CONSOLE": pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_CUI"]}
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "version.dll", "comctl32.dll", "comdlg32.dll", "winmm.dll", "msvcrt.dll",
    "shlwapi.dll", "uuid.dll", "ntdll.dll", "psapi.dll",
}
# The system's protected ("known") DLLs that the products may import: the loader takes these from
# the system folder whatever lies beside the program.
PROTECTED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll", "msvcrt.dll"}

DYNAMIC_BASE = 0x0040
HIGH_ENTROPY_VA = 0x0020
NX_COMPAT = 0x0100
TERMINAL_SERVER_AWARE = 0x8000
RELOCS_STRIPPED = 0x0001
LARGE_ADDRESS_AWARE = 0x0020
SECTION_WRITE = 0x80000000
SECTION_EXECUTE = 0x20000000
RT_MANIFEST = 24

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
SUPPORTED_OS = {  # Vista, 7, 8, 8.1, 10 and 11
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}
COMMON_CONTROLS = ("Microsoft.Windows.Common-Controls", "6.0.0.0", "6595b64144ccf1df")
PRODUCTS = {
    "setup": {"level": "requireAdministrator", "dpiAware": "true", "dpiAwareness": None},
    "saver": {"level": "asInvoker", "dpiAware": "true/pm", "dpiAwareness": "PerMonitorV2, PerMonitor"},
    "uninstaller": {"level": "requireAdministrator", "dpiAware": "true", "dpiAwareness": None},
}
# Every program's version record is the one block resources/version_record.rc makes: its "FileVersion"
# decides whether an installed copy is kept, and the fixed versions must say the same.
COMMON_VERSION = {"CompanyName": "LUMAVERT", "FileVersion": "1.00", "LegalCopyright": "Copyright (C) 2026 LUMAVERT",
                  "LegalTrademarks": "", "PrivateBuild": "", "ProductName": "Marigold Screen Saver", "ProductVersion": "1.00",
                  "SpecialBuild": ""}
FIXED_VERSION = (0x10000, 1, 0x10000, 1)  # 1.0.0.1, file and product
VERSIONS = {
    "setup": {"Comments": "Installs the Marigold screen saver and makes it the active screen saver.",
              "FileDescription": "Screen Saver Setup", "InternalName": "Screen Saver Setup", "OriginalFilename": "MarigoldSetup.exe"},
    "saver": {"Comments": "A Halloween night: a ghost, a skeleton and bursting pumpkins.",
              "FileDescription": "Marigold Screen Saver", "InternalName": "Marigold", "OriginalFilename": "Marigold.scr"},
    "uninstaller": {"Comments": "Removes the Marigold screen saver from this computer.",
                    "FileDescription": "Marigold Screen Saver Uninstall", "InternalName": "uninstall",
                    "OriginalFilename": "uninstall.exe"},
}


def check_safe_loading(pe):
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    check(flags & DYNAMIC_BASE, "ASLR (dynamic base)")
    check(flags & NX_COMPAT, "DEP compatible (NX)")
    check(flags & TERMINAL_SERVER_AWARE, "Terminal-Server aware (the real Windows folder on a session host)")
    if pe.OPTIONAL_HEADER.Magic == pefile.OPTIONAL_HEADER_MAGIC_PE_PLUS:
        check(flags & HIGH_ENTROPY_VA, "high-entropy addresses (64-bit image)")
    relocations = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
    check(not pe.FILE_HEADER.Characteristics & RELOCS_STRIPPED and relocations.Size > 0,
          "relocations kept: the image can be moved")
    for section in pe.sections:
        both = section.Characteristics & (SECTION_WRITE | SECTION_EXECUTE) == SECTION_WRITE | SECTION_EXECUTE
        name = section.Name.rstrip(b"\0").decode(errors="replace")
        check(not both, f"section {name} is not both writable and executable")


def resource(pe, type_id, name_id):
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return None
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if rtype.id != type_id:
            continue
        for entry in rtype.directory.entries:
            if entry.id == name_id:
                lang = entry.directory.entries[0]
                return pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
    return None


def check_manifest(pe, product):
    expected = PRODUCTS[product]
    data = resource(pe, RT_MANIFEST, 1)
    if not check(data is not None, "an application manifest (RT_MANIFEST 1)"):
        return
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        check(False, f"manifest is well-formed XML: {error}")
        return
    check(root.tag == f"{{{ASM_V1}}}assembly", f"manifest root {root.tag}")
    levels = root.findall(f".//{{{ASM_V3}}}requestedExecutionLevel")
    check([(e.get("level"), e.get("uiAccess")) for e in levels] == [(expected["level"], "false")],
          f"execution level {[(e.get('level'), e.get('uiAccess')) for e in levels]}, expected {expected['level']}")
    aware = [e.text.strip() for e in root.findall(f".//{{{ASM_V3}}}windowsSettings/{{{SETTINGS_2005}}}dpiAware")]
    check(aware == [expected["dpiAware"]], f"dpiAware {aware}, expected {expected['dpiAware']}")
    awareness = [e.text.strip() for e in root.findall(f".//{{{ASM_V3}}}windowsSettings/{{{SETTINGS_2016}}}dpiAwareness")]
    wanted = [expected["dpiAwareness"]] if expected["dpiAwareness"] else []
    check(awareness == wanted, f"dpiAwareness {awareness}, expected {wanted}")
    systems = {e.get("Id") for e in root.findall(f".//{{{COMPATIBILITY}}}supportedOS")}
    check(systems == SUPPORTED_OS, f"supportedOS {sorted(systems)}")
    dependencies = [(e.get("name"), e.get("version"), e.get("publicKeyToken"))
                    for e in root.findall(f"{{{ASM_V1}}}dependency/{{{ASM_V1}}}dependentAssembly/{{{ASM_V1}}}assemblyIdentity")]
    check(dependencies == [COMMON_CONTROLS], f"dependencies {dependencies}, expected common controls 6")


def version_record(pe):
    """The version record's string tables by language ("040904b0": {key: text}) and its translations
    ("0x0409 0x04b0")."""
    tables, translations = {}, []
    for info in getattr(pe, "FileInfo", []):
        for entry in info if isinstance(info, list) else [info]:
            for table in getattr(entry, "StringTable", []):
                tables[table.LangID.decode().lower()] = {k.decode(): v.decode() for k, v in table.entries.items()}
            for var in getattr(entry, "Var", []):
                translations.append(var.entry.get(b"Translation"))
    return tables, translations


def check_version(pe, product):
    if not check(hasattr(pe, "FileInfo"), "a version record"):
        return
    tables, translations = version_record(pe)
    check(list(tables) == ["040904b0"], f"string tables {list(tables)}")
    check(tables.get("040904b0") == {**COMMON_VERSION, **VERSIONS[product]}, f"version strings {tables.get('040904b0')}")
    check(translations == ["0x0409 0x04b0"], f"translations {translations}")
    fixed = pe.VS_FIXEDFILEINFO[0]
    versions = (fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS, fixed.ProductVersionLS)
    check(versions == FIXED_VERSION, f"fixed versions {[hex(v) for v in versions]}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--machine", required=True, choices=sorted(MACHINES))
    parser.add_argument("--subsystem", required=True, choices=sorted(SUBSYSTEMS))
    parser.add_argument("--product", choices=sorted(PRODUCTS))
    parser.add_argument("--signed", choices=["yes", "no"], help="whether an Authenticode signature must be there")
    parser.add_argument("exe")
    args = parser.parse_args()

    pe = pefile.PE(args.exe)
    check(pe.FILE_HEADER.Machine == MACHINES[args.machine],
          f"machine 0x{pe.FILE_HEADER.Machine:x}, expected {args.machine}")
    check(pe.OPTIONAL_HEADER.Subsystem == SUBSYSTEMS[args.subsystem],
          f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, expected {args.subsystem}")
    imports = [entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    check(imports, "an import table")
    allowed = PROTECTED_DLLS if args.product else SYSTEM_DLLS
    foreign = [dll for dll in imports if dll not in allowed]
    check(not foreign, "imports only DLLs of " + ("the protected system set" if args.product else "Windows") +
          ": " + ", ".join(foreign))
    delayed = [entry.dll.decode().lower() for entry in getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])]
    check(not (args.product and delayed), f"no delay-loaded DLLs (resolved by name, from the program's folder first): {delayed}")
    check_safe_loading(pe)
    if args.product:
        check_manifest(pe, args.product)
        check_version(pe, args.product)
    if args.product == "saver":
        # A frame buffer per monitor: beyond 2 GB on a 64-bit Windows rather than out of memory.
        check(pe.FILE_HEADER.Characteristics & LARGE_ADDRESS_AWARE, "large-address aware")
    if args.signed:
        security = pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]]
        check((security.Size > 0) == (args.signed == "yes"),
              "signed" if args.signed == "yes" else "not signed (no certificate configured)")

    print(f"{args.exe}: machine 0x{pe.FILE_HEADER.Machine:x}, subsystem {pe.OPTIONAL_HEADER.Subsystem}, "
          f"flags 0x{pe.OPTIONAL_HEADER.DllCharacteristics:x}, imports {', '.join(imports)}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
