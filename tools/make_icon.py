#!/usr/bin/env python3
"""Draws Lumetta's icon (a rounded tile with three rising bars) into a multi-size .ico.

The design lives on a 16-unit grid so the bars fall on whole pixels at 16, 32, 48, 64 and 256 px.
Output is byte-for-byte reproducible: same script, same file.
"""
import struct
import sys
import zlib

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
SAMPLES = 4  # supersampling per axis

TOP = (0x3B, 0x82, 0xF6)      # tile gradient, top
BOTTOM = (0x1E, 0x3A, 0x8A)   # tile gradient, bottom
BAR = (0xFF, 0xFF, 0xFF)
ACCENT = (0x5E, 0xEA, 0xD4)   # tallest bar
RADIUS = 3.5
BARS = [((3, 9), (5, 13), BAR), ((7, 6), (9, 13), BAR), ((11, 3), (13, 13), ACCENT)]


def inside_tile(x, y):
    r = RADIUS
    cx = min(max(x, r), 16 - r)
    cy = min(max(y, r), 16 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r and 0 <= x <= 16 and 0 <= y <= 16


def colour_at(x, y):
    """Colour (r, g, b) at design coordinates, or None outside the tile."""
    if not inside_tile(x, y):
        return None
    for (x0, y0), (x1, y1), colour in BARS:
        if x0 <= x < x1 and y0 <= y < y1:
            return colour
    t = y / 16
    return tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))


def render(size):
    """Premultiplied-free RGBA rows, top to bottom."""
    rows = []
    step = 16 / size
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) * step,
                                  (py + (sy + 0.5) / SAMPLES) * step)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits:
                row.append((*(round(v / hits) for v in acc), round(255 * hits / SAMPLES ** 2)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(size, rows):
    raw = b"".join(b"\x00" + bytes(v for p in row for v in p) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(size, rows):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main(out):
    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, png(size, rows) if size >= 256 else dib(size, rows)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        dim = 0 if size >= 256 else size
        data += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    data += b"".join(blob for _, blob in images)
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
