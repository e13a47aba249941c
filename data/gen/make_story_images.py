#!/usr/bin/env python3
"""Writes the story images (run from the repository root): the character poses of the cutscenes
into data/paks/Char, their backgrounds and pictures into data/paks/StoryImgs. Flat shapes with
soft edges, drawn in plain Python; fixed seeds, so the output never changes."""
import math
import random
import struct
import zlib

CHAR_DIR = "data/paks/Char"
STORY_DIR = "data/paks/StoryImgs"


class Canvas:
    """An RGBA image of floats 0..1, drawn with coverage-blended shapes."""

    def __init__(self, w, h, colour=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(colour) for _ in range(w * h)]

    def blend(self, x, y, colour, cover):
        if cover <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y * self.w + x]
        a = colour[3] * min(1.0, cover) if len(colour) > 3 else min(1.0, cover)
        out_a = a + p[3] * (1 - a)
        if out_a <= 0:
            return
        for i in range(3):
            p[i] = (colour[i] * a + p[i] * p[3] * (1 - a)) / out_a
        p[3] = out_a

    def region(self, x0, y0, x1, y1):
        for y in range(max(0, int(y0) - 1), min(self.h, int(y1) + 2)):
            for x in range(max(0, int(x0) - 1), min(self.w, int(x1) + 2)):
                yield x, y

    def fill(self, colour_at):
        for y in range(self.h):
            for x in range(self.w):
                self.blend(x, y, colour_at(x, y), 1.0)

    def ellipse(self, cx, cy, rx, ry, colour, rotation=0.0):
        c, s = math.cos(rotation), math.sin(rotation)
        r = max(rx, ry)
        for x, y in self.region(cx - r, cy - r, cx + r, cy + r):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            u, v = (dx * c + dy * s) / rx, (-dx * s + dy * c) / ry
            d = math.sqrt(u * u + v * v)
            # Distance to the edge in pixels, roughly.
            self.blend(x, y, colour, (1 - d) * min(rx, ry) + 0.5)

    def polygon(self, points, colour):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        n = len(points)
        for x, y in self.region(min(xs), min(ys), max(xs), max(ys)):
            px, py = x + 0.5, y + 0.5
            inside = False
            best = 1e9
            for i in range(n):
                ax, ay = points[i]
                bx, by = points[(i + 1) % n]
                if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
                    inside = not inside
                ex, ey = bx - ax, by - ay
                t = ((px - ax) * ex + (py - ay) * ey) / (ex * ex + ey * ey or 1)
                t = max(0.0, min(1.0, t))
                best = min(best, math.hypot(px - ax - t * ex, py - ay - t * ey))
            self.blend(x, y, colour, 0.5 + best if inside else 0.5 - best)

    def rect(self, x0, y0, x1, y1, colour):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], colour)

    def line(self, x0, y0, x1, y1, width, colour):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], colour)

    def glow(self, cx, cy, radius, colour, strength=1.0):
        for x, y in self.region(cx - radius, cy - radius, cx + radius, cy + radius):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / radius
            if d < 1:
                self.blend(x, y, colour, strength * (1 - d) ** 2)

    def save(self, path):
        rows = bytearray()
        for y in range(self.h):
            rows.append(0)
            for x in range(self.w):
                rows.extend(max(0, min(255, int(round(c * 255)))) for c in self.px[y * self.w + x])

        def chunk(kind, data):
            c = kind + data
            return struct.pack(">I", len(data)) + c + struct.pack(">I", zlib.crc32(c) & 0xFFFFFFFF)

        png = b"\x89PNG\r\n\x1a\n"
        png += chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
        png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
        png += chunk(b"IEND", b"")
        with open(path, "wb") as f:
            f.write(png)


def rgb(hex_colour, alpha=1.0):
    v = int(hex_colour.lstrip("#"), 16)
    return ((v >> 16) / 255, ((v >> 8) & 255) / 255, (v & 255) / 255, alpha)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))


def vertical(top, bottom, h):
    return lambda x, y: mix(top, bottom, y / (h - 1))


# ---------------------------------------------------------------- characters (256 x 384)

W, H = 256, 384
SKIN_NOW = [None]  # the skin of the character being drawn (the nose shades it)
SKIN = {"commander": rgb("#d9a47e"), "engineer": rgb("#c68863"), "pilot": rgb("#e8bf9a")}
OUTLINE = rgb("#14161c")


