#!/usr/bin/env python3
"""Writes the payload files that the installation tests embed: a large blob, a bitmap, a wave file and
an empty file. The bytes are deterministic so that the tests can compare what was installed."""
import struct
import sys
from pathlib import Path

out = Path(sys.argv[1])
out.mkdir(parents=True, exist_ok=True)

# Larger than the real screen saver (196,608 bytes) and not a multiple of anything convenient.
blob = bytes(((i * 31) ^ (i >> 9)) & 0xFF for i in range(200_003))
(out / "blob.bin").write_bytes(blob)

# A 3x2 24-bit bitmap (rows padded to 4 bytes).
width, height = 3, 2
row = bytes([0, 0, 255, 0, 255, 0, 255, 0, 0]) + b"\0" * 3
pixels = row * height
header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
(out / "picture.bmp").write_bytes(header + info + pixels)

# 50 ms of an 8 kHz, 8-bit mono saw tooth.
samples = bytes((i * 7) & 0xFF for i in range(400))
fmt = struct.pack("<HHIIHH", 1, 1, 8000, 8000, 1, 8)
wave = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(samples)) + samples
(out / "chime.wav").write_bytes(b"RIFF" + struct.pack("<I", len(wave)) + wave)

(out / "empty.bin").write_bytes(b"")


# A version record (32-bit layout) whose translation table is cut to a single word, which resource
# compilers refuse to write: embedded as raw RT_VERSION data by a fixture program.
def node(key, value=b"", children=b"", text=False):
    head = key.encode("utf-16-le") + b"\0\0"
    body = bytearray(6 + len(head))
    body[6:] = head
    body += b"\0" * (-len(body) % 4)
    body += value
    if children:
        body += b"\0" * (-len(body) % 4)
        body += children
    value_length = len(value) // 2 if text else len(value)
    struct.pack_into("<HHH", body, 0, len(body), value_length, 1 if text else 0)
    return bytes(body)


def pad(data):
    return data + b"\0" * (-len(data) % 4)


fixed = struct.pack("<13I", 0xFEEF04BD, 0x10000, 0x10000, 0, 0x10000, 0, 0x3F, 0, 4, 1, 0, 0, 0)
strings = node("StringFileInfo", children=node("040904b0", children=node("FileVersion", "4.2\0".encode("utf-16-le"), text=True)))
# The padding after the cut entry holds what its missing half would be (code page 1200), so that only
# the table's recorded length tells that the entry is incomplete.
var = node("VarFileInfo", children=node("Translation", struct.pack("<H", 0x409)) + struct.pack("<H", 1200))
(out / "short_translation.ver").write_bytes(node("VS_VERSION_INFO", fixed, pad(strings) + var))
