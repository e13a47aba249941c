#!/usr/bin/env python3
"""Writes the small GUI images of data/game/Data/GUI (run from the repository root)."""

from pngwrite import write_png


def pointer(x, y):
    # An arrow: a filled triangle with a dark outline, tip at (0, 0).
    inside = x <= y * 0.62 and y < 22
    edge = inside and (x >= y * 0.62 - 1.5 or x <= 0 or y >= 21)
    stem = 5 <= x <= 8 and 14 <= y <= 27 and x - 5 <= (y - 14) * 0.3 + 2
    if edge:
        return (20, 20, 30, 255)
    if inside or stem:
        return (250, 250, 250, 255)
    return (0, 0, 0, 0)


def button(x, y):
    # 64x32 atlas: left half the normal look, right half the highlighted one.
    base = (40, 64, 96) if x < 32 else (70, 110, 160)
    border = x % 32 in (0, 31) or y in (0, 31)
    return (*((200, 210, 230) if border else base), 255)


write_png("data/game/Data/GUI/vt_white.png", 8, 8, lambda x, y: (255, 255, 255, 255))
write_png("data/game/Data/GUI/vt_pointer.png", 32, 32, pointer)
write_png("data/game/Data/GUI/vt_button.png", 64, 32, button)
