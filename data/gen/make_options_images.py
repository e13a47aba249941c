#!/usr/bin/env python3
"""Writes the options screens' skin atlas and the credits' library plates into
data/game/Data/GUI (run from the repository root)."""

from pngwrite import write_png

OUT = "data/game/Data/GUI/"


# --- skin atlas (64 x 32); the regions are named in vt_skins_options.xml -------------------------
FLAT = {
    0: (24, 34, 52, 235),     # panel
    8: (34, 46, 70, 245),     # message
    16: (12, 16, 26, 255),    # combo field
    24: (18, 24, 38, 250),    # drop-down list
    32: (70, 110, 160, 255),  # list line under the pointer or chosen
    40: (255, 255, 255, 255), # tinted by the widget's colour
    48: (90, 96, 110, 255),   # slider track
    56: (255, 140, 20, 255),  # slider thumb
}


def box(x, y, checked):
    if x in (1, 14) or y in (1, 14):
        return (200, 210, 230, 255)
    if 1 < x < 14 and 1 < y < 14:
        if checked and 4 <= x <= 11 and 4 <= y <= 11:
            return (255, 128, 0, 255)
        return (12, 16, 26, 255)
    return (0, 0, 0, 0)


def arrow(x, y, lit):
    # A down-pointing triangle.
    if 5 <= y <= 10 and abs(x - 7.5) <= (10 - y) * 0.8 + 0.5:
        return (255, 255, 255, 255)
    return (70, 110, 160, 255) if lit else (40, 64, 96, 255)


def atlas(x, y):
    if y < 8:
        return FLAT[(x // 8) * 8]
    if y < 16:
        return (0, 0, 0, 0)
    lx, ly = x % 16, y - 16
    return [lambda: box(lx, ly, False), lambda: box(lx, ly, True),
            lambda: arrow(lx, ly, False), lambda: arrow(lx, ly, True)][x // 16]()


write_png(OUT + "vt_options.png", 64, 32, atlas)

# --- credits: one plate per library the game is built on ----------------------------------------
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "C": ["01111", "10000", "10000", "10000", "10000", "10000", "01111"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "F": ["11111", "10000", "10000", "11110", "10000", "10000", "10000"],
    "G": ["01111", "10000", "10000", "10011", "10001", "10001", "01111"],
    "I": ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    " ": ["00000"] * 7,
}


def text_mask(text, scale):
    """The set of lit pixels of a line of text and its size."""
    lit = set()
    for i, ch in enumerate(text):
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, bit in enumerate(row):
                if bit == "1":
                    for sy in range(scale):
                        for sx in range(scale):
                            lit.add((i * 6 * scale + gx * scale + sx, gy * scale + sy))
    return lit, (len(text) * 6 - 1) * scale, 7 * scale


def plate(path, title, subtitle, accent):
    w, h = 256, 128
    big, bw, bh = text_mask(title, 5 if len(title) <= 7 else 3)
    small, sw, sh = text_mask(subtitle, 2)
    bx, by = (w - bw) // 2, 30 + (36 - bh) // 2
    sx, sy = (w - sw) // 2, 86

    def pixel(x, y):
        if x < 3 or y < 3 or x >= w - 3 or y >= h - 3:
            return (*accent, 255)
        if (x - bx, y - by) in big:
            return (255, 255, 255, 255)
        if (x - sx, y - sy) in small:
            return (*accent, 255)
        shade = 26 + y // 8
        return (shade, shade, shade + 10, 255)

    write_png(path, w, h, pixel)


plate(OUT + "C_ogre_Logo2.png", "OGRE", "3D RENDERING", (120, 170, 60))
plate(OUT + "C_MyGUI_Logo2.png", "MYGUI", "INTERFACE", (70, 130, 210))
plate(OUT + "C_Ogremax_logo.png", "OPENAL SOFT", "AUDIO", (210, 90, 60))
plate(OUT + "C_Raknet_Logo.png", "FFMPEG", "VIDEO", (40, 160, 80))
