#!/usr/bin/env python3
"""Draws the add-in's ribbon icons and writes them as RGBA PNG files.

usage: draw_icons.py OUTPUT_DIR [--preview FILE]

Every shape is a test "is this point inside", sampled 8 x 8 times per
pixel, so edges are smooth and the alpha channel carries the coverage.
Colours are mid tones with a darker rim, so each icon reads on a light and
on a dark ribbon. --preview writes all icons on a light and a dark strip
for a person to look at.
"""
import math
import os
import struct
import sys
import zlib

SAMPLES = 8


def png(width, height, rows):
    """rows: list of bytes objects of width*4 RGBA bytes (straight alpha)."""
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    def inside(x, y):
        d1, d2, d3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return not ((d1 < 0 or d2 < 0 or d3 < 0) and (d1 > 0 or d2 > 0 or d3 > 0))
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def gear(cx, cy, outer, inner, teeth):
    def inside(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        angle = math.atan2(dy, dx) * teeth / (2 * math.pi)
        tooth = (angle - math.floor(angle)) < 0.5
        return d <= (outer if tooth else inner)
    return inside


def bubble(x0, y0, x1, y1):
    """A speech bubble in the unit square, its tail at the lower left."""
    h = y1 - y0
    body = rounded_rect(x0, y0, x1, y1 - 0.22 * h, 0.18 * h)
    tail = triangle((x0 + 0.18 * (x1 - x0), y1 - 0.3 * h), (x0 + 0.45 * (x1 - x0), y1 - 0.3 * h),
                    (x0 + 0.08 * (x1 - x0), y1))
    return union(body, tail)


def grow(shape, by):
    """The shape widened by `by` (in unit-square coordinates), for rims."""
    offsets = [(by * math.cos(a), by * math.sin(a)) for a in (k * math.pi / 4 for k in range(8))]
    return lambda x, y: shape(x, y) or any(shape(x + dx, y + dy) for dx, dy in offsets)


# Layers are drawn in order: (shape, (r, g, b)).
def send_sms(px):
    rim = 1.0 / px
    shape = bubble(0.06, 0.1, 0.94, 0.92)
    dots = union(*(circle(cx, 0.43, 0.075) for cx in (0.3, 0.5, 0.7)))
    return [(grow(shape, rim), (0x1A, 0x4F, 0x8F)), (shape, (0x3C, 0x8D, 0xE0)), (dots, (0xFF, 0xFF, 0xFF))]


def batch_reminders(px):
    rim = 1.0 / px
    page = rounded_rect(0.06, 0.1, 0.8, 0.86, 0.08)
    header = lambda x, y: page(x, y) and y < 0.3
    grid = union(*(rounded_rect(0.16 + 0.2 * c, 0.38 + 0.15 * r, 0.28 + 0.2 * c, 0.47 + 0.15 * r, 0.01)
                   for c in range(3) for r in range(3)))
    small = bubble(0.5, 0.52, 0.97, 0.98)
    return [(grow(page, rim), (0x55, 0x55, 0x5E)), (page, (0xF4, 0xF4, 0xF6)), (header, (0xD2, 0x3F, 0x3F)),
            (grid, (0x8A, 0x8F, 0x99)), (grow(small, rim), (0x1A, 0x4F, 0x8F)), (small, (0x3C, 0x8D, 0xE0))]


def sms_options(px):
    rim = 1.0 / px
    wheel = minus(gear(0.5, 0.5, 0.46, 0.34, 8), circle(0.5, 0.5, 0.14))
    return [(grow(wheel, rim), (0x33, 0x3A, 0x44)), (wheel, (0x8C, 0x98, 0xA8))]


ICONS = {"send_sms": send_sms, "batch_reminders": batch_reminders, "sms_options": sms_options}


def render(layers_of, px):
    layers = layers_of(px)
    rows = []
    for py in range(px):
        row = bytearray()
        for pxl in range(px):
            acc = [0.0, 0.0, 0.0]
            covered = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (pxl + (sx + 0.5) / SAMPLES) / px
                    y = (py + (sy + 0.5) / SAMPLES) / px
                    colour = None
                    for shape, rgb in layers:
                        if shape(x, y):
                            colour = rgb
                    if colour:
                        covered += 1
                        for i in range(3):
                            acc[i] += colour[i]
            if covered:
                row += bytes(round(acc[i] / covered) for i in range(3)) + bytes([round(255 * covered / SAMPLES ** 2)])
            else:
                row += b"\x00\x00\x00\x00"
        rows.append(bytes(row))
    return rows


def preview(images, path):
    """Every icon on a light and on a dark strip, at twice its size."""
    backgrounds = [(0xF3, 0xF3, 0xF3), (0x26, 0x26, 0x26)]
    width = sum(2 * px + 8 for _, px, _ in images) + 8
    height = len(backgrounds) * (64 + 16)
    canvas = [[backgrounds[(y // 80)] for _ in range(width)] for y in range(height)]
    for band, _ in enumerate(backgrounds):
        x0 = 8
        for _, px, rows in images:
            for y in range(2 * px):
                for x in range(2 * px):
                    r, g, b, a = rows[y // 2][4 * (x // 2):4 * (x // 2) + 4]
                    bg = canvas[band * 80 + 8 + y][x0 + x]
                    canvas[band * 80 + 8 + y][x0 + x] = tuple(round((c * a + k * (255 - a)) / 255)
                                                               for c, k in zip((r, g, b), bg))
            x0 += 2 * px + 8
    rows = [b"".join(bytes(p) + b"\xff" for p in line) for line in canvas]
    with open(path, "wb") as out:
        out.write(png(width, height, rows))


def main(argv):
    if len(argv) not in (2, 4) or (len(argv) == 4 and argv[2] != "--preview"):
        print(__doc__, file=sys.stderr)
        return 64
    os.makedirs(argv[1], exist_ok=True)
    images = []
    for name, layers_of in ICONS.items():
        for px in (16, 32):
            rows = render(layers_of, px)
            images.append((name, px, rows))
            with open(os.path.join(argv[1], f"{name}_{px}.png"), "wb") as out:
                out.write(png(px, px, rows))
    if len(argv) == 4:
        preview(images, argv[3])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
