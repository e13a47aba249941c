#!/usr/bin/env python3
"""Writes the challenge list's and the garage's images into data/game/Data/GUI (run from the
repository root): the skin atlas vt_challenge.png, the lock, the five weapon icons and the nine
upgrade pictures."""
import math

from pngwrite import write_png

OUT = "data/game/Data/GUI/"


CLEAR = (0, 0, 0, 0)


def disc(x, y, cx, cy, r):
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


def shade(colour, f):
    return tuple(max(0, min(255, int(c * f))) for c in colour[:3]) + (colour[3] if len(colour) > 3 else 255,)


# A 3 x 5 pixel font for the few letters the badges need.
GLYPHS = {
    "N": ["101", "111", "111", "111", "101"],
    "E": ["111", "100", "110", "100", "111"],
    "W": ["101", "101", "111", "111", "101"],
}


def text_pixel(text, x, y, left, top, scale):
    gx = (x - left) // scale
    gy = (y - top) // scale
    if x < left or y < top or gy >= 5:
        return False
    index, col = divmod(gx, 4)
    if index >= len(text) or col == 3:
        return False
    return GLYPHS[text[index]][gy][col] == "1"


# ---- the skin atlas (256 x 144) ----

MEDALS = [(70, 70, 80), (60, 110, 170), (176, 110, 50), (200, 205, 215), (235, 190, 40)]


def medal_cell(kind, x, y):
    cx = cy = 20
    if not disc(x, y, cx, cy, 17):
        return CLEAR
    base = MEDALS[kind]
    if disc(x, y, cx, cy, 14):
        if kind == 0:
            # a small padlock: shackle and body
            body = 13 <= x <= 26 and 19 <= y <= 29
            shackle = disc(x, y, 20, 17, 6) and not disc(x, y, 20, 17, 3.5) and y <= 19
            return (30, 30, 34, 255) if body or shackle else (*base, 255)
        # a star on the medals, a plain centre on the open challenge
        if kind >= 2:
            ang = math.atan2(y + 0.5 - cy, x + 0.5 - cx)
            rad = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
            star = 5 + 4 * math.cos(5 * ang)
            if rad < star:
                return (*shade(base, 1.25)[:3], 255)
        return (*base, 255)
    return (*shade(base, 0.6)[:3], 255)


def new_badge(x, y):
    if text_pixel("NEW", x, y, 6, 3, 2):
        return (40, 20, 0, 255)
    edge = x in (0, 45) or y in (0, 15)
    return (255, 230, 40, 255) if not edge else (200, 140, 0, 255)


def arrow(x, y, right, lit):
    base = (70, 110, 160) if lit else (40, 64, 96)
    border = x in (0, 23) or y in (0, 27)
    if border:
        return (200, 210, 230, 255)
    ax = 23 - x if right else x
    # a triangle pointing to the side
    if 7 <= ax <= 16 and abs(y - 13.5) <= (ax - 7) * 0.9:
        return (255, 255, 255, 255)
    return (*base, 255)


def panel_colour(x, y):
    # dark fill under the item pictures, light rim: tinted by the widget colour
    rim = min(x, y, 63 - x, 63 - y)
    return (40, 46, 56, 255) if rim >= 3 else (200, 200, 200, 255)


def sel_box(x, y):
    rim = min(x, y, 63 - x, 63 - y)
    if rim < 4:
        return (255, 200, 40, 255)
    return CLEAR


