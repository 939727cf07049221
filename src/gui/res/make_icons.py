#!/usr/bin/env python3
"""Draws the Qavix icon: an area scanner seen from the front, the emitter bar on the left,
the receiver bar on the right and the beams between them, one of them blocked.

Writes icons/qavix.svg and icons/qavix-<n>.png for the sizes the desktop asks for, from the
same list of shapes, so the scalable and the fixed sizes never disagree. Needs only Python 3.
Run it again after changing a shape."""

import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
CANVAS = 256

BACK = (0x1F, 0x3A, 0x5F)
BAR = (0xD8, 0xDE, 0xE6)
LENS = (0x2B, 0x2F, 0x36)
BEAM = (0x3C, 0xD2, 0x4B)
BLOCKED = (0xF0, 0x46, 0x46)

# (kind, x, y, w, h, radius, colour) on a 256 x 256 canvas.
SHAPES = [("rect", 8, 8, 240, 240, 44, BACK),
          ("rect", 36, 34, 36, 188, 10, BAR),
          ("rect", 184, 34, 36, 188, 10, BAR)]
for i, y in enumerate(range(56, 210, 30)):
    blocked = i == 3
    SHAPES.append(("rect", 50, y - 5, 10, 10, 3, LENS))
    SHAPES.append(("rect", 196, y - 5, 10, 10, 3, LENS))
    if blocked:
        SHAPES.append(("rect", 72, y - 4, 44, 8, 4, BEAM))
        SHAPES.append(("rect", 116, y - 14, 26, 28, 6, BLOCKED))
    else:
        SHAPES.append(("rect", 72, y - 4, 112, 8, 4, BEAM))


def hex_colour(c):
    return "#%02x%02x%02x" % c


def write_svg(path):
    lines = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 256 256">', "  <title>Qavix</title>"]
    for _, x, y, w, h, r, c in SHAPES:
        lines.append('  <rect x="%d" y="%d" width="%d" height="%d" rx="%d" fill="%s"/>'
                     % (x, y, w, h, r, hex_colour(c)))
    lines.append("</svg>")
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def inside(px, py, x, y, w, h, r):
    if px < x or py < y or px >= x + w or py >= y + h:
        return False
    cx = min(max(px, x + r), x + w - r)
    cy = min(max(py, y + r), y + h - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def render(size):
    grid = 4  # samples per pixel along each axis
    scale = CANVAS / size
    rows = []
    for j in range(size):
        row = bytearray()
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sj in range(grid):
                for si in range(grid):
                    px = (i + (si + 0.5) / grid) * scale
                    py = (j + (sj + 0.5) / grid) * scale
                    colour = None
                    for _, x, y, w, h, r, c in SHAPES:
                        if inside(px, py, x, y, w, h, r):
                            colour = c
                    if colour is not None:
                        acc[0] += colour[0]
                        acc[1] += colour[1]
                        acc[2] += colour[2]
                        acc[3] += 255
            n = grid * grid
            alpha = acc[3] / n
            if alpha > 0:
                row += bytes((round(acc[0] * 255 / acc[3]), round(acc[1] * 255 / acc[3]),
                              round(acc[2] * 255 / acc[3]), round(alpha)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return rows


def write_png(path, size, rows):
    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    raw = b"".join(b"\0" + r for r in rows)
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def main():
    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "icons")
    os.makedirs(here, exist_ok=True)
    write_svg(os.path.join(here, "qavix.svg"))
    for size in SIZES:
        write_png(os.path.join(here, "qavix-%d.png" % size), size, render(size))


if __name__ == "__main__":
    main()
