#!/usr/bin/env python3
"""Draws the function menu's built-in pictures (24-bit): the pane background, white at
the top and washing into pale blue at the bottom, and the three row states
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


# Background: as wide as the rows (the pane's column), 400 high, drawn at the pane's bottom
# with white above it: white at the top, easing into a pale blue wash at the bottom. No
# motif: at the pane's real size a drawing in the corner read as a leftover.
W, H = 180, 400
WHITE = (255, 255, 255)
BLUE = (222, 233, 246)
bg = []
for y in range(H):
    t = max(0.0, (y - 120) / (H - 1 - 120))
    bg.append([mix(WHITE, BLUE, t * t * (3 - 2 * t)) for _ in range(W)])
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
