#!/usr/bin/env python3
"""Checks the committed pictures and sound with independent tools (ImageMagick, sox, Python's wave)
and that the generator remakes every committed asset byte for byte."""
import os
import re
import struct
import subprocess
import sys
import tempfile
import wave

from checks import check, failures

KEY = (255, 0, 255)
# name: (width, height, bits per pixel, palette colours, file size)
BITMAPS = {
    "ghost.bmp": (141, 106, 24, 0, 45000),
    "skeleton.bmp": (116, 73, 24, 0, 25460),
    "pumpkin1.bmp": (40, 40, 8, 16, 1720),
    "pumpkin2.bmp": (40, 40, 8, 17, 1724),
    "pumpkin3.bmp": (40, 40, 24, 0, 4856),
}
GENERATED = sorted(list(BITMAPS) + ["boom1.wav", "setup.ico", "saver.ico"])


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def check_bitmap(path, width, height, bits, colours, size):
    name = os.path.basename(path)
    data = open(path, "rb").read()
    check(len(data) == size, f"{name}: {len(data)} bytes, expected {size}")
    # The headers as ordinary viewers read them.
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    (_, w, h, _, bpp, compression, image_size, _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    stride = (w * bpp // 8 + 3) & ~3
    check(magic == b"BM" and file_size == len(data), f"{name}: bfSize {file_size} for a file of {len(data)}")
    check((w, h, bpp, compression) == (width, height, bits, 0), f"{name}: {w}x{h} {bpp} bits, compression {compression}")
    check(image_size == stride * h, f"{name}: biSizeImage {image_size}, rows take {stride * h}")
    check(used == colours and offset == 54 + 4 * colours, f"{name}: {used} palette colours at offset {offset}")
    check(offset + image_size + 2 == len(data), f"{name}: pixel rows and two spare bytes fill the file")

    info = run("identify", "-format", "%m %w %h %r", path).split()
    check(info[:3] == ["BMP3", str(width), str(height)], f"{name}: identify says {info}")
    check(info[3] == ("PseudoClass" if colours else "DirectClass"), f"{name}: identify class {info[3]}")
    if colours:
        entries = re.search(r"Colormap entries: (\d+)", run("identify", "-verbose", path))
        check(entries and int(entries.group(1)) == colours, f"{name}: colormap entries {entries and entries.group(1)}")

    # Key-coloured background around a figure that never uses the key colour itself.
    pixels = re.findall(r"^(\d+),(\d+): \((\d+),(\d+),(\d+)", run("convert", path, "-depth", "8", "txt:-"), re.M)
    colour = {(int(x), int(y)): (int(r), int(g), int(b)) for x, y, r, g, b in pixels}
    corners = [colour[0, 0], colour[width - 1, 0], colour[0, height - 1], colour[width - 1, height - 1]]
    check(all(c == KEY for c in corners), f"{name}: corners {corners} are the key colour")
    figure = sum(1 for c in colour.values() if c != KEY)
    check(width * height * 0.2 < figure < width * height * 0.9, f"{name}: figure covers {figure} pixels")
    # A figure pixel next to the key must be a solid colour, not a blend towards magenta.
    pinkish = [p for p, c in colour.items() if c != KEY and c[0] > 200 and c[2] > 200 and c[1] < 60]
    check(not pinkish, f"{name}: no near-key pixels {pinkish[:5]}")


def check_wave(path):
    with wave.open(path) as w:
        params = (w.getnchannels(), w.getsampwidth(), w.getframerate(), w.getcomptype())
        frames = w.readframes(w.getnframes())
        duration = w.getnframes() / w.getframerate()
    check(params == (1, 1, 11025, "NONE"), f"boom1.wav: {params}")
    check(2.0 < duration < 2.2, f"boom1.wav: {duration:.3f} s")
    check(os.path.getsize(path) == 23584, f"boom1.wav: {os.path.getsize(path)} bytes")
    soxi = run("soxi", path)
    check("8-bit Unsigned Integer PCM" in soxi and "11025" in soxi, "boom1.wav: soxi says\n" + soxi)
    # An explosion: loud at once, fading away, centred at 128, and never pinned at the rails.
    rate = 11025

    def loudness(start, end):
        part = frames[int(start * rate):int(end * rate)]
        return (sum((s - 128) ** 2 for s in part) / len(part)) ** 0.5

    check(loudness(0.0, 0.15) > 25, f"boom1.wav: a loud onset ({loudness(0.0, 0.15):.1f})")
    check(loudness(0.0, 0.15) > 3 * loudness(0.8, 1.0) > 3 * loudness(1.9, 2.1), "boom1.wav: decays")
    check(abs(sum(frames) / len(frames) - 128) < 3, "boom1.wav: centred at 128")
    check(min(frames) > 0 and max(frames) < 255, "boom1.wav: no clipped samples")


def main():
    folder = sys.argv[1]
    for name, expected in BITMAPS.items():
        check_bitmap(os.path.join(folder, name), *expected)
    check_wave(os.path.join(folder, "boom1.wav"))
    with tempfile.TemporaryDirectory() as remade:
        subprocess.run([sys.executable, os.path.join(folder, "make_assets.py"), remade], check=True, capture_output=True)
        check(sorted(os.listdir(remade)) == GENERATED, f"generator made {sorted(os.listdir(remade))}")
        for name in GENERATED:
            same = open(os.path.join(remade, name), "rb").read() == open(os.path.join(folder, name), "rb").read()
            check(same, f"{name}: the generator makes the committed file byte for byte")
    print(f"assets: {len(failures)} problem(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
