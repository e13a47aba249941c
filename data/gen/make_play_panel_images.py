#!/usr/bin/env python3
"""Writes the in-play panel images of data/game/Data/GUI (run from the repository root):
two white cogs on transparent (the panels tint them) and the bronze, silver and gold cups."""
import math

from pngwrite import write_png


def coverage(inside, x, y, samples=4):
    """Share of a pixel's sub-samples inside a shape, for smooth edges."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def cog(size, teeth, hole, spokes):
    c = size / 2.0

    def inside(px, py):
        dx, dy = px - c, py - c
        r = math.hypot(dx, dy) / c
        a = math.atan2(dy, dx)
        # Teeth: a square wave round the rim with slightly tapered flanks.
        phase = (a * teeth / (2 * math.pi)) % 1.0
        tooth = 0.5 - abs(phase - 0.5)
        outer = 0.97 if tooth > 0.22 else 0.80
        if r > outer or r < hole:
            return False
        if 0.34 < r < 0.66:
            # Window ring broken by spokes.
            spoke = (a * spokes / (2 * math.pi)) % 1.0
            return abs(spoke - 0.5) > 0.36
        return True

    def pixel(x, y):
        alpha = int(round(255 * coverage(inside, x, y)))
        return (255, 255, 255, alpha)

    return pixel


def cups(x, y):
    # Three 64x64 cups side by side: bronze, silver, gold.
    colours = [(205, 127, 50), (200, 205, 215), (245, 200, 40)]
    cell = x // 64
    lx, ly = x % 64 + 0.5, y + 0.5

    def inside(px, py):
        px = px % 64
        bowl = 14 <= py <= 36 and abs(px - 32) <= 18 - (py - 14) * 0.45
        rim = 10 <= py < 14 and abs(px - 32) <= 20
        stem = 36 < py <= 48 and abs(px - 32) <= 4
        base = 48 < py <= 56 and abs(px - 32) <= 14
        handle = 16 <= py <= 30 and 17 <= abs(px - 32) <= 26 and math.hypot(abs(px - 32) - 18, py - 23) >= 4 \
            and math.hypot(abs(px - 32) - 18, py - 23) <= 8
        return bowl or rim or stem or base or handle

    a = coverage(inside, x, y)
    r, g, b = colours[cell]
    shade = 1.0 - 0.35 * (lx / 64.0) if inside(lx + cell * 64, ly) else 1.0
    return (int(r * shade), int(g * shade), int(b * shade), int(round(255 * a)))


write_png("data/game/Data/GUI/hudCogW1.png", 128, 128, cog(128, 12, 0.18, 6))
write_png("data/game/Data/GUI/hudCogW2.png", 128, 128, cog(128, 8, 0.22, 4))
write_png("data/game/Data/GUI/vt_cups.png", 192, 64, cups)
