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