def torso(c, suit, trim, skin):
    # Shoulders and chest down to the bottom edge, with an outline drawn as a larger shape below.
    body = [(28, 384), (36, 300), (60, 262), (100, 246), (156, 246), (196, 262), (220, 300), (228, 384)]
    grown = [(x + (-4 if x < 128 else 4), y - 4) for x, y in body]
    c.polygon(grown, OUTLINE)
    c.polygon(body, suit)
    c.polygon([(112, 246), (144, 246), (128, 292)], trim)  # collar
    c.rect(118, 214, 138, 252, OUTLINE)
    c.rect(121, 214, 135, 250, skin)  # neck


def head(c, skin):
    c.ellipse(128, 160, 50, 64, OUTLINE)
    c.ellipse(128, 160, 46, 60, skin)
    c.ellipse(80, 166, 9, 14, skin)  # ears
    c.ellipse(176, 166, 9, 14, skin)


def eyes(c, mood):
    for side in (-1, 1):
        ex = 128 + side * 19
        c.ellipse(ex, 160, 8, 6, rgb("#f4f1ea"))
        c.ellipse(ex, 161, 4, 4, rgb("#2b2f3a"))
        inner = ex - 10 * side
        outer = ex + 10 * side
        if mood == "stern":
            c.line(inner, 150, outer, 142, 4, OUTLINE)
        elif mood == "worried":
            c.line(inner, 141, outer, 148, 4, OUTLINE)
        elif mood == "hurt":
            c.line(inner, 142, outer, 147, 4, OUTLINE)
        else:
            c.line(ex - 10, 146, ex + 10, 146, 4, OUTLINE)


def mouth(c, mood):
    if mood in ("grin", "smile"):
        c.polygon([(108, 190), (148, 190), (140, 202), (116, 202)], rgb("#5a1e1e"))
        c.rect(112, 190, 144, 194, rgb("#f4f1ea"))
    elif mood == "worried":
        c.ellipse(128, 197, 7, 9, rgb("#5a1e1e"))
    elif mood in ("stern", "hurt"):
        c.line(112, 198, 144, 194 if mood == "hurt" else 198, 4, rgb("#6b2f2a"))
    else:
        c.line(114, 196, 142, 196, 4, rgb("#6b2f2a"))
    c.polygon([(128, 166), (121, 182), (133, 182)], mix(SKIN_NOW[0], OUTLINE, 0.25))  # nose


def arm_salute(c, suit, skin):
    c.polygon([(200, 300), (236, 250), (214, 150), (190, 140), (200, 240), (176, 280)], OUTLINE)
    c.polygon([(202, 294), (230, 250), (210, 156), (196, 150), (204, 242), (182, 280)], suit)
    c.ellipse(186, 138, 18, 12, skin, rotation=-0.5)  # hand at the brow


def commander(mood):
    c = Canvas(W, H)
    SKIN_NOW[0] = SKIN["commander"]
    navy, gold = rgb("#1f2f4f"), rgb("#d4a72c")
    torso(c, navy, rgb("#e8e8e8"), SKIN_NOW[0])
    for x in (62, 178):  # epaulettes
        c.rect(x - 22, 256, x + 22, 268, gold)
    for i in range(3):  # ribbons
        c.rect(72 + i * 14, 300, 84 + i * 14, 310, [rgb("#b83232"), rgb("#2f7a3d"), rgb("#e0c040")][i])
    head(c, SKIN_NOW[0])
    c.polygon([(80, 128), (92, 104), (164, 104), (176, 128), (176, 140), (80, 140)], rgb("#9aa0a8"))  # grey hair
    c.polygon([(70, 116), (186, 116), (176, 84), (80, 84)], navy)  # cap
    c.polygon([(66, 118), (190, 118), (200, 130), (56, 130)], OUTLINE)  # peak
    c.ellipse(128, 100, 9, 9, gold)
    eyes(c, "stern" if mood in ("stern", "salute") else "calm")
    mouth(c, "stern" if mood == "stern" else "calm")
    if mood == "salute":
        arm_salute(c, navy, SKIN_NOW[0])
    return c


