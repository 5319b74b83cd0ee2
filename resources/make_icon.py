#!/usr/bin/env python3
"""Draws Kestor's icon and writes it as a Windows .ico file.

The design is plain geometry: a rounded teal square carrying an amber arrow that points down into
an open white tray, the usual picture for "install". Each size is drawn from the same shapes with
4 x 4 supersampling, so the small sizes stay smooth. Sizes 16, 24, 32 and 48 are stored as 32-bit
bitmaps (readable by every Windows version), 256 as PNG (as Windows Vista and later expect).

Usage: make_icon.py [output.ico]   (default: kestor.ico beside this script)
"""
import os
import struct
import sys
import zlib

BITMAP_SIZES = (16, 24, 32, 48)
PNG_SIZE = 256
SUPERSAMPLE = 4

TEAL_TOP = (0x2A, 0x7D, 0x9C)
TEAL_BOTTOM = (0x16, 0x4B, 0x61)
AMBER = (0xF5, 0xB6, 0x3C)
WHITE = (0xF4, 0xF7, 0xF8)


def in_rounded_square(x, y, lo, hi, radius):
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_rect(x, y, x0, y0, x1, y1):
    return x0 <= x <= x1 and y0 <= y <= y1


def in_arrow(x, y):
    # Shaft, then a head whose point sits just above the tray's floor.
    if in_rect(x, y, 0.42, 0.16, 0.58, 0.48):
        return True
    top, apex = 0.44, 0.70
    if top <= y <= apex:
        half = 0.25 * (apex - y) / (apex - top)
        return abs(x - 0.5) <= half
    return False


def in_tray(x, y):
    return (in_rect(x, y, 0.20, 0.76, 0.80, 0.84)
            or in_rect(x, y, 0.20, 0.58, 0.28, 0.84)
            or in_rect(x, y, 0.72, 0.58, 0.80, 0.84))


def sample(x, y):
    """Colour and coverage (0 or 1) of one point of the unit square, y growing downwards."""
    if not in_rounded_square(x, y, 0.04, 0.96, 0.18):
        return (0, 0, 0), 0.0
    if in_arrow(x, y):
        return AMBER, 1.0
    if in_tray(x, y):
        return WHITE, 1.0
    t = (y - 0.04) / 0.92
    return tuple(round(a + (b - a) * t) for a, b in zip(TEAL_TOP, TEAL_BOTTOM)), 1.0


def render(size):
    """Rows top to bottom of (r, g, b, a) pixels, colours premultiplied only for averaging."""
    rows = []
    n = SUPERSAMPLE
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = cover = 0.0
            for sy in range(n):
                for sx in range(n):
                    colour, c = sample((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    r += colour[0] * c
                    g += colour[1] * c
                    b += colour[2] * c
                    cover += c
            if cover:
                pixel = (round(r / cover), round(g / cover), round(b / cover), round(255 * cover / (n * n)))
            else:
                pixel = (0, 0, 0, 0)
            row.append(pixel)
        rows.append(row)
    return rows


def bitmap_image(size):
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):  # a DIB is stored bottom-up
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    # The AND mask: 1 bit a pixel, rows padded to 32 bits; set where the pixel is transparent.
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + pixels + mask


def png_image(size):
    rows = render(size)
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def icon_file():
    images = [(s, bitmap_image(s)) for s in BITMAP_SIZES] + [(PNG_SIZE, png_image(PNG_SIZE))]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        dimension = 0 if size >= 256 else size  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", dimension, dimension, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "kestor.ico")
    with open(target, "wb") as out:
        out.write(icon_file())


if __name__ == "__main__":
    main()
