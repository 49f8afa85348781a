#!/usr/bin/env python3
"""Draws the two small animation clips of the progress dialog and writes them as
uncompressed 8-bit AVI files (resources/clips/comm.avi and comm_printer.avi).

The clips are committed; this script only needs to run again when they change."""
import os
import struct
import sys

WIDTH, HEIGHT, FRAMES, FPS = 96, 32, 8, 8

# Palette: 0 background (the transparent colour: the first pixel), then the drawing colours.
PALETTE = [(240, 240, 240), (64, 64, 64), (40, 110, 200), (160, 200, 240), (255, 255, 255)]
BG, DARK, BLUE, LIGHT, WHITE = range(5)


def blank():
    return [[BG] * WIDTH for _ in range(HEIGHT)]


def box(img, x0, y0, x1, y1, colour, fill=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            edge = x in (x0, x1) or y in (y0, y1)
            if edge:
                img[y][x] = colour
            elif fill is not None:
                img[y][x] = fill


def computer(img):
    box(img, 2, 6, 22, 20, DARK, LIGHT)   # screen
    box(img, 10, 21, 14, 23, DARK, DARK)  # neck
    box(img, 5, 24, 19, 26, DARK, DARK)   # foot


def printer(img):
    box(img, 76, 12, 93, 25, DARK, LIGHT)  # body
    box(img, 79, 6, 90, 11, DARK, WHITE)   # paper in
    box(img, 80, 22, 89, 28, DARK, WHITE)  # paper out


def link(img, frame, x0, x1):
    """Three travelling dots between x0 and x1."""
    span = x1 - x0
    for dot in range(3):
        pos = x0 + ((frame * span // FRAMES) + dot * span // 3) % span
        box(img, pos, 14, pos + 2, 16, BLUE, BLUE)


def plain_frame(frame):
    img = blank()
    computer(img)
    box(img, 74, 6, 93, 20, DARK, LIGHT)  # a second machine: the exchange partner
    box(img, 82, 21, 86, 23, DARK, DARK)
    box(img, 77, 24, 91, 26, DARK, DARK)
    link(img, frame, 26, 70)
    return img


def printer_frame(frame):
    img = blank()
    computer(img)
    printer(img)
    link(img, frame, 26, 72)
    return img


def chunk(fourcc, data):
    pad = b"\0" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, body):
    return kind + struct.pack("<I", len(body) + 4) + fourcc + body


def avi(frames):
    stride = (WIDTH + 3) & ~3
    image_size = stride * HEIGHT
    bitmaps = []
    for img in frames:
        rows = b"".join(bytes(row) + b"\0" * (stride - WIDTH) for row in reversed(img))
        bitmaps.append(rows)
    avih = struct.pack("<14I", 1000000 // FPS, image_size * FPS, 0, 0x10, len(frames), 0, 1,
                       image_size, WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = (b"vids" + b"DIB " + struct.pack("<IHHIIIIIIiI", 0, 0, 0, 0, 1, FPS, 0, len(frames),
                                            image_size, -1, 0)
            + struct.pack("<4h", 0, 0, WIDTH, HEIGHT))
    palette = b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in PALETTE)
    palette += b"\0" * (256 * 4 - len(palette))
    bih = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, image_size, 0, 0, 256, 0)
    strl = riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", bih + palette))
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih) + strl)
    movi_body = b""
    index = b""
    for bits in bitmaps:
        index += b"00db" + struct.pack("<III", 0x10, 4 + len(movi_body), len(bits))
        movi_body += chunk(b"00db", bits)
    movi = riff_list(b"LIST", b"movi", movi_body)
    return riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", index))


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "clips")
    out = sys.argv[1] if len(sys.argv) > 1 else root
    os.makedirs(out, exist_ok=True)
    for name, draw in (("comm.avi", plain_frame), ("comm_printer.avi", printer_frame)):
        with open(os.path.join(out, name), "wb") as f:
            f.write(avi([draw(i) for i in range(FRAMES)]))


if __name__ == "__main__":
    main()