def engineer(mood):
    c = Canvas(W, H)
    SKIN_NOW[0] = SKIN["engineer"]
    orange = rgb("#d9661f")
    torso(c, orange, rgb("#3a3a3a"), SKIN_NOW[0])
    c.rect(64, 262, 84, 384, rgb("#3a3a3a"))  # overall straps
    c.rect(172, 262, 192, 384, rgb("#3a3a3a"))
    c.rect(100, 320, 156, 350, rgb("#b5531a"))  # chest pocket
    c.line(110, 322, 112, 300, 5, rgb("#c8c8d0"))  # a screwdriver in it
    c.ellipse(180, 210, 18, 40, rgb("#2a1a12"))  # ponytail behind
    head(c, SKIN_NOW[0])
    c.polygon([(78, 150), (84, 110), (128, 92), (172, 110), (178, 150), (160, 120), (96, 120)], rgb("#3b2418"))
    c.rect(74, 116, 182, 128, rgb("#202020"))  # goggle strap
    for side in (-1, 1):
        c.ellipse(128 + side * 22, 122, 17, 13, rgb("#202020"))
        c.ellipse(128 + side * 22, 122, 12, 9, rgb("#6fc3d8"))
    eyes(c, "worried" if mood == "worried" else "calm")
    mouth(c, "worried" if mood == "worried" else "smile")
    c.ellipse(104, 182, 6, 4, rgb("#5a3a2a", 0.5))  # grease smudge
    return c


def pilot(mood):
    c = Canvas(W, H)
    SKIN_NOW[0] = SKIN["pilot"]
    green = rgb("#4d6b3a")
    torso(c, green, rgb("#c8b27a"), SKIN_NOW[0])
    c.rect(140, 300, 190, 322, rgb("#8a2e2e"))  # name patch
    c.rect(150, 306, 180, 316, rgb("#f0e6d0"))
    head(c, SKIN_NOW[0])
    # Helmet with the visor pushed up.
    c.polygon([(70, 176), (72, 120), (96, 88), (160, 88), (184, 120), (186, 176), (172, 176), (170, 132),
               (86, 132), (84, 176)], rgb("#e0e0e4"))
    c.polygon([(84, 110), (172, 110), (164, 92), (92, 92)], rgb("#f2a23a", 0.9))  # visor
    if mood == "hurt":
        c.polygon([(90, 128), (168, 124), (168, 138), (90, 142)], rgb("#f4f4f0"))  # bandage
        c.ellipse(150, 132, 6, 4, rgb("#b83232", 0.8))
    eyes(c, "hurt" if mood == "hurt" else "calm")
    mouth(c, "grin" if mood == "grin" else ("hurt" if mood == "hurt" else "calm"))
    return c


# ---------------------------------------------------------------- backgrounds (640 x 360)

BW, BH = 640, 360


def stars(c, count, seed, top=0.6):
    rnd = random.Random(seed)
    for _ in range(count):
        x, y = rnd.uniform(0, BW), rnd.uniform(0, BH * top)
        c.ellipse(x, y, 1.2, 1.2, (1, 1, 1, rnd.uniform(0.3, 0.9)))


def saucer(c, cx, cy, r, body=rgb("#8d96a8"), light=rgb("#7ff0ff")):
    c.glow(cx, cy + r * 0.5, r * 2.2, (light[0], light[1], light[2], 1), 0.35)
    c.ellipse(cx, cy, r, r * 0.28, OUTLINE)
    c.ellipse(cx, cy, r - 2, r * 0.28 - 2, body)
    c.ellipse(cx, cy - r * 0.2, r * 0.42, r * 0.3, rgb("#5fc8e8", 0.9))
    for i in range(-2, 3):
        c.ellipse(cx + i * r * 0.35, cy + r * 0.05, r * 0.06 + 1, r * 0.06 + 1, light)


def skyline(c, seed, base_y, colour, window, lit=0.25):
    rnd = random.Random(seed)
    x = -10
    while x < BW:
        w = rnd.randint(34, 80)
        h = rnd.randint(60, 170)
        c.rect(x, base_y - h, x + w, BH, colour)
        for wy in range(int(base_y - h + 10), BH - 8, 16):
            for wx in range(int(x + 6), int(x + w - 8), 12):
                if rnd.random() < lit:
                    c.rect(wx, wy, wx + 6, wy + 8, window)
        x += w + rnd.randint(2, 12)


def bg_command():
    c = Canvas(BW, BH)
    c.fill(vertical(rgb("#10232b"), rgb("#0a1216"), BH))
    c.rect(150, 40, 490, 250, OUTLINE)  # big screen
    c.rect(158, 48, 482, 242, rgb("#0b3a34"))
    for r in (30, 60, 90):
        for k in range(90):
            a = k / 90 * 2 * math.pi
            c.blend(int(320 + r * math.cos(a)), int(145 + r * math.sin(a)), rgb("#4fe0a0"), 0.8)
    c.line(320, 145, 395, 100, 2, rgb("#4fe0a0", 0.8))
    for (x, y) in ((360, 110), (280, 180), (390, 170)):
        c.glow(x, y, 10, rgb("#ff5a3a"), 1.0)
    c.polygon([(0, 280), (640, 280), (640, 360), (0, 360)], rgb("#1d2a30"))  # console
    rnd = random.Random(3)
    for i in range(40):
        x = 20 + i * 15
        c.rect(x, 300, x + 8, 306, [rgb("#ffcc33"), rgb("#33ff88"), rgb("#ff5544")][rnd.randint(0, 2)])
    for x in (40, 600):
        c.rect(x - 12, 0, x + 12, 280, rgb("#16252c"))  # pillars
    return c


