#!/usr/bin/env python3
"""Writes the title menu's images of data/game/Data/GUI (run from the repository root):
the two splash pictures, the title and menu logos, the prompt and the "new" badge (the cogs
come from make_play_panel_images.py).
Words are drawn with the small pixel font below."""

from pngwrite import write_png

OUT = "data/game/Data/GUI/"

# 5x7 glyphs, one string of five characters per row.
FONT = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "G": [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "S": [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "W": ["#...#", "#...#", "#...#", "#.#.#", "#.#.#", "##.##", "#...#"],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


def text_mask(text, scale, gap=1):
    """The set of pixels (x, y) the word covers, and its width and height."""
    cells = set()
    x0 = 0
    for ch in text:
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, c in enumerate(row):
                if c == "#":
                    for dy in range(scale):
                        for dx in range(scale):
                            cells.add((x0 + gx * scale + dx, gy * scale + dy))
        x0 += (5 + gap) * scale
    return cells, x0 - gap * scale, 7 * scale


class Canvas:
    def __init__(self, width, height, fill=(0, 0, 0, 0)):
        self.w, self.h = width, height
        self.px = [list(fill) for _ in range(width * height)]

    def put(self, x, y, rgba):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = list(rgba)

    def text(self, text, scale, cx, cy, colour, outline=None):
        cells, tw, th = text_mask(text, scale)
        left, top = cx - tw // 2, cy - th // 2
        if outline:
            for (x, y) in cells:
                for dx in (-2, -1, 0, 1, 2):
                    for dy in (-2, -1, 0, 1, 2):
                        self.put(left + x + dx, top + y + dy, outline)
        for (x, y) in cells:
            # A light top fading to the colour lower down.
            shade = 1.0 - 0.35 * (y / th)
            self.put(left + x, top + y, (int(colour[0] * shade), int(colour[1] * shade), int(colour[2] * shade), 255))

    def save(self, name):
        write_png(OUT + name, self.w, self.h, lambda x, y: self.px[y * self.w + x])


# Studio splash: the name on top, the second picture's word below it (both show at once, the
# first drawn over the second).
s1 = Canvas(480, 153)
s1.text("ORVEL", 12, 240, 52, (240, 200, 90), outline=(60, 30, 10, 255))
s1.save("OrvelSplash1.png")
s2 = Canvas(480, 153)
s2.text("GAMES", 5, 240, 128, (200, 210, 230))
s2.save("OrvelSplash2.png")

# Logos: the small one in the corner of the menu, the big one above it.
t = Canvas(265, 102)
t.text("VANTOREL", 5, 132, 51, (255, 150, 40), outline=(30, 20, 10, 255))
t.save("Mtitle.png")
b = Canvas(512, 256)
b.text("VANTOREL", 10, 256, 128, (255, 140, 20), outline=(20, 20, 30, 255))
b.save("VNT_LogoB.png")

p = Canvas(190, 24)
p.text("PRESS ENTER", 2, 95, 12, (255, 255, 255), outline=(0, 0, 0, 200))
p.save("vt_pressenter.png")

# A small tag: its skin draws it in the top-left corner of the 46 x 16 marker, clear of the
# caption of the button it sits on.
n = Canvas(21, 9, fill=(220, 60, 20, 255))
n.text("NEW", 1, 10, 4, (255, 255, 255))
n.save("vt_new.png")
