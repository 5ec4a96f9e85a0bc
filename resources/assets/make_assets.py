#!/usr/bin/env python3
"""Draws the screen saver's pictures, its sound and the two icons.

Pure standard library and fully deterministic, so the committed files can be remade byte for byte:

    python3 resources/assets/make_assets.py [OUTPUT_DIR]      (default: this script's folder)

Every bitmap uses pure magenta RGB(255,0,255) as its background key, which the screen saver masks out;
no figure pixel ever has that exact colour. Figures are drawn as signed distance fields and supersampled:
a pixel belongs to the figure when most of its samples do, and then takes the average of the figure
samples only, so the interior is smooth while the outline stays hard against the key colour.
"""
import math
import os
import random
import struct
import sys

KEY = (255, 0, 255)
SUPERSAMPLE = 4
TRAILING_PAD = b"\0\0"  # the bitmaps end with two spare bytes after the pixel rows


# --- signed distance fields (negative inside) ------------------------------------------------------

def circle(x, y, cx, cy, r):
    return math.hypot(x - cx, y - cy) - r


def ellipse(x, y, cx, cy, a, b):
    return (math.hypot((x - cx) / a, (y - cy) / b) - 1.0) * min(a, b)


def rotated_ellipse(x, y, cx, cy, a, b, angle):
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = x - cx, y - cy
    return ellipse(c * dx + s * dy, -s * dx + c * dy, 0, 0, a, b)


def capsule(x, y, ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(x - ax - t * vx, y - ay - t * vy) - r


def box(x, y, x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius
    qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
    return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - radius


def triangle(x, y, p0, p1, p2):
    # Distance to the nearest edge line, negative inside (good enough for small carved shapes).
    pts = (p0, p1, p2)
    area = (p1[0] - p0[0]) * (p2[1] - p0[1]) - (p1[1] - p0[1]) * (p2[0] - p0[0])
    sign = 1.0 if area > 0 else -1.0
    d = -1e9
    for i in range(3):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % 3]
        inside = sign * ((bx - ax) * (y - ay) - (by - ay) * (x - ax)) / math.hypot(bx - ax, by - ay)
        d = max(d, -inside)
    return d


def smooth_union(a, b, k):
    h = max(0.0, min(1.0, 0.5 + 0.5 * (b - a) / k))
    return b * (1 - h) + a * h - k * h * (1 - h)


def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(c0[i] + (c1[i] - c0[i]) * t for i in range(3))


def scale(c, f):
    return tuple(min(255.0, max(0.0, v * f)) for v in c)


# --- rendering -------------------------------------------------------------------------------------

def render(figure, width, height, zoom=1.0, offset=(0.0, 0.0)):
    """Rows top to bottom of RGB tuples (or KEY). figure(x, y) gives a colour or None in design units."""
    n = SUPERSAMPLE
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n - offset[0]) / zoom
                    y = (py + (sy + 0.5) / n - offset[1]) / zoom
                    c = figure(x, y)
                    if c is not None:
                        hits += 1
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
            if hits * 2 > n * n:
                colour = tuple(int(round(v / hits)) for v in acc)
                if colour == KEY:
                    colour = (254, 0, 254)
                row.append(colour)
            else:
                row.append(KEY)
        rows.append(row)
    return rows


# --- the figures -----------------------------------------------------------------------------------

GHOST_WHITE = (250, 250, 255)
GHOST_SHADE = (150, 165, 205)
GHOST_OUTLINE = (70, 80, 120)


