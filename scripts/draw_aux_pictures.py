#!/usr/bin/env python3
"""Draws the pictures of the auxiliary windows as PNG files.

  resources/cursors/harrow.png    the pointing-hand cursor of link labels and check boxes
                                  (hot spot at the index fingertip: 6, 0)
  resources/bitmaps/helptop.png   the help window's small heading icon, 16 x 16
  resources/bitmaps/whowhere.png  the help window's decoration, 134 x 38

Pure Python (zlib only), so the pictures can be drawn again on any machine:
    python3 scripts/draw_aux_pictures.py [--out resources]
"""

import argparse
import math
import os
import struct
import zlib


def write_png(path, width, height, pixels):
    """pixels: list of rows, each a list of (r, g, b, a) tuples."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) \
        + chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


# The hand: '#' outline (black), '.' inside (white), blank transparent.
HAND = [
    "      ##",
    "     #..#",
    "     #..#",
    "     #..#",
    "     #..#",
    "     #..###",
    "     #..#..###",
    "     #..#..#..###",
    "     #..#..#..#..#",
    " ### #..#..#..#..#",
    " #..##..#..#..#..#",
    " #...#...........#",
    "  #..............#",
    "  #..............#",
    "   #.............#",
    "   #............#",
    "    #...........#",
    "    #..........#",
    "     #.........#",
    "     #.........#",
    "     ###########",
]


def draw_hand(path):
    size = 32
    colours = {"#": (0, 0, 0, 255), ".": (255, 255, 255, 255)}
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for y, line in enumerate(HAND):
        for x, ch in enumerate(line):
            if ch in colours:
                pixels[y][x] = colours[ch]
    write_png(path, size, size, pixels)


def supersample(width, height, shade, samples=4):
    """shade(x, y) -> (r, g, b, a) with a in 0..1, or None; averaged over samples^2 points."""
    pixels = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    c = shade(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples)
                    if c is None:
                        continue
                    r, g, b, a = c
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = samples * samples
            alpha = acc[3] / n
            if alpha <= 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / acc[3]), round(acc[1] / acc[3]), round(acc[2] / acc[3]),
                            round(alpha * 255)))
        pixels.append(row)
    return pixels


# A question mark on a 16 x 16 grid, drawn white inside the blue disc.
QUESTION = [
    "",
    "",
    "",
    "      ####",
    "     ##  ##",
    "         ##",
    "        ##",
    "       ##",
    "       ##",
    "",
    "       ##",
    "       ##",
]


def draw_help_top(path):
    cx, cy, radius = 8.0, 8.0, 7.4

    def shade(x, y):
        d = math.hypot(x - cx, y - cy)
        if d > radius:
            return None
        if d > radius - 1.0:
            return (20, 60, 140, 1.0)  # rim
        row, col = int(y), int(x)
        if row < len(QUESTION) and col < len(QUESTION[row]) and QUESTION[row][col] == "#":
            return (255, 255, 255, 1.0)
        light = max(0.0, 1.0 - math.hypot(x - 5.5, y - 5.0) / 10.0)
        return (round(40 + 90 * light), round(100 + 100 * light), round(200 + 55 * light), 1.0)

    write_png(path, 16, 16, supersample(16, 16, shade))


def draw_who_where(path):
    width, height = 134, 38
    globe_c, globe_r = (19.0, 19.0), 15.0
    pin_c, pin_r = (116.0, 13.0), 7.0

    def on_path(x, y):
        # A dotted arc from the globe to the pin.
        t = (x - 36.0) / (pin_c[0] - 36.0)
        if not 0.0 <= t <= 1.0:
            return False
        arc_y = 24.0 - 14.0 * math.sin(math.pi * t) + (pin_c[1] + 12.0 - 24.0) * t
        return abs(y - arc_y) < 1.0 and int(x) % 6 < 3

    def shade(x, y):
        # The pin: a red drop with a white eye.
        dx, dy = x - pin_c[0], y - pin_c[1]
        d = math.hypot(dx, dy)
        if d < pin_r * 0.38:
            return (255, 255, 255, 1.0)
        if d < pin_r or (pin_c[1] <= y <= pin_c[1] + 13.0 and abs(dx) < pin_r * (1.0 - (y - pin_c[1]) / 13.0)):
            return (215, 45, 40, 1.0)
        # The globe: meridians and parallels over a blue sphere.
        gx, gy = x - globe_c[0], y - globe_c[1]
        g = math.hypot(gx, gy)
        if g < globe_r:
            if g > globe_r - 1.0:
                return (15, 55, 110, 1.0)
            lat = gy / globe_r
            lon_scale = math.sqrt(max(0.0, 1.0 - lat * lat)) * globe_r
            grid = abs(gy) < 0.5 or abs(abs(gy) - 7.5) < 0.5
            for k in (-0.7, 0.0, 0.7):
                if abs(gx - k * lon_scale) < 0.55:
                    grid = True
            if grid:
                return (230, 245, 255, 1.0)
            light = max(0.0, 1.0 - math.hypot(gx + 5.0, gy + 6.0) / 22.0)
            return (round(30 + 80 * light), round(110 + 100 * light), round(180 + 70 * light), 1.0)
        if on_path(x, y):
            return (255, 240, 160, 1.0)
        # A soft light band that fades out towards the left, so the picture sits on the text box.
        band = max(0.0, min(1.0, (x - 30.0) / 100.0))
        if 4.0 <= y <= 34.0:
            return (235, 250, 250, 0.35 * band)
        return None

    write_png(path, width, height, supersample(width, height, shade))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", default=os.path.join(here, "..", "resources"), help="the resources folder")
    out = parser.parse_args().out
    draw_hand(os.path.join(out, "cursors", "harrow.png"))
    draw_help_top(os.path.join(out, "bitmaps", "helptop.png"))
    draw_who_where(os.path.join(out, "bitmaps", "whowhere.png"))


if __name__ == "__main__":
    main()