def bg_scrapyard():
    c = Canvas(BW, BH)
    c.fill(vertical(rgb("#3a2a5a"), rgb("#e08a4a"), BH))
    stars(c, 40, 11, 0.35)
    rnd = random.Random(5)
    for i in range(9):  # junk piles
        cx = i * 80 + rnd.randint(-20, 20)
        h = rnd.randint(50, 110)
        c.polygon([(cx - 70, BH), (cx - 20, BH - h), (cx + 10, BH - h + 15), (cx + 60, BH)], rgb("#1e1a22"))
    c.line(470, 240, 560, 170, 6, rgb("#1e1a22"))  # crane
    c.line(560, 170, 600, 260, 3, rgb("#1e1a22"))
    saucer(c, 180, 90, 46)
    saucer(c, 420, 60, 28)
    saucer(c, 540, 110, 20)
    return c


def bg_foundry():
    c = Canvas(BW, BH)
    c.fill(vertical(rgb("#2a0e0a"), rgb("#6a1e0e"), BH))
    for x, w, h in ((60, 40, 250), (150, 30, 200), (480, 46, 270), (580, 28, 190)):
        c.rect(x, BH - h, x + w, BH, rgb("#1a0c0a"))  # chimneys
        c.glow(x + w / 2, BH - h - 10, 40, rgb("#ff7a2a"), 0.5)
    c.rect(220, 200, 440, 360, rgb("#241210"))  # furnace
    c.polygon([(260, 360), (260, 260), (330, 230), (400, 260), (400, 360)], rgb("#ffb030"))
    c.glow(330, 300, 170, rgb("#ff9a2a"), 0.7)
    rnd = random.Random(8)
    for _ in range(120):  # sparks
        x, y = rnd.uniform(200, 460), rnd.uniform(100, 300)
        c.ellipse(x, y, 1.5, 1.5, rgb("#ffe070", rnd.uniform(0.4, 1)))
    return c


def bg_meltdown():
    c = Canvas(BW, BH)
    c.fill(vertical(rgb("#3a1208"), rgb("#160604"), BH))
    c.glow(320, 200, 360, rgb("#ff6a1a"), 0.9)
    c.glow(320, 200, 200, rgb("#ffd060"), 1.0)
    c.glow(320, 200, 90, rgb("#ffffff"), 1.0)
    rnd = random.Random(21)
    for _ in range(26):  # flying debris
        a = rnd.uniform(0, 2 * math.pi)
        d = rnd.uniform(120, 300)
        x, y = 320 + d * math.cos(a), 200 + d * 0.6 * math.sin(a)
        s = rnd.uniform(4, 12)
        c.polygon([(x, y - s), (x + s, y), (x + s * 0.3, y + s), (x - s, y + s * 0.4)], rgb("#1a0a06"))
    c.polygon([(0, 360), (0, 300), (90, 280), (150, 310), (260, 300), (330, 320), (460, 290), (560, 310),
               (640, 295), (640, 360)], rgb("#100604"))
    return c


def bg_skyline():
    c = Canvas(BW, BH)
    c.fill(vertical(rgb("#060b1e"), rgb("#1c2f5a"), BH))
    stars(c, 120, 31)
    c.ellipse(520, 70, 26, 26, rgb("#e8ecf4"))  # moon
    skyline(c, 41, 300, rgb("#0e1428"), rgb("#ffd870"), 0.2)
    skyline(c, 42, 360, rgb("#080c18"), rgb("#ffcf5a"), 0.3)
    c.rect(300, 60, 316, 230, rgb("#0a0f20"))  # the beacon tower
    c.glow(308, 58, 60, rgb("#ff4a3a"), 0.9)
    return c


