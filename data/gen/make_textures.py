#!/usr/bin/env python3
"""Writes the world textures of data/game/Data/Textures (run from the repository root).
Procedural: value noise, bricks, planks, stripes; fixed seeds so the output never changes."""
import math
import os
import random

from pngwrite import write_png

OUT = "data/game/Data/Textures"


def noise_field(size, cells, seed):
    """Tileable value noise in [0, 1]."""
    rnd = random.Random(seed)
    grid = [[rnd.random() for _ in range(cells)] for _ in range(cells)]

    def smooth(t):
        return t * t * (3 - 2 * t)

    def at(x, y):
        fx, fy = x * cells / size, y * cells / size
        x0, y0 = int(fx) % cells, int(fy) % cells
        x1, y1 = (x0 + 1) % cells, (y0 + 1) % cells
        tx, ty = smooth(fx - int(fx)), smooth(fy - int(fy))
        a = grid[y0][x0] + (grid[y0][x1] - grid[y0][x0]) * tx
        b = grid[y1][x0] + (grid[y1][x1] - grid[y1][x0]) * tx
        return a + (b - a) * ty
    return at


def octaves(size, seed, cells=(4, 8, 16, 32)):
    fields = [noise_field(size, c, seed + i) for i, c in enumerate(cells)]

    def at(x, y):
        v, w, total = 0.0, 1.0, 0.0
        for f in fields:
            v += f(x, y) * w
            total += w
            w *= 0.5
        return v / total
    return at


def tint(base, n, amount):
    return tuple(c * (1 - amount + 2 * amount * n) for c in base) + (255,)


S = 128


def ground():
    n = octaves(S, 11)
    return lambda x, y: tint((92, 110, 70), n(x, y), 0.25)


def asphalt():
    n = octaves(S, 21, (8, 16, 32, 64))
    def px(x, y):
        line = 1.0 if (y % 64) in (0, 1) else 0.0
        base = tint((70, 72, 76), n(x, y), 0.2)
        return tuple(c + line * 60 for c in base[:3]) + (255,)
    return px


def bricks():
    n = octaves(S, 31, (16, 32, 64))
    def px(x, y):
        row = y // 16
        off = 16 if row % 2 else 0
        mortar = (y % 16) < 2 or ((x + off) % 32) < 2
        if mortar:
            return (170, 165, 155, 255)
        return tint((150, 78, 58), n(x, y), 0.2)
    return px


def roof():
    n = octaves(S, 41, (8, 16, 32))
    def px(x, y):
        groove = 0.7 if (y % 16) < 2 else 1.0
        return tuple(c * groove for c in tint((120, 50, 40), n(x, y), 0.15)[:3]) + (255,)
    return px


def concrete():
    n = octaves(S, 51, (8, 16, 32, 64))
    return lambda x, y: tint((150, 150, 145), n(x, y), 0.15)


def planks():
    n = octaves(S, 61, (4, 8, 16))
    def px(x, y):
        seam = (x % 32) < 2 or x < 4 or x > S - 5 or y < 4 or y > S - 5
        if seam:
            return (70, 48, 28, 255)
        grain = 0.85 + 0.15 * math.sin(y * 0.35 + n(x, y) * 6)
        return tuple(c * grain for c in (176, 128, 74)) + (255,)
    return px


def bark():
    n = octaves(S, 71, (4, 16, 32))
    return lambda x, y: tint((95, 70, 45), n(x * 4 % S, y), 0.3)


def leaves():
    n = octaves(S, 81, (8, 16, 32, 64))
    return lambda x, y: tint((60, 120, 50), n(x, y), 0.35)


def sky():
    n = octaves(S, 91, (4, 8, 16))
    def px(x, y):
        t = y / (S - 1)
        base = (70 + 90 * t, 120 + 80 * t, 200 + 40 * t)
        cloud = max(0.0, n(x, y) - 0.55) * 2.2
        return tuple(b + (245 - b) * min(1.0, cloud) for b in base) + (255,)
    return px


def border():
    def px(x, y):
        stripe = ((x + y) // 16) % 2
        glow = 1.0 - abs(y - S / 2) / (S / 2)
        a = int(90 + 140 * glow)
        return ((255, 170, 40, a) if stripe else (255, 90, 20, a))
    return px


def bubble():
    def px(x, y):
        dx, dy = (x - S / 2) / (S / 2), (y - S / 2) / (S / 2)
        r = min(1.0, math.sqrt(dx * dx + dy * dy))
        return (120, 200, 255, int(40 + 150 * r ** 3))
    return px


os.makedirs(OUT, exist_ok=True)
for name, make in [("vt_ground", ground), ("vt_asphalt", asphalt), ("vt_bricks", bricks), ("vt_roof", roof),
                   ("vt_concrete", concrete), ("vt_planks", planks), ("vt_bark", bark), ("vt_leaves", leaves),
                   ("vt_sky", sky), ("vt_border", border), ("vt_bubble", bubble)]:
    write_png(os.path.join(OUT, name + ".png"), S, S, make())
