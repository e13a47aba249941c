#!/usr/bin/env python3
"""Writes data/game/Data/GUI/ZV_aimMark.png (run from the repository root): the 64 x 64 aim
mark under the mouse in play (skin "ZVplayArrow" of vt_skins_play.xml). A white ring with four
ticks pointing in and a centre dot, each drawn over a dark edge so it reads on sky and ground."""
import math

from pngwrite import write_png

SIZE = 64
C = 31.5  # centre between the middle pixels


def shape_distance(x, y):
    """Distance from the point to the mark's strokes (0 on a stroke's centre line)."""
    dx, dy = x - C, y - C
    r = math.hypot(dx, dy)
    ring = abs(r - 19.0)
    dot = max(0.0, r - 1.5)
    # Ticks: from radius 9 to 15 along each axis.
    ticks = []
    for ax, ay in ((1, 0), (-1, 0), (0, 1), (0, -1)):
        along = dx * ax + dy * ay
        across = abs(dx * ay - dy * ax)
        past = max(9.0 - along, along - 15.0, 0.0)
        ticks.append(math.hypot(past, across))
    return min(ring, dot, min(ticks))


def coverage(x, y, half_width, samples=4):
    hit = 0
    for sy in range(samples):
        for sx in range(samples):
            px = x + (sx + 0.5) / samples
            py = y + (sy + 0.5) / samples
            if shape_distance(px, py) <= half_width:
                hit += 1
    return hit / (samples * samples)


def pixel(x, y):
    stroke = coverage(x, y, 1.0)
    edge = coverage(x, y, 2.2)
    a = max(stroke, 0.7 * edge)
    if a <= 0.0:
        return (0, 0, 0, 0)
    # White strokes over a dark blue-grey edge.
    light = stroke / a if a > 0 else 0.0
    r = 255 * light + 20 * (1 - light)
    g = 255 * light + 28 * (1 - light)
    b = 255 * light + 40 * (1 - light)
    return (r, g, b, 255 * a)


if __name__ == "__main__":
    write_png("data/game/Data/GUI/ZV_aimMark.png", SIZE, SIZE, pixel)
