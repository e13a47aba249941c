#!/usr/bin/env python3
"""Writes the dialog box image of data/game/Data/GUI (run from the repository root)."""
import math
import struct
import zlib


def write_png(path, width, height, pixel):
    rows = b""
    for y in range(height):
        rows += b"\x00" + b"".join(bytes(pixel(x, y)) for x in range(width))

    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def dialog_cog(x, y):
    # The "go on" mark: an orange cog with eight teeth and a dark hub, 32x32.
    cx = cy = 15.5
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    a = math.atan2(dy, dx)
    tooth = math.cos(a * 8) > 0.2
    outer = 15 if tooth else 11.5
    if r > outer:
        return (0, 0, 0, 0)
    if r < 4:
        return (40, 20, 0, 255)
    if r > outer - 1.5:
        return (120, 50, 0, 255)
    return (255, 140, 20, 255)


write_png("data/game/Data/GUI/hudDialogCog.png", 32, 32, dialog_cog)
