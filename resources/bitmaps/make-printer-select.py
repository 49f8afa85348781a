#!/usr/bin/env python3
"""Draws the printer selection dialog's picture: a receipt printer with a receipt coming out,
on a white ground that the dialog leaves see-through. Writes PrinterSelect.bmp (24-bit)."""
import struct

W, H = 112, 80
WHITE = (255, 255, 255)
px = [[WHITE for _ in range(W)] for _ in range(H)]


def rect(x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(H, y1)):
        for x in range(max(0, x0), min(W, x1)):
            px[y][x] = colour


# Receipt: off-white paper with printed lines, rising out of the slot.
rect(38, 4, 74, 34, (250, 250, 244))
rect(38, 4, 39, 34, (200, 200, 200))
rect(73, 4, 74, 34, (200, 200, 200))
for i, y in enumerate(range(9, 30, 4)):
    rect(42, y, 70 - (i % 3) * 7, y + 2, (90, 90, 90))
# Body: dark grey with a lighter top cover and a shadow edge.
rect(14, 32, 98, 72, (72, 76, 82))
rect(16, 30, 96, 40, (120, 126, 134))
rect(34, 33, 78, 36, (30, 30, 34))  # paper slot
rect(14, 70, 98, 74, (40, 42, 46))
# Front panel: a power LED and a feed button.
rect(22, 58, 28, 62, (40, 200, 70))
rect(32, 58, 44, 62, (170, 174, 180))
# Feet.
rect(18, 74, 26, 77, (40, 42, 46))
rect(86, 74, 94, 77, (40, 42, 46))

row = W * 3
pad = (4 - row % 4) % 4
data = bytearray()
for y in range(H - 1, -1, -1):
    for (r, g, b) in px[y]:
        data += bytes((b, g, r))
    data += b"\0" * pad
header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
with open(__file__.rsplit("/", 1)[0] + "/PrinterSelect.bmp" if "/" in __file__ else "PrinterSelect.bmp", "wb") as f:
    f.write(header + info + data)
