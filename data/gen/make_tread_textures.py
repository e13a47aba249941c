#!/usr/bin/env python3
"""Writes the vehicles' tread textures to data/game/Data/Textures (run from the repository root).
Stripes across V: the track's plates, each with a raised bar, so that a V scroll shows the track
running. Fixed seeds so the output never changes."""
import os
import random

from pngwrite import write_png

OUT = "data/game/Data/Textures"
W, H = 64, 64
PLATES = 4  # per texture repeat


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
