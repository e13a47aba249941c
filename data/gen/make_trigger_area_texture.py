#!/usr/bin/env python3
"""Writes the stripe texture of the trigger-area disc, data/game/Data/Textures/zv_trigger_stripes.png
(run from the repository root). White stripes across u with soft edges over a faint fill, so the
disc's colour tints it and the u scroll moves the stripes from the centre to the rim."""
import math

from pngwrite import write_png

OUT = "data/game/Data/Textures/zv_trigger_stripes.png"
SIZE = 64


def stripe(x, _y):
    # One stripe per texture width: a raised cosine, tileable in u.
    t = 0.5 + 0.5 * math.cos(2 * math.pi * x / SIZE)
    alpha = 60 + 195 * t ** 3
    return (255, 255, 255, alpha)


if __name__ == "__main__":
    write_png(OUT, SIZE, SIZE, stripe)
