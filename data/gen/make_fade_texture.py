#!/usr/bin/env python3
"""Writes data/game/Data/GUI/vt_black.png, the 1 x 1 opaque black texture of the screen fade
(run from the repository root)."""
import struct
import zlib


def chunk(kind, data):
    c = kind + data
    return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)


png = b"\x89PNG\r\n\x1a\n"
png += chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 6, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"\x00\x00\x00\x00\xff", 9))
png += chunk(b"IEND", b"")
with open("data/game/Data/GUI/vt_black.png", "wb") as f:
    f.write(png)
