#!/usr/bin/env python3
"""Draws the small looping animations of the navigation view's group headers: controller,
display, settings, measurement processing, sensor and bank. Writes navi/<name>.gif
(GIF89a, transparent background) next to this script. Python 3 only; shares the GIF
encoder of make_splash_gif.py."""

import math
import os
import struct

from make_splash_gif import lzw, sub_blocks

SIZE = 28
CLEAR = 0  # transparent

PALETTE = [
    (255, 255, 255),  # 0 transparent
    (34, 44, 70),     # 1 outline
    (70, 86, 124),    # 2 body
    (120, 138, 180),  # 3 body light
    (200, 210, 230),  # 4 face
    (30, 200, 30),    # 5 green (incident)
    (255, 50, 50),    # 6 red (blocked)
    (240, 200, 0),    # 7 amber
    (20, 20, 255),    # 8 blue
    (120, 240, 120),  # 9 light green
    (255, 160, 160),  # 10 light red
    (255, 240, 150),  # 11 light amber
    (150, 170, 255),  # 12 light blue
    (90, 90, 90),     # 13 grey
    (235, 240, 248),  # 14 near white
    (16, 24, 48),     # 15 dark screen
]


class Canvas:
    def __init__(self):
        self.px = [[CLEAR] * SIZE for _ in range(SIZE)]

    def dot(self, x, y, c):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.dot(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1):
            self.dot(x, y0, c)
            self.dot(x, y1 - 1, c)
        for y in range(y0, y1):
            self.dot(x0, y, c)
            self.dot(x1 - 1, y, c)

    def line(self, x0, y0, x1, y1, c):
        steps = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(steps + 1):
            self.dot(round(x0 + (x1 - x0) * i / steps), round(y0 + (y1 - y0) * i / steps), c)


def controller(n):
    """A controller box whose three status lamps light one after another."""
    c = Canvas()
    c.rect(3, 6, 25, 23, 2)
    c.rect(4, 7, 24, 12, 3)
    c.frame(3, 6, 25, 23, 1)
    c.rect(6, 15, 22, 20, 15)
    for i, (on, off) in enumerate(((5, 9), (7, 11), (6, 10))):
        lit = n % 6 // 2 == i
        c.rect(6 + i * 6, 8, 10 + i * 6, 11, on if lit else 13)
    # a scrolling level trace on the small screen
    for x in range(7, 21):
        y = 17 + round(1.5 * math.sin((x + n * 2) * 0.7))
        c.dot(x, y, 9)
    c.rect(5, 23, 9, 25, 1)
    c.rect(19, 23, 23, 25, 1)
    return c.px, 6


def display(n):
    """A monitor whose level bars rise and fall."""
    c = Canvas()
    c.rect(2, 4, 26, 21, 1)
    c.rect(4, 6, 24, 19, 15)
    c.rect(12, 21, 16, 24, 2)
    c.rect(8, 24, 20, 25, 1)
    heights = [6, 9, 11, 8, 5, 10]
    for i, h in enumerate(heights):
        level = max(2, min(12, h + round(3 * math.sin(n * math.pi / 4 + i * 1.1))))
        colour = 5 if level >= 5 else (7 if level >= 3 else 6)
        c.rect(5 + i * 3, 18 - level, 7 + i * 3, 18, colour)
    c.line(4, 13, 23, 13, 12)
    return c.px, 8


def settings(n):
    """A gear that turns."""
    c = Canvas()
    cx = cy = (SIZE - 1) / 2
    teeth = 8
    turn = n * (2 * math.pi / teeth) / 8
    for y in range(SIZE):
        for x in range(SIZE):
            dx, dy = x - cx, y - cy
            r = math.hypot(dx, dy)
            a = (math.atan2(dy, dx) - turn) % (2 * math.pi / teeth)
            tooth = a < (2 * math.pi / teeth) * 0.45
            if r <= 3.2:
                continue
            if r <= 8.6 or (tooth and r <= 12.2):
                edge = r > 7.6 and not tooth or (tooth and r > 11.2) or r <= 4.2
                c.dot(x, y, 1 if edge else (3 if dy < 0 else 2))
    return c.px, 8


def measurement(n):
    """A judgement lamp: beams are counted and the result turns ON and OFF."""
    c = Canvas()
    c.rect(2, 3, 26, 25, 1)
    c.rect(3, 4, 25, 24, 14)
    for i in range(5):
        blocked = (n + i) % 8 < 3
        c.rect(5, 6 + i * 3, 15, 8 + i * 3, 6 if blocked else 5)
    on = n % 8 < 4
    c.rect(17, 8, 23, 14, 7 if on else 13)
    c.frame(17, 8, 23, 14, 1)
    c.rect(17, 16, 23, 22, 13 if on else 8)
    c.frame(17, 16, 23, 22, 1)
    return c.px, 8


def sensor(n):
    """An emitter and a receiver; a light spot scans down the beams."""
    c = Canvas()
    for x in (3, 21):
        c.rect(x, 2, x + 4, 26, 2)
        c.frame(x, 2, x + 4, 26, 1)
    beams = 6
    for i in range(beams):
        y = 4 + i * 4
        scan = n % beams == i
        c.rect(7, y, 21, y + 1, 9 if scan else 5)
        c.dot(5, y, 11 if scan else 3)
        c.dot(22, y, 11 if scan else 3)
    return c.px, 10


def bank(n):
    """Four stacked banks; the selected one glows in turn."""
    c = Canvas()
    for i in range(4):
        y = 4 + i * 5
        lit = n % 4 == i
        c.rect(5, y, 23, y + 4, 12 if lit else 3)
        c.frame(5, y, 23, y + 4, 1)
        c.rect(7, y + 1, 9, y + 3, 7 if lit else 2)
        c.line(11, y + 2, 20, y + 2, 14 if lit else 2)
    return c.px, 4


ANIMATIONS = {
    "controller": (controller, 12, 20),
    "display": (display, 8, 12),
    "settings": (settings, 8, 10),
    "measurement": (measurement, 8, 14),
    "sensor": (sensor, 6, 10),
    "bank": (bank, 4, 40),
}


def encode(draw, frames, delay_cs):
    colour_bits = 4
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", SIZE, SIZE, 0x80 | ((colour_bits - 1) << 4) | (colour_bits - 1),
                       0, 0)
    for r, g, b in PALETTE:
        gif += bytes((r, g, b))
    gif += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for n in range(frames):
        px, _ = draw(n)
        indices = [c for row in px for c in row]
        # disposal 2 (restore to background), transparent colour 0
        gif += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, (2 << 2) | 1, delay_cs, CLEAR, 0)
        gif += struct.pack("<BHHHHB", 0x2C, 0, 0, SIZE, SIZE, 0)
        gif.append(colour_bits)
        gif += sub_blocks(lzw(indices, colour_bits))
    gif.append(0x3B)
    return bytes(gif)


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "navi")
    os.makedirs(folder, exist_ok=True)
    for name, (draw, frames, delay) in ANIMATIONS.items():
        path = os.path.join(folder, name + ".gif")
        data = encode(draw, frames, delay)
        with open(path, "wb") as f:
            f.write(data)
        print(path, len(data), "bytes")


if __name__ == "__main__":
    main()
