#!/usr/bin/env python3
"""Writes MAINICON.ico: a handheld device with an arrow pointing into its
screen, at 16, 32 and 64 pixels, each in 16 and in 256 colours.

The pictures are drawn here from shapes, so the icon changes by editing this
file; the output depends on nothing else and is the same on every run.
Usage: make_icon.py [OUTPUT]  (default: MAINICON.ico beside this script)
"""
import struct
import sys
from pathlib import Path

SIZES = (16, 32, 64)
DEPTHS = (4, 8)

# The standard 16-colour palette, as (red, green, blue).
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
# Parts of the picture and their colour in the 16-colour palette.
OUTLINE, BODY, SCREEN, ARROW, KEYS = "outline", "body", "screen", "arrow", "keys"
VGA_INDEX = {OUTLINE: 0, BODY: 7, SCREEN: 6, ARROW: 10, KEYS: 8}


def part_at(x, y):
    """The part under the point (x, y) of the unit square, or None."""
    in_arrow_shaft = 0.43 <= x <= 0.57 and 0.02 <= y <= 0.34
    in_arrow_head = 0.34 <= y <= 0.56 and abs(x - 0.5) <= 0.22 * (0.56 - y) / 0.22
    if in_arrow_shaft or in_arrow_head:
        return ARROW
    if not (0.2 <= x <= 0.8 and 0.12 <= y <= 0.96):
        return None
    if x < 0.26 or x > 0.74 or y < 0.18 or y > 0.9:
        return OUTLINE
    if 0.3 <= x <= 0.7 and 0.24 <= y <= 0.64:
        return SCREEN
    if 0.72 <= y <= 0.82 and any(abs(x - c) <= 0.05 for c in (0.36, 0.5, 0.64)):
        return KEYS
    return BODY


def render(size):
    """Rows of parts, top row first, sampled at pixel centres."""
    return [[part_at((col + 0.5) / size, (row + 0.5) / size) for col in range(size)]
            for row in range(size)]


def palette_256():
    """The 16 standard colours, then a blue-green ramp that shades the screen."""
    ramp = [(0, 64 + i * 191 // 239, 96 + i * 159 // 239) for i in range(240)]
    return (VGA16 + ramp)[:256]


def colour_index(part, row, size, depth):
    if part is None:
        return 0
    if depth == 8 and part == SCREEN:
        return 16 + (row * 239) // max(size - 1, 1)
    return VGA_INDEX[part]


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def dib(size, depth):
    """One icon image: BITMAPINFOHEADER, palette, colour bits, AND mask."""
    picture = render(size)
    palette = VGA16 if depth == 4 else palette_256()
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    xor_rows, and_rows = [], []
    for row in reversed(range(size)):  # bottom row first
        indices = [colour_index(p, row, size, depth) for p in picture[row]]
        if depth == 4:
            data = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        else:
            data = bytes(indices)
        xor_rows.append(padded(data))
        mask = 0
        for p in picture[row]:
            mask = (mask << 1) | (p is None)
        and_rows.append(padded(mask.to_bytes(size // 8, "big")))
    bits = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, depth, 0, len(bits), 0, 0, 0, 0)
    return header + colours + bits


def icon():
    images = [(size, depth, dib(size, depth)) for size in SIZES for depth in DEPTHS]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, depth, data in images:
        colour_count = 16 if depth == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, depth, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


if __name__ == "__main__":
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("MAINICON.ico")
    target.write_bytes(icon())
