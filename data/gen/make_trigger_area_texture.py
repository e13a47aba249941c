#!/usr/bin/env python3
"""Writes the stripe texture of the trigger-area disc, data/game/Data/Textures/zv_trigger_stripes.png
(run from the repository root). White stripes across u with soft edges over a faint fill, so the
disc's colour tints it and the u scroll moves the stripes from the centre to the rim."""
import math
import struct
import zlib

OUT = "data/game/Data/Textures/zv_trigger_stripes.png"
SIZE = 64


def write_png(path, width, height, pixel):
    rows = bytearray()
    for y in range(height):
        rows.append(0)
        for x in range(width):
            rows.extend(max(0, min(255, int(c))) for c in pixel(x, y))

    def chunk(kind, data):
        c = kind + data
        return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def stripe(x, _y):
    # One stripe per texture width: a raised cosine, tileable in u.
    t = 0.5 + 0.5 * math.cos(2 * math.pi * x / SIZE)
    alpha = 60 + 195 * t ** 3
    return (255, 255, 255, alpha)


if __name__ == "__main__":
    write_png(OUT, SIZE, SIZE, stripe)
