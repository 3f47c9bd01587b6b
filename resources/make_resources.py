#!/usr/bin/env python3
"""Writes the program's bitmaps (256..266: flat coloured squares with a darker border) and its icon.

Run from anywhere: python3 resources/make_resources.py. The generated files are committed beside it.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# Image index order of the shared image list: resource 256 + index.
COLOURS = [
    ("grey", (0xA0, 0xA0, 0xA0)),
    ("purple", (0x9C, 0x5C, 0xC8)),
    ("blue", (0x40, 0x78, 0xE0)),
    ("lightblue", (0x8C, 0xC0, 0xF4)),
    ("cyan", (0x30, 0xD0, 0xE0)),
    ("teal", (0x20, 0x9C, 0x94)),
    ("green", (0x48, 0xB8, 0x48)),
    ("yellow", (0xF0, 0xD8, 0x30)),
    ("orange", (0xF4, 0x98, 0x30)),
    ("red", (0xE0, 0x40, 0x40)),
    ("pink", (0xF4, 0x90, 0xC8)),
]
# The image list takes its transparent colour from the top-left pixel, so the square sits on this.
BACKGROUND = (0xFF, 0x00, 0xFF)
SIZE = 16


def darker(rgb):
    return tuple(c * 3 // 5 for c in rgb)


def square_pixels(rgb):
    """Rows top to bottom of (r, g, b): a one-pixel margin, a darker border, the flat colour inside."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            if x in (0, SIZE - 1) or y in (0, SIZE - 1):
                row.append(BACKGROUND)
            elif x in (1, SIZE - 2) or y in (1, SIZE - 2):
                row.append(darker(rgb))
            else:
                row.append(rgb)
        rows.append(row)
    return rows


def bmp_24(rows):
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        pixels += line + bytes(stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(pixels), 0, 0, 14 + len(header))
    return file_header + header + pixels


def icon_pixels(size):
    """A small application window: a blue title bar, a white client area, and a highlighted pane."""
    s = size / 32.0
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            fx, fy = x / s, y / s
            if not (2 <= fx < 30 and 4 <= fy < 28):
                row.append(None)
            elif fx < 3 or fx >= 29 or fy < 5 or fy >= 27:
                row.append((0x20, 0x40, 0x80))
            elif fy < 10:
                row.append((0x40, 0x78, 0xE0))
            elif 6 <= fx < 20 and 13 <= fy < 24:
                row.append((0x48, 0xB8, 0x48) if (fx < 7 or fx >= 19 or fy < 14 or fy >= 23) else (0xCF, 0xE6, 0xCF))
            else:
                row.append((0xF8, 0xF8, 0xF8))
        rows.append(row)
    return rows


def icon_image(size):
    rows = icon_pixels(size)
    xor = bytearray()
    for row in reversed(rows):
        for p in row:
            xor += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 0xFF))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


def ico(sizes):
    images = [icon_image(s) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    return bytes(out)


def main():
    folder = os.path.join(HERE, "bitmaps")
    os.makedirs(folder, exist_ok=True)
    for index, (name, rgb) in enumerate(COLOURS):
        with open(os.path.join(folder, "%d_%s.bmp" % (256 + index, name)), "wb") as f:
            f.write(bmp_24(square_pixels(rgb)))
    with open(os.path.join(HERE, "Paneprobe.ico"), "wb") as f:
        f.write(ico([16, 32]))


if __name__ == "__main__":
    main()