def bg_dawn():
    c = Canvas(BW, BH)
    c.fill(vertical(rgb("#3a4a8a"), rgb("#ffb070"), BH))
    c.glow(320, 300, 260, rgb("#ffe0a0"), 0.8)
    c.ellipse(320, 300, 48, 48, rgb("#fff2c8"))
    skyline(c, 51, 330, rgb("#2a2038"), rgb("#ffd080"), 0.05)
    c.rect(312, 120, 328, 330, rgb("#2a2038"))
    c.glow(320, 118, 80, rgb("#ffffff"), 1.0)
    for a in (-0.6, -0.2, 0.2, 0.6):  # light rays of the beacon
        c.line(320, 118, 320 + 300 * math.sin(a), 118 - 300 * math.cos(a), 6, rgb("#fff6d0", 0.25))
    return c


# ---------------------------------------------------------------- pictures (256 x 256)


def pic_saucer():
    c = Canvas(256, 256)
    saucer(c, 128, 120, 100)
    c.polygon([(98, 150), (158, 150), (200, 250), (56, 250)], rgb("#7ff0ff", 0.25))  # tractor beam
    return c


def pic_map():
    c = Canvas(256, 256, rgb("#0b2a24"))
    for i in range(0, 257, 32):
        c.line(i, 0, i, 256, 1, rgb("#3aa080", 0.6))
        c.line(0, i, 256, i, 1, rgb("#3aa080", 0.6))
    c.polygon([(20, 200), (80, 150), (140, 170), (210, 90), (240, 120), (200, 220), (60, 236)], rgb("#1f5a48"))
    for x, y in ((70, 90), (150, 60), (190, 150)):
        c.ellipse(x, y, 9, 9, rgb("#ff4a3a"))
    c.ellipse(110, 200, 10, 10, rgb("#5ad0ff"))  # our position
    c.rect(0, 0, 256, 4, rgb("#4fe0a0"))
    c.rect(0, 252, 256, 256, rgb("#4fe0a0"))
    return c


def pic_mothership():
    c = Canvas(256, 256)
    c.glow(128, 150, 140, rgb("#ff6a3a"), 0.4)
    c.ellipse(128, 128, 124, 40, OUTLINE)
    c.ellipse(128, 128, 120, 36, rgb("#4a4e5e"))
    c.ellipse(128, 108, 60, 34, rgb("#5a6072"))
    for i in range(9):
        c.ellipse(28 + i * 25, 136, 5, 5, rgb("#ffd040"))
    c.ellipse(128, 160, 30, 10, rgb("#ff7a3a"))
    return c


def pic_beacon():
    c = Canvas(256, 256)
    c.glow(128, 50, 110, rgb("#fff0c0"), 1.0)
    c.polygon([(112, 256), (120, 60), (136, 60), (144, 256)], rgb("#2a2a36"))
    c.polygon([(106, 70), (150, 70), (144, 40), (112, 40)], rgb("#3a3a48"))
    c.ellipse(128, 44, 14, 14, rgb("#ffffff"))
    return c


def main():
    images = {
        f"{CHAR_DIR}/cs_commander_calm.png": lambda: commander("calm"),
        f"{CHAR_DIR}/cs_commander_stern.png": lambda: commander("stern"),
        f"{CHAR_DIR}/cs_commander_salute.png": lambda: commander("salute"),
        f"{CHAR_DIR}/cs_engineer_calm.png": lambda: engineer("calm"),
        f"{CHAR_DIR}/cs_engineer_worried.png": lambda: engineer("worried"),
        f"{CHAR_DIR}/cs_pilot_calm.png": lambda: pilot("calm"),
        f"{CHAR_DIR}/cs_pilot_grin.png": lambda: pilot("grin"),
        f"{CHAR_DIR}/cs_pilot_hurt.png": lambda: pilot("hurt"),
        f"{STORY_DIR}/st_bg_command.png": bg_command,
        f"{STORY_DIR}/st_bg_scrapyard.png": bg_scrapyard,
        f"{STORY_DIR}/st_bg_foundry.png": bg_foundry,
        f"{STORY_DIR}/st_bg_meltdown.png": bg_meltdown,
        f"{STORY_DIR}/st_bg_skyline.png": bg_skyline,
        f"{STORY_DIR}/st_bg_dawn.png": bg_dawn,
        f"{STORY_DIR}/st_pic_saucer.png": pic_saucer,
        f"{STORY_DIR}/st_pic_map.png": pic_map,
        f"{STORY_DIR}/st_pic_mothership.png": pic_mothership,
        f"{STORY_DIR}/st_pic_beacon.png": pic_beacon,
    }
    for path, make in images.items():
        make().save(path)


if __name__ == "__main__":
    main()
