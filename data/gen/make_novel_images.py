#!/usr/bin/env python3
"""Writes the pictures of the paged story scene into data/paks/StoryImgs (run from the
repository root): three page backgrounds and two pictures that the pages show and hide."""
import math

from pngwrite import write_png

OUT = "data/paks/StoryImgs/"


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(a[i] + (b[i] - a[i]) * t) for i in range(3))


W, H = 320, 180


def plant_night(x, y):
    # Night sky over the plant: cooling towers as dark blocks, a glow on the horizon.
    sky = mix((10, 14, 40), (70, 40, 60), y / H)
    tower = (abs(x - 90) < 22 - (y - 90) * 0.08 and y > 80) or (abs(x - 150) < 18 and y > 100)
    if tower:
        return mix((20, 20, 26), (40, 36, 40), (y - 80) / 100) + (255,)
    if y > 150:
        return (24, 26, 30, 255)
    star = (x * 7919 + y * 104729) % 397 == 0 and y < 110
    return ((220, 220, 240) if star else sky) + (255,)


def control_room(x, y):
    # Rows of amber panels on a dark wall.
    base = mix((30, 34, 38), (18, 20, 24), y / H)
    if 40 <= y < 120 and (x % 40) < 34 and 10 <= x < 310:
        lit = ((x // 40) + (y // 20)) % 3 == 0
        return ((200, 140, 40) if lit else (60, 70, 60)) + (255,)
    return base + (255,)


def alarm(x, y):
    # The meltdown: red light pulsing out from the core.
    d = math.hypot(x - W / 2, y - H * 0.6) / 180.0
    return mix((255, 80, 30), (40, 4, 4), d) + (255,)


def reactor(x, y):
    # A glowing core in a ring; transparent outside.
    d = math.hypot(x - 63.5, y - 63.5)
    if d > 62:
        return (0, 0, 0, 0)
    if d > 52:
        return (90, 96, 110, 255)
    return mix((255, 255, 200), (60, 200, 120), d / 52) + (255,)


def badge(x, y):
    # A hexagonal squad badge with a chevron.
    cx, cy = x - 47.5, y - 47.5
    hexagon = abs(cx) <= 44 and abs(cx) * 0.5 + abs(cy) * 0.866 <= 44
    if not hexagon:
        return (0, 0, 0, 0)
    chevron = abs(abs(cx) - (cy + 10)) < 7 and -20 < cy < 24
    return ((240, 200, 60, 255) if chevron else (40, 60, 110, 255))


write_png(OUT + "vt_novel_plant.png", W, H, plant_night)
write_png(OUT + "vt_novel_control.png", W, H, control_room)
write_png(OUT + "vt_novel_alarm.png", W, H, alarm)
write_png(OUT + "vt_novel_reactor.png", 128, 128, reactor)
write_png(OUT + "vt_novel_badge.png", 96, 96, badge)
