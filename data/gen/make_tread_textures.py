#!/usr/bin/env python3
"""Writes the vehicles' tread textures to data/game/Data/Textures (run from the repository root).
Stripes across V: the track's plates, each with a raised bar, so that a V scroll shows the track
running. Fixed seeds so the output never changes."""
import os
import random
import struct
import zlib

OUT = "data/game/Data/Textures"
W, H = 64, 64
PLATES = 4  # per texture repeat


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


def tread(plate, bar, seed):
    rnd = random.Random(seed)
    grain = [[rnd.uniform(-8, 8) for _ in range(W)] for _ in range(H)]
    period = H // PLATES

    def px(x, y):
        p = y % period
        if p < 2:  # the gap between two plates
            c = tuple(v * 0.35 for v in plate)
        elif 5 <= p < 10:  # the bar across the plate
            c = bar
        else:
            c = plate
        edge = 0.7 if x < 4 or x >= W - 4 else 1.0  # the link pins along the sides
        return tuple(v * edge + grain[y][x] for v in c) + (255,)
    return px


os.makedirs(OUT, exist_ok=True)
write_png(os.path.join(OUT, "vt_tread_abrams.png"), W, H, tread((62, 60, 54), (128, 122, 104), 21))
write_png(os.path.join(OUT, "vt_tread_marauder.png"), W, H, tread((72, 56, 46), (146, 108, 82), 22))