def ghost(x, y):
    hem = 88 + 5.0 * math.sin((x - 30) / 72 * 2 * math.pi * 2.5)
    body = smooth_union(circle(x, y, 70, 40, 33), box(x, y, 37, 40, 103, 100, 4), 6)
    body = max(body, y - hem)
    arm_l = rotated_ellipse(x, y, 30, 56, 16, 7, 0.55)
    arm_r = rotated_ellipse(x, y, 111, 50, 16, 7, -0.7)
    d = smooth_union(smooth_union(body, arm_l, 5), arm_r, 5)
    if d > 1.3:
        return None
    if d > 0:
        return GHOST_OUTLINE
    # Light from the upper left: soft shading towards the lower right and the edges.
    light = math.hypot(x - 55, y - 25) / 85
    edge = max(0.0, 1 + d / 7)
    col = mix(GHOST_WHITE, GHOST_SHADE, 0.75 * light ** 1.6 + 0.35 * edge)
    # Eyes with a glint, a small open mouth, rosy cheeks.
    for ex in (58, 82):
        e = ellipse(x, y, ex, 38, 6, 9)
        if e < 0:
            if circle(x, y, ex - 2, 34, 2.2) < 0:
                return (255, 255, 255)
            return (25, 25, 40)
    m = ellipse(x, y, 70, 56, 6, 5)
    if m < 0:
        return (110, 30, 50) if y < 57.5 or abs(x - 70) > 3 else (230, 110, 130)
    for cx in (48, 92):
        ch = ellipse(x, y, cx, 50, 6, 3.5)
        if ch < 0:
            col = mix(col, (255, 170, 185), 0.6 * min(1.0, -ch / 2))
    return col


BONE = (240, 234, 214)
BONE_SHADE = (180, 170, 140)
BONE_OUTLINE = (55, 50, 45)


def skeleton(x, y):
    cx = 58
    parts = [
        # spine, collar bones, pelvis
        capsule(x, y, cx, 22, cx, 48, 1.6),
        capsule(x, y, cx - 12, 24, cx + 12, 24, 1.5),
        rotated_ellipse(x, y, cx, 49, 7.5, 3.2, 0),
        # arms waving up: upper arm, forearm, hands
        capsule(x, y, cx - 12, 24, cx - 27, 32, 1.6),
        capsule(x, y, cx - 27, 32, cx - 42, 18, 1.5),
        circle(x, y, cx - 44, 15, 2.6),
        capsule(x, y, cx - 44, 15, cx - 48, 10, 0.9),
        capsule(x, y, cx - 44, 15, cx - 45, 9, 0.9),
        capsule(x, y, cx - 44, 15, cx - 41, 9, 0.9),
        capsule(x, y, cx + 12, 24, cx + 27, 32, 1.6),
        capsule(x, y, cx + 27, 32, cx + 42, 18, 1.5),
        circle(x, y, cx + 44, 15, 2.6),
        capsule(x, y, cx + 44, 15, cx + 48, 10, 0.9),
        capsule(x, y, cx + 44, 15, cx + 45, 9, 0.9),
        capsule(x, y, cx + 44, 15, cx + 41, 9, 0.9),
        # legs standing apart, with feet
        capsule(x, y, cx - 5, 51, cx - 9, 60, 1.8),
        capsule(x, y, cx - 9, 60, cx - 11, 68, 1.6),
        capsule(x, y, cx - 12, 69.5, cx - 18, 69.5, 1.4),
        capsule(x, y, cx + 5, 51, cx + 9, 60, 1.8),
        capsule(x, y, cx + 9, 60, cx + 11, 68, 1.6),
        capsule(x, y, cx + 12, 69.5, cx + 18, 69.5, 1.4),
        # knobbly joints
        circle(x, y, cx - 27, 32, 2.2), circle(x, y, cx + 27, 32, 2.2),
        circle(x, y, cx - 9, 60, 2.3), circle(x, y, cx + 9, 60, 2.3),
        circle(x, y, cx - 12, 24, 2.0), circle(x, y, cx + 12, 24, 2.0),
    ]
    # Ribs: curved bands around the chest.
    for i, ry in enumerate((28, 32, 36, 40)):
        half = 10 - i * 1.2
        parts.append(abs(ellipse(x, y, cx, ry - 3, half, 5)) - 1.1 if y > ry - 3 else 99)
    skull = smooth_union(circle(x, y, cx, 10, 9), box(x, y, cx - 5, 13, cx + 5, 20, 2), 3)
    parts.append(skull)
    d = min(parts)
    if d > 1.2:
        return None
    if d > 0:
        return BONE_OUTLINE
    if skull < 0:
        for ex in (cx - 3.8, cx + 3.8):
            if ellipse(x, y, ex, 10, 2.8, 3.2) < 0:
                return (20, 15, 15) if circle(x, y, ex, 10.5, 0.9) > 0 else (255, 120, 40)
        if triangle(x, y, (cx, 13), (cx - 1.5, 16), (cx + 1.5, 16)) < 0:
            return (30, 25, 25)
        if 17.3 < y < 19.6 and abs(x - cx) < 4.2:
            return (60, 50, 45) if (x - cx + 4.2) % 2.1 < 0.5 or abs(y - 18.4) < 0.3 else BONE
    shade = min(1.0, max(0.0, 1 + d / 1.6))
    return mix(BONE, BONE_SHADE, 0.8 * shade)


