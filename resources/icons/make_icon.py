#!/usr/bin/env python3
"""Draws Kivtree's application icon (a code tree on a blue tile) as PNG files.

Plain Python, no imaging library: each pixel is sampled 4x4 times against a few shapes.
Run it again after changing a shape; the PNG files are kept in the repository.
"""
import struct
import zlib


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def shapes():
    """(test, colour) pairs in unit coordinates 0..1, later ones drawn on top."""
    white = (255, 255, 255, 255)
    gold = (255, 196, 40, 255)
    out = [(lambda x, y: inside_round_rect(x, y, 0.04, 0.04, 0.96, 0.96, 0.18), (32, 96, 176, 255))]
    # The tree's lines: a trunk down from the root, a branch to each child.
    out.append((lambda x, y: 0.25 <= x <= 0.31 and 0.22 <= y <= 0.80, white))
    for cy in (0.46, 0.63, 0.80):
        out.append((lambda x, y, cy=cy: 0.25 <= x <= 0.52 and cy - 0.03 <= y <= cy + 0.03, white))
    # The root node and the child nodes, each a code label.
    out.append((lambda x, y: inside_round_rect(x, y, 0.14, 0.12, 0.46, 0.30, 0.05), gold))
    for cy in (0.46, 0.63, 0.80):
        out.append((lambda x, y, cy=cy: inside_round_rect(x, y, 0.50, cy - 0.07, 0.86, cy + 0.07, 0.04), white))
    return out


def render(size):
    layers = shapes()
    rows = []
    n = 4
    for py in range(size):
        row = bytearray([0])
        for px in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    x = (px + (sx + 0.5) / n) / size
                    y = (py + (sy + 0.5) / n) / size
                    colour = (0, 0, 0, 0)
                    for test, c in layers:
                        if test(x, y):
                            colour = c
                    for i in range(3):
                        acc[i] += colour[i] * colour[3] / 255  # premultiplied
                    acc[3] += colour[3]
            a = acc[3] / (n * n)
            if a:
                row += bytes(min(255, round(acc[i] / (n * n) * 255 / a)) for i in range(3)) + bytes([int(a)])
            else:
                row += bytes(4)
        rows.append(bytes(row))
    raw = b"".join(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


if __name__ == "__main__":
    for size in (48, 128):
        with open(f"kivtree-{size}.png", "wb") as f:
            f.write(render(size))
