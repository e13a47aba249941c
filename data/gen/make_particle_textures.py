#!/usr/bin/env python3
"""Writes the particle textures of data/game/Data/Particles (run from the repository root).

White images whose alpha (and brightness) carry the shape; the particle colour comes from the
particle scripts."""
import math
import random

from pngwrite import write_png

OUT = "data/game/Data/Particles/"
SIZE = 64


def centred(x, y):
    # -1..1 from the image centre, sampled at pixel centres
    return (x + 0.5) / SIZE * 2 - 1, (y + 0.5) / SIZE * 2 - 1


def grey(v, a):
    v = max(0, min(255, int(round(v * 255))))
    a = max(0, min(255, int(round(a * 255))))
    return (v, v, v, a)


def soft(x, y):
    # A round blob fading smoothly to nothing at the rim: fire, glows, flashes.
    u, v = centred(x, y)
    r = math.hypot(u, v)
    a = max(0.0, 1 - r) ** 1.6
    return grey(1.0, a)


# Value noise on a small lattice, smoothed, for the ragged edge of smoke.
random.seed(7)
LATTICE = [[random.random() for _ in range(9)] for _ in range(9)]


def noise(u, v):
    x, y = (u + 1) * 4, (v + 1) * 4
    x0, y0 = min(int(x), 7), min(int(y), 7)
    fx, fy = x - x0, y - y0
    fx, fy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    a = LATTICE[y0][x0] * (1 - fx) + LATTICE[y0][x0 + 1] * fx
    b = LATTICE[y0 + 1][x0] * (1 - fx) + LATTICE[y0 + 1][x0 + 1] * fx
    return a * (1 - fy) + b * fy


def smoke(x, y):
    # A cloudy puff: soft falloff broken up by noise, slightly darker in the middle of each clump.
    u, v = centred(x, y)
    r = math.hypot(u, v)
    n = noise(u, v)
    a = max(0.0, 1 - r * (0.75 + 0.5 * n)) ** 1.2
    return grey(0.75 + 0.25 * n, a * 0.9)


def spark(x, y):
    # A streak along the texture's v axis, for particles stretched along their motion.
    u, v = centred(x, y)
    across = max(0.0, 1 - abs(u) * 4)
    along = max(0.0, 1 - abs(v))
    return grey(1.0, (across ** 2) * (along ** 0.7))


def ring(x, y):
    # A thin bright ring with a soft inner glow: shockwaves and warp rings.
    u, v = centred(x, y)
    r = math.hypot(u, v)
    band = math.exp(-((r - 0.82) / 0.07) ** 2)
    inner = 0.25 * max(0.0, 1 - abs(r - 0.6) / 0.3) if r < 0.9 else 0.0
    return grey(1.0, min(1.0, band + inner) if r < 1 else 0.0)


for name, fn in (("vt_particle_soft.png", soft), ("vt_particle_smoke.png", smoke),
                 ("vt_particle_spark.png", spark), ("vt_particle_ring.png", ring)):
    write_png(OUT + name, SIZE, SIZE, fn)