PUMPKIN_LIGHT = (255, 168, 40)
PUMPKIN_DARK = (190, 75, 0)
PUMPKIN_RIB = (150, 55, 5)
PUMPKIN_OUTLINE = (90, 35, 5)
GLOW_CORE = (255, 245, 150)
GLOW_EDGE = (250, 170, 20)
STEM = (70, 110, 30)
STEM_DARK = (40, 70, 20)


def pumpkin_face_1(x, y):
    # Triangle eyes, triangle nose, zigzag grin.
    return min(
        triangle(x, y, (12, 19), (18, 19), (15, 13.5)),
        triangle(x, y, (22, 19), (28, 19), (25, 13.5)),
        triangle(x, y, (20, 20.5), (18, 24), (22, 24)),
        max(ellipse(x, y, 20, 27, 11, 6), -(y - 26.5 + 2.2 * abs(math.sin((x - 9) * math.pi / 4.4)))),
    )


def pumpkin_face_2(x, y):
    # Round eyes, round nose, wide smile with one tooth left standing.
    smile = max(ellipse(x, y, 20, 25, 12, 8), -ellipse(x, y, 20, 21, 13, 7.5))
    tooth = box(x, y, 18.6, 28, 21.4, 34)
    return min(circle(x, y, 14, 16.5, 3.3), circle(x, y, 26, 16.5, 3.3),
               circle(x, y, 20, 22.5, 1.6), max(smile, -tooth))


def pumpkin_face_3(x, y):
    # Slanted, cross eyes and a jagged, toothy mouth.
    eyes = min(triangle(x, y, (10, 14), (18, 17.5), (14, 20)), triangle(x, y, (30, 14), (22, 17.5), (26, 20)))
    nose = triangle(x, y, (20, 20), (18.2, 23.5), (21.8, 23.5))
    mouth = box(x, y, 10, 25, 30, 31, 2.5)
    teeth = min(triangle(x, y, (13, 25), (17, 25), (15, 28.2)), triangle(x, y, (23, 25), (27, 25), (25, 28.2)),
                triangle(x, y, (18, 31), (22, 31), (20, 27.8)))
    return min(eyes, nose, max(mouth, -teeth))


def pumpkin_lobes(x, y):
    """A pumpkin's body, one wide lobe between two narrower ones (40 x 40 pixels)."""
    return min(ellipse(x, y, 20, 22, 17.5, 15), ellipse(x, y, 13, 22.5, 10.5, 13.5), ellipse(x, y, 27, 22.5, 10.5, 13.5))