def atlas(x, y):
    if y < 40:
        if x < 200:
            return medal_cell(x // 40, x % 40, y)
        return CLEAR
    if y < 80:
        if x < 46 and y < 56:
            return new_badge(x, y - 40)
        if 64 <= x < 160 and y < 68:
            i = (x - 64) // 24
            return arrow((x - 64) % 24, y - 40, i >= 2, i % 2 == 1)
        return CLEAR
    if y < 144:
        if x < 64:
            return panel_colour(x, y - 80)
        if x < 128:
            return sel_box(x - 64, y - 80)
        return CLEAR
    return CLEAR


write_png(OUT + "vt_challenge.png", 256, 144, atlas)


# ---- the lock (128 x 128) ----

def lock(x, y):
    body = 28 <= x <= 99 and 56 <= y <= 112
    shackle = disc(x, y, 64, 52, 30) and not disc(x, y, 64, 52, 20) and y <= 58
    hole = disc(x, y, 64, 78, 7) or (61 <= x <= 66 and 78 <= y <= 98)
    if body:
        if hole:
            return (30, 20, 10, 255)
        return (230, 150, 30, 255) if x < 64 else (200, 120, 20, 255)
    if shackle:
        return (180, 185, 195, 255)
    return CLEAR


write_png(OUT + "Zv_Locked.png", 128, 128, lock)


# ---- the weapon icons (64 x 64) ----

def icon_back(x, y):
    if not disc(x, y, 32, 32, 30):
        return CLEAR
    return (40, 50, 64, 255) if disc(x, y, 32, 32, 28) else (150, 160, 175, 255)


def gatling(x, y):
    barrels = any(abs(y - (22 + 7 * i)) <= 2 for i in range(3)) and 14 <= x <= 52
    housing = 10 <= x <= 22 and 16 <= y <= 44
    if housing:
        return (120, 120, 130, 255)
    if barrels:
        return (220, 220, 230, 255)
    return icon_back(x, y)


def rocket(x, y):
    body = 26 <= x <= 38 and 20 <= y <= 46
    nose = 8 <= y < 20 and abs(x - 31.5) <= (y - 8) * 0.55
    fins = 40 <= y <= 50 and (abs(x - 31.5) <= 6 + (y - 40) * 0.8) and not (26 <= x <= 38 and y > 46)
    flame = 47 <= y <= 56 and abs(x - 31.5) <= (56 - y) * 0.6
    if nose:
        return (230, 60, 40, 255)
    if body:
        return (230, 230, 235, 255)
    if fins:
        return (230, 60, 40, 255)
    if flame:
        return (255, 190, 40, 255)
    return icon_back(x, y)


def flak(x, y):
    ang = math.atan2(y + 0.5 - 32, x + 0.5 - 32)
    rad = math.hypot(x + 0.5 - 32, y + 0.5 - 32)
    burst = rad < 10 + 12 * max(0.0, math.cos(8 * ang)) ** 3
    if rad < 7:
        return (255, 250, 200, 255)
    if burst:
        return (255, 150, 30, 255)
    return icon_back(x, y)


def shield(x, y):
    inside = 14 <= x <= 49 and 12 <= y <= 52 and (y <= 34 or abs(x - 31.5) <= (52 - y) * 1.0)
    rim = inside and not (17 <= x <= 46 and 15 <= y <= 49 and (y <= 34 or abs(x - 31.5) <= (49 - y) * 1.0 - 1))
    if rim:
        return (230, 230, 240, 255)
    if inside:
        return (60, 140, 220, 255)
    return icon_back(x, y)


def clock(x, y):
    if disc(x, y, 32, 32, 20):
        if not disc(x, y, 32, 32, 17):
            return (230, 230, 240, 255)
        hand_m = 30 <= x <= 33 and 18 <= y <= 33
        hand_h = 31 <= y <= 34 and 31 <= x <= 42
        if hand_m or hand_h:
            return (20, 20, 30, 255)
        return (120, 220, 160, 255)
    return icon_back(x, y)


for name, fn in [("WGatlingL", gatling), ("WRocketL", rocket), ("WFlakL", flak), ("WShieldL", shield),
                 ("WTimeSL", clock)]:
    write_png(OUT + name + ".png", 64, 64, fn)


# ---- the upgrade pictures (64 x 64): the part, and one to three level bars ----

def level_bars(x, y, level):
    for i in range(level):
        if 6 + 9 * i <= x <= 12 + 9 * i and 52 <= y <= 58:
            return True
    return False


def turret(x, y, level):
    if level_bars(x, y, level):
        return (255, 160, 30, 255)
    dome = disc(x, y, 30, 34, 14) and y <= 34
    base = 12 <= x <= 48 and 34 <= y <= 42
    barrel = 38 <= x <= 58 and 24 - level <= y <= 28 + level
    if dome or base:
        return (150, 165, 140, 255)
    if barrel:
        return (200, 205, 210, 255)
    return (30, 36, 44, 255)


def core(x, y, level):
    if level_bars(x, y, level):
        return (255, 160, 30, 255)
    d = abs(x - 31.5) + abs(y - 28.5)
    if d <= 18:
        glow = 1.0 - d / 22.0
        return (int(60 + 120 * glow * level / 3), int(160 + 90 * glow), 255, 255)
    if d <= 21:
        return (180, 190, 200, 255)
    return (30, 36, 44, 255)


def track(x, y, level):
    if level_bars(x, y, level):
        return (255, 160, 30, 255)
    belt = 6 <= x <= 57 and 18 <= y <= 42
    inner = 9 <= x <= 54 and 21 <= y <= 39
    wheel = any(disc(x, y, 14 + 12 * i, 30, 5) for i in range(4))
    if wheel:
        return (200, 200, 210, 255)
    if belt and not inner:
        return (110, 110, 115, 255) if (x // 3) % 2 else (80, 80, 85, 255)
    if inner:
        return (50, 55, 60, 255)
    return (30, 36, 44, 255)


for name, fn in [("ZV_pTur", turret), ("ZV_pCore", core), ("ZV_pTrack", track)]:
    for level in (1, 2, 3):
        write_png(OUT + name + str(level) + ".png", 64, 64, lambda x, y, f=fn, l=level: f(x, y, l))
