#!/usr/bin/env python3
"""Writes the dialog box image of data/game/Data/GUI (run from the repository root)."""
import math

from pngwrite import write_png


def dialog_cog(x, y):
    # The "go on" mark: an orange cog with eight teeth and a dark hub, 32x32.
    cx = cy = 15.5
    dx, dy = x - cx, y - cy
    r = math.hypot(dx, dy)
    a = math.atan2(dy, dx)
    tooth = math.cos(a * 8) > 0.2
    outer = 15 if tooth else 11.5
    if r > outer:
        return (0, 0, 0, 0)
    if r < 4:
        return (40, 20, 0, 255)
    if r > outer - 1.5:
        return (120, 50, 0, 255)
    return (255, 140, 20, 255)


write_png("data/game/Data/GUI/hudDialogCog.png", 32, 32, dialog_cog)
