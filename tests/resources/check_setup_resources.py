#!/usr/bin/env python3
"""Reads the setup executable's resources with pefile (no Wine): exactly the expected resources, the
payloads byte for byte, the string table and the icon group (its version record is pe_check.py's)."""
import os
import struct
import sys

import pefile

from checks import check, failures
from product import SETUP_STRINGS

ENGLISH_US = 1033
RT_ICON, RT_STRING, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 6, 10, 14, 16, 24


def main():
    setup, saver, uninstaller, assets = sys.argv[1:5]
    payloads = {
        ("MYBITMAP", 149): "ghost.bmp", ("MYBITMAP", 150): "skeleton.bmp", ("MYBITMAP", 154): "pumpkin1.bmp",
        ("MYBITMAP", 146): "pumpkin2.bmp", ("MYBITMAP", 147): "pumpkin3.bmp", ("WAVE", 155): "boom1.wav",
    }
    payloads = {key: os.path.join(assets, name) for key, name in payloads.items()}
    payloads[(RT_RCDATA, 129)] = saver
    payloads[(RT_RCDATA, 130)] = uninstaller
    pe = pefile.PE(setup)

    # Every resource, as (type, name) -> [(language, bytes)].
    found = {}
    for rtype in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        type_key = str(rtype.name) if rtype.name is not None else rtype.id
        for entry in rtype.directory.entries:
            name_key = str(entry.name) if entry.name is not None else entry.id
            for lang in entry.directory.entries:
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                found.setdefault((type_key, name_key), []).append((lang.id, data))

    icon_ids = sorted(name for (t, name) in found if t == RT_ICON)
    expected = set(payloads) | {(RT_GROUP_ICON, 128), (RT_VERSION, 1), (RT_STRING, 7), (RT_STRING, 3585), (RT_MANIFEST, 1)}
    expected |= {(RT_ICON, i) for i in icon_ids}
    listed = set(found)
    check(listed == expected, f"resources {sorted(map(str, listed))}, expected {sorted(map(str, expected))}")
    for key in sorted(listed, key=str):
        langs = [lang for lang, _ in found[key]]
        check(langs == [ENGLISH_US], f"{key}: languages {langs}")

    def data(key):
        return found.get(key, [(None, b"")])[0][1]

    for key, file in payloads.items():
        source = open(file, "rb").read()
        check(data(key) == source, f"{key}: {len(data(key))} bytes, the same as {file} ({len(source)} bytes)")

    # String table: blocks of sixteen counted UTF-16 strings, block n holding ids 16(n-1) to 16n-1.
    for sid, text in SETUP_STRINGS.items():
        block, index, pos = data((RT_STRING, sid // 16 + 1)), sid % 16, 0
        value = None
        for i in range(16):
            if pos + 2 > len(block):
                break
            (count,) = struct.unpack_from("<H", block, pos)
            if i == index:
                value = block[pos + 2:pos + 2 + 2 * count].decode("utf-16-le")
            pos += 2 + 2 * count
        check(value == text, f"string {sid}: {value!r}")

    # Icon group: two 32 x 32 images, 1 and 4 bits per pixel, each image agreeing with its entry.
    group = data((RT_GROUP_ICON, 128))
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    check(kind == 1 and count == 2 and len(group) == 6 + 14 * count, f"icon group: type {kind}, {count} images")
    depths = []
    for i in range(count):
        w, h, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        image = data((RT_ICON, icon_id))
        header = struct.unpack_from("<IiiHH", image, 0) if len(image) >= 16 else (0, 0, 0, 0, 0)
        check((w, h) == (32, 32) and len(image) == size, f"icon {icon_id}: {w}x{h}, {len(image)} of {size} bytes")
        check(header[1:3] == (32, 64) and header[4] == bits, f"icon {icon_id}: image header {header}")
        check(colours == {1: 2, 4: 16}.get(bits), f"icon {icon_id}: {colours} colours at {bits} bits")
        depths.append(bits)
    check(sorted(depths) == [1, 4], f"icon depths {depths}")

    print(f"{setup}: {len(found)} resources, {len(failures)} problem(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
