#!/usr/bin/env python3
"""Draws the status strip's printer picture: a small receipt printer on a white ground that
the strip leaves see-through. Writes StatusPrinter.bmp (24-bit, 48 x 40, for 96 DPI) and the
same drawing at 144 and 192 DPI (StatusPrinter144.bmp, StatusPrinter192.bmp), each drawn at
its own size so that none is a stretched copy."""
import os
import struct
import sys

DPI = int(sys.argv[1]) if len(sys.argv) > 1 else 96
W, H = 48 * DPI // 96, 40 * DPI // 96
WHITE = (255, 255, 255)
px = [[WHITE for _ in range(W)] for _ in range(H)]


def s(v):
    return (v * DPI + 48) // 96


def rect(x0, y0, x1, y1, colour):
    x0, y0, x1, y1 = s(x0), s(y0), s(x1), s(y1)
    for y in range(max(0, y0), min(H, y1)):
        for x in range(max(0, x0), min(W, x1)):
            px[y][x] = colour


# Receipt rising out of the slot, with printed lines.
rect(16, 2, 32, 16, (250, 250, 244))
rect(16, 2, 17, 16, (200, 200, 200))
rect(31, 2, 32, 16, (200, 200, 200))
for i, y in enumerate(range(5, 14, 3)):
    rect(19, y, 29 - (i % 2) * 4, y + 1, (90, 90, 90))
# Body with its lighter cover and shadow edge.
rect(6, 15, 42, 35, (72, 76, 82))
rect(7, 14, 41, 20, (120, 126, 134))
rect(14, 16, 34, 18, (30, 30, 34))
rect(6, 34, 42, 36, (40, 42, 46))
# Power LED and feed button.
rect(10, 29, 13, 31, (40, 200, 70))
rect(15, 29, 21, 31, (170, 174, 180))
# Feet.
rect(8, 36, 12, 38, (40, 42, 46))
rect(36, 36, 40, 38, (40, 42, 46))

row = W * 3
pad = (4 - row % 4) % 4
data = bytearray()
for y in range(H - 1, -1, -1):
    for (r, g, b) in px[y]:
        data += bytes((b, g, r))
    data += b"\0" * pad
header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
name = "StatusPrinter.bmp" if DPI == 96 else "StatusPrinter%d.bmp" % DPI
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), name), "wb") as f:
    f.write(header + info + data)
