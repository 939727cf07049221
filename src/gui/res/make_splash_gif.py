#!/usr/bin/env python3
"""Draws the splash animation: a light curtain between an emitter and a receiver column,
with an object passing through the beams, which turn from incident (green) to blocked (red)
where it stands. Writes splash.gif (GIF89a, looping) next to this script. Python 3 only."""

import os
import struct

WIDTH, HEIGHT = 240, 120
FRAMES = 24
DELAY_CS = 8  # hundredths of a second per frame

PALETTE = [
    (16, 24, 48),     # 0 background
    (40, 56, 96),     # 1 column body
    (90, 110, 160),   # 2 column edge
    (30, 200, 30),    # 3 incident beam
    (255, 50, 50),    # 4 blocked beam
    (240, 240, 0),    # 5 unstable beam
    (200, 210, 230),  # 6 object
    (24, 36, 70),     # 7 floor line
]
BEAMS = 9
COL_W = 14
LEFT_X, RIGHT_X = 22, WIDTH - 22 - COL_W
TOP_Y, BOTTOM_Y = 14, HEIGHT - 14


def beam_y(i):
    return TOP_Y + 8 + i * (BOTTOM_Y - TOP_Y - 16) // (BEAMS - 1)


def draw_frame(n):
    px = [[0] * WIDTH for _ in range(HEIGHT)]

    def rect(x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(HEIGHT, y1)):
            row = px[y]
            for x in range(max(0, x0), min(WIDTH, x1)):
                row[x] = c

    rect(0, BOTTOM_Y + 4, WIDTH, BOTTOM_Y + 5, 7)
    for x in (LEFT_X, RIGHT_X):
        rect(x, TOP_Y, x + COL_W, BOTTOM_Y, 2)
        rect(x + 2, TOP_Y + 2, x + COL_W - 2, BOTTOM_Y - 2, 1)

    # The object moves across and back; its height covers the lower beams.
    span = RIGHT_X - LEFT_X - COL_W - 30
    phase = n / FRAMES
    offset = int(span * (2 * phase if phase < 0.5 else 2 - 2 * phase))
    ox0 = LEFT_X + COL_W + 6 + offset
    ox1 = ox0 + 18
    oy0 = beam_y(3) - 5
    for i in range(BEAMS):
        y = beam_y(i)
        blocked = y >= oy0
        edge = abs(y - oy0) < 8
        colour = 5 if edge else (4 if blocked else 3)
        x_end = ox0 if blocked else RIGHT_X
        rect(LEFT_X + COL_W, y, x_end, y + 2, colour)
        rect(LEFT_X + COL_W - 4, y - 1, LEFT_X + COL_W, y + 3, colour)
        rect(RIGHT_X, y - 1, RIGHT_X + 4, y + 3, 4 if blocked else 3)
    rect(ox0, oy0, ox1, BOTTOM_Y + 4, 6)
    return px


def lzw(indices, min_code_size):
    clear = 1 << min_code_size
    end = clear + 1
    table = {(i,): i for i in range(clear)}
    next_code = end + 1
    size = min_code_size + 1
    bits = bitcount = 0
    out = bytearray()

    def emit(code):
        nonlocal bits, bitcount
        bits |= code << bitcount
        bitcount += size
        while bitcount >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            bitcount -= 8

    emit(clear)
    current = (indices[0],)
    for value in indices[1:]:
        candidate = current + (value,)
        if candidate in table:
            current = candidate
            continue
        emit(table[current])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {(i,): i for i in range(clear)}
            next_code = end + 1
            size = min_code_size + 1
        current = (value,)
    emit(table[current])
    emit(end)
    if bitcount:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def main():
    colour_bits = 3  # 8 palette entries
    palette = PALETTE + [(0, 0, 0)] * ((1 << colour_bits) - len(PALETTE))
    gif = bytearray(b"GIF89a")
    gif += struct.pack("<HHBBB", WIDTH, HEIGHT, 0x80 | ((colour_bits - 1) << 4) | (colour_bits - 1), 0, 0)
    for r, g, b in palette:
        gif += bytes((r, g, b))
    gif += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop for ever
    for n in range(FRAMES):
        px = draw_frame(n)
        indices = [c for row in px for c in row]
        gif += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 0x04, DELAY_CS, 0, 0)
        gif += struct.pack("<BHHHHB", 0x2C, 0, 0, WIDTH, HEIGHT, 0)
        min_code = max(2, colour_bits)
        gif.append(min_code)
        gif += sub_blocks(lzw(indices, min_code))
    gif.append(0x3B)
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "splash.gif")
    with open(path, "wb") as f:
        f.write(gif)
    print(path, len(gif), "bytes")


if __name__ == "__main__":
    main()