def make_pumpkin(face):
    def pumpkin(x, y):
        stem = capsule(x, y, 20, 9, 22.5, 3, 2.2)
        lobes = pumpkin_lobes(x, y)
        d = min(lobes, stem)
        if d > 1.1:
            return None
        if d > 0:
            return PUMPKIN_OUTLINE
        if stem < 0 and (lobes > -1.5 or y < 9):
            return STEM_DARK if stem > -0.9 or x > 22.6 else STEM
        hole = face(x, y)
        if hole < 0:
            return mix(GLOW_CORE, GLOW_EDGE, 1 + hole / 1.3)
        if hole < 0.8:
            return PUMPKIN_OUTLINE
        # Ribs: darker bands curving with the pumpkin's surface.
        u = (x - 20) / 17.5
        rib = min(abs(u * 1.0 - k) for k in (-0.72, -0.36, 0.0, 0.36, 0.72))
        light = math.hypot(x - 14, y - 14) / 26
        col = mix(PUMPKIN_LIGHT, PUMPKIN_DARK, light ** 1.3 + 0.4 * max(0.0, 1 + lobes / 3))
        if rib < 0.05:
            col = mix(col, PUMPKIN_RIB, 0.75)
        return col
    return pumpkin


# --- file formats ----------------------------------------------------------------------------------

def bmp_24(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + b"\0" * (stride - len(line))
    return bmp_file(width, height, 24, b"", 0, bytes(pixels))


def bmp_8(rows, palette):
    height, width = len(rows), len(rows[0])
    stride = (width + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytes(nearest(palette, c) for c in row)
        pixels += line + b"\0" * (stride - len(line))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return bmp_file(width, height, 8, table, len(palette), bytes(pixels))


def bmp_file(width, height, bits, palette, colours, pixels):
    offset = 14 + 40 + len(palette)
    total = offset + len(pixels) + len(TRAILING_PAD)
    header = struct.pack("<2sIHHI", b"BM", total, 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835, colours, colours)
    return header + info + palette + pixels + TRAILING_PAD


def nearest(palette, colour, avoid=0):
    """Index of the closest palette colour; the key colour maps to slot 0, which nothing else gets."""
    if colour == KEY:
        return 0
    best, best_d = None, None
    for i, p in enumerate(palette):
        if i == avoid:
            continue
        d = sum((p[k] - colour[k]) ** 2 for k in range(3))
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


PUMPKIN_PALETTE_16 = [
    KEY, PUMPKIN_OUTLINE, PUMPKIN_RIB, (170, 62, 2), PUMPKIN_DARK, (215, 100, 10), (235, 130, 20),
    (248, 150, 30), PUMPKIN_LIGHT, (255, 190, 80), GLOW_EDGE, (253, 205, 80), GLOW_CORE, STEM, STEM_DARK,
    (20, 10, 0),
]
PUMPKIN_PALETTE_17 = PUMPKIN_PALETTE_16 + [(255, 225, 120)]


def boom_wave():
    rate, samples = 11025, 23540
    rng = random.Random(1031)
    out = bytearray()
    low = mid = 0.0
    for n in range(samples):
        t = n / rate
        attack = min(1.0, t / 0.004)
        envelope = attack * (0.55 * math.exp(-t / 0.09) + 0.45 * math.exp(-t / 0.55))
        noise = rng.uniform(-1.0, 1.0)
        # Two one-pole low-passes: a crack that fades fast, and a rumble that stays.
        mid += 0.35 * (noise - mid)
        low += 0.06 * (noise - low)
        crack = mid * math.exp(-t / 0.06)
        rumble = low * 3.2 + 0.35 * math.sin(2 * math.pi * 38 * t) * math.exp(-t / 0.7)
        value = envelope * (0.6 * crack + 0.9 * rumble)
        value = math.tanh(1.6 * value) / math.tanh(1.6)  # gentle saturation instead of hard clipping
        out.append(max(1, min(255, 128 + int(round(value * 118)))))
    data = bytes(out)
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate, 1, 8)
    return (b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + len(data)) + b"WAVE" +
            b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data)


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def vga_nearest(colour, x, y):
    return 0 if colour == KEY else nearest(VGA16, colour, avoid=13)


def vga_pumpkin(colour, x, y):
    """Sixteen colours have no orange: the lit skin becomes a red and yellow checker."""
    r, g, b = colour
    if colour == KEY:
        return 0
    if g > r:
        return 2  # stem
    if r > 240 and g > 180:
        return 11  # glowing face
    if r < 175:
        return 1  # outline, ribs and the face's rim
    if g > 140:
        return 11 if (x + y) % 2 else 9  # highlight
    return 9


