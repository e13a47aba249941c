#!/usr/bin/env python3
"""Writes the in-play HUD images of data/game/Data/GUI (run from the repository root):
ZV_BlackDip.png, a black veil darkest at the top and bottom edges under the HUD's rows, and the
atlas vt_hud.png of the skins in vt_skins_hud.xml: the bar fill "HPbar", the chain bar's balls
"ccCombo" (empty, grey, red, green, blue and the glow "Eff") and the overlays' glow "BonusEff"."""
import math

from pngwrite import write_png

GUI = "data/game/Data/GUI/"


def clamp(v, lo=0.0, hi=1.0):
    return max(lo, min(hi, v))


def smooth(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def black_dip(x, y, w=128, h=256):
    # Darkest along the top (the stat rows) and the bottom (chain bar, weapon and HP corners);
    # the middle of the screen stays clear.
    v = (y + 0.5) / h
    u = (x + 0.5) / w
    top = 0.55 * (1.0 - smooth(0.0, 0.24, v))
    bottom = 0.6 * smooth(0.74, 1.0, v)
    side = 0.18 * (1.0 - smooth(0.0, 0.12, min(u, 1.0 - u)))
    a = clamp(max(top, bottom) + side * (1.0 - max(top, bottom)))
    return (0, 0, 0, int(round(255 * a)))


# Atlas cells (must match vt_skins_hud.xml).
BAR = (0, 0, 64, 12)         # HPbar: six rows 2..7, drawn from "4 2 56 6"
BALL_Y = 32                  # ccCombo: 32 x 32 cells from x 0
BALLS = ["normal", "grey", "red", "green", "blue", "Eff"]
GLOW = (0, 64, 256, 64)      # BonusEff, drawn from "0 65 256 62"

BALL_COLOURS = {"grey": (0.55, 0.55, 0.55), "red": (1.0, 0.2, 0.15), "green": (0.2, 1.0, 0.3),
                "blue": (0.25, 0.45, 1.0)}


# The fill's rows from the top: a pale edge, amber, a deep lower edge, then deep amber. The HP
# corner shows only the upper three rows of its fill, so those make a whole bar on their own; the
# wave bar shows all six.
BAR_ROWS = [(255, 240, 175), (255, 182, 70), (232, 116, 22), (222, 106, 16), (214, 98, 12), (206, 92, 10)]


def bar(x, y):
    r, g, b = BAR_ROWS[y - 2]
    return (r, g, b, 255)


def ball(kind, lx, ly):
    cx = cy = 16.0
    samples = 4
    acc = [0.0, 0.0, 0.0, 0.0]
    for sy in range(samples):
        for sx in range(samples):
            px = lx + (sx + 0.5) / samples
            py = ly + (sy + 0.5) / samples
            d = math.hypot(px - cx, py - cy)
            if kind == "Eff":
                # A soft white halo, strongest on the ball's rim.
                a = clamp(1.0 - abs(d - 12.0) / 5.0) * 0.9 + clamp(1.0 - d / 14.0) * 0.35
                col, a = (1.0, 1.0, 0.9), clamp(a)
            elif kind == "normal":
                # An empty slot: a dark well with a thin light ring.
                if d > 14.5:
                    col, a = (0, 0, 0), 0.0
                elif d > 13.0:
                    col, a = (0.8, 0.8, 0.8), 0.85
                else:
                    col, a = (0.05, 0.05, 0.08), 0.55
            else:
                if d > 14.0:
                    col, a = (0, 0, 0), 0.0
                else:
                    base = BALL_COLOURS[kind]
                    # Lit from the upper left, with a small highlight.
                    nx, ny = (px - cx) / 14.0, (py - cy) / 14.0
                    nz = math.sqrt(max(0.0, 1.0 - nx * nx - ny * ny))
                    light = clamp(0.35 + 0.75 * (-0.5 * nx - 0.55 * ny + 0.67 * nz))
                    spec = clamp((math.hypot(px - 11.5, py - 10.5) - 3.5) / -3.0) * 0.8
                    col = tuple(clamp(c * light + spec) for c in base)
                    a = 1.0 if d < 13.0 else 14.0 - d
            acc[0] += col[0] * a
            acc[1] += col[1] * a
            acc[2] += col[2] * a
            acc[3] += a
    n = samples * samples
    a = acc[3] / n
    if a <= 0.0:
        return (0, 0, 0, 0)
    return (int(255 * clamp(acc[0] / acc[3])), int(255 * clamp(acc[1] / acc[3])),
            int(255 * clamp(acc[2] / acc[3])), int(round(255 * a)))


def glow(lx, ly):
    # A horizontal strip of light: bright along its middle line, fading to the ends and edges.
    w, h = GLOW[2], GLOW[3]
    u = (lx + 0.5) / w * 2.0 - 1.0
    v = (ly + 0.5) / h * 2.0 - 1.0
    a = (1.0 - u * u) ** 1.5 * math.exp(-(v * v) * 6.0)
    core = math.exp(-(v * v) * 60.0) * (1.0 - u * u)
    return (255, int(255 * clamp(0.75 + 0.25 * core)), int(255 * clamp(0.35 + 0.6 * core)),
            int(round(255 * clamp(a * 0.85 + core * 0.15))))


def atlas(x, y):
    bx, by, bw, bh = BAR
    if bx <= x < bx + bw and by <= y < by + bh:
        return bar(x, int(clamp(y, 2, 7))) if 0 <= y < 12 else (0, 0, 0, 0)
    if BALL_Y <= y < BALL_Y + 32 and x < 32 * len(BALLS):
        return ball(BALLS[x // 32], x % 32, y - BALL_Y)
    gx, gy, gw, gh = GLOW
    if gx <= x < gx + gw and gy <= y < gy + gh:
        return glow(x - gx, y - gy)
    return (0, 0, 0, 0)


if __name__ == "__main__":
    write_png(GUI + "ZV_BlackDip.png", 128, 256, black_dip)
    write_png(GUI + "vt_hud.png", 256, 128, atlas)
