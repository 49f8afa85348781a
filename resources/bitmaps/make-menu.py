#!/usr/bin/env python3
"""Draws the function menu's built-in pictures (24-bit): the pane background, white at
the top and washing into pale blue towards a receipt-roll motif at the bottom, and the three row states
(under the mouse, being pressed, selected), 180 by 28 pixels, each a shaded band over the
full width of the pane's column."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(name, px):
    h, w = len(px), len(px[0])
    row = w * 3
    pad = (4 - row % 4) % 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        for (r, g, b) in px[y]:
            data += bytes((b, g, r))
        data += b"\0" * pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(header + info + data)


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# Background: 200 x 400. White above, a pale blue wash towards the bottom with a paper roll.
W, H = 200, 400
WHITE = (255, 255, 255)
BLUE = (214, 228, 244)
bg = [[WHITE for _ in range(W)] for _ in range(H)]
for y in range(H):
    t = max(0.0, (y - 200) / 200.0)
    for x in range(W):
        bg[y][x] = mix(WHITE, BLUE, t)
for y in range(330, 380):
    for x in range(120, 180):
        dx, dy = (x - 150) / 30.0, (y - 355) / 25.0
        if dx * dx + dy * dy <= 1.0:
            bg[y][x] = (236, 240, 246) if dx * dx + dy * dy > 0.12 else (180, 190, 204)
for y in range(372, 392):
    for x in range(40, 150):
        bg[y][x] = (248, 248, 244)
write("MenuBackground.bmp", bg)


def row_picture(name, top, bottom, edge):
    w, h = 180, 28
    px = [[mix(top, bottom, y / (h - 1)) for _ in range(w)] for y in range(h)]
    for x in range(w):
        px[0][x] = edge
        px[h - 1][x] = edge
    for y in range(h):
        px[y][0] = edge
        px[y][w - 1] = edge
    write(name, px)


row_picture("MenuOnMouse.bmp", (236, 244, 252), (218, 232, 248), (170, 200, 236))
row_picture("MenuSelected.bmp", (196, 220, 246), (160, 196, 238), (80, 130, 200))
row_picture("MenuSelecting.bmp", (160, 196, 238), (196, 220, 246), (60, 110, 180))