def icon_image(rows, bits, pick=vga_nearest):
    """One icon image (BITMAPINFOHEADER, palette, XOR bits, AND mask) of a 32 x 32 picture."""
    size = 32
    if bits == 4:
        palette = VGA16
    else:
        palette = [(0, 0, 0), (255, 255, 255)]
        pick = lambda c, x, y: 0 if c == KEY or sum(c) < 3 * 150 else 1
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        y = size - 1 - len(mask) // 4
        indices = [pick(c, x, y) for x, c in enumerate(row)]
        line = bytearray()
        if bits == 4:
            for i in range(0, size, 2):
                line.append(indices[i] << 4 | indices[i + 1])
        else:
            for i in range(0, size, 8):
                line.append(sum(indices[i + k] << (7 - k) for k in range(8)))
        xor += line
        m = bytearray()
        for i in range(0, size, 8):
            m.append(sum((row[i + k] == KEY) << (7 - k) for k in range(8)))
        mask += m
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask), 0, 0, 0, 0)
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + table + bytes(xor) + bytes(mask)


def icon_file(rows_mono, rows_colour, pick=vga_nearest):
    images = [(icon_image(rows_mono, 1), 2, 1), (icon_image(rows_colour, 4, pick), 16, 4)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for data, colours, bits in images:
        out += struct.pack("<BBBBHHII", 32, 32, colours if colours < 256 else 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    return out + b"".join(data for data, _, _ in images)


def mono_pumpkin(x, y):
    # Two colours only: a white pumpkin with a black outline, ribs and face.
    stem = capsule(x, y, 20, 9, 22.5, 3, 2.4)
    lobes = pumpkin_lobes(x, y)
    d = min(lobes, stem)
    if d > 1.6:
        return None
    if d > -0.4 or stem < 0 or pumpkin_face_1(x, y) < 0.3:
        return (0, 0, 0)
    u = (x - 20) / 17.5
    if min(abs(u - k) for k in (-0.6, 0.6)) < 0.04 and pumpkin_face_1(x, y) > 2:
        return (0, 0, 0)
    return (255, 255, 255)


def mono_ghost(x, y):
    colour = ghost(x, y)
    if colour is None:
        return None
    return (255, 255, 255) if sum(colour) > 3 * 140 else (0, 0, 0)


def build():
    pumpkins = [make_pumpkin(f) for f in (pumpkin_face_1, pumpkin_face_2, pumpkin_face_3)]
    icon_zoom = 32 / 41
    ghost_zoom = 32 / 143
    ghost_offset = (0.0, (32 - 106 * ghost_zoom) / 2)
    return {
        "ghost.bmp": bmp_24(render(ghost, 141, 106)),
        "skeleton.bmp": bmp_24(render(skeleton, 116, 73)),
        "pumpkin1.bmp": bmp_8(render(pumpkins[0], 40, 40), PUMPKIN_PALETTE_16),
        "pumpkin2.bmp": bmp_8(render(pumpkins[1], 40, 40), PUMPKIN_PALETTE_17),
        "pumpkin3.bmp": bmp_24(render(pumpkins[2], 40, 40)),
        "boom1.wav": boom_wave(),
        "setup.ico": icon_file(render(mono_pumpkin, 32, 32, icon_zoom, (0.4, 0.4)),
                               render(pumpkins[0], 32, 32, icon_zoom, (0.4, 0.4)), vga_pumpkin),
        "saver.ico": icon_file(render(mono_ghost, 32, 32, ghost_zoom, ghost_offset),
                               render(ghost, 32, 32, ghost_zoom, ghost_offset)),
    }


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    os.makedirs(target, exist_ok=True)
    for name, data in build().items():
        with open(os.path.join(target, name), "wb") as f:
            f.write(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
