#!/usr/bin/env python3
"""Draws openedFolder.png: the outline of an open folder, white on transparent, 28 x 22 points at
three pixels per point, for the move sheet's rows of the parent and the current folder.

Each pixel's cover is its distance to the outline's segments, so the edges are smooth without a
drawing library. Run it from anywhere; it writes next to itself.
"""
import math
import os
import struct
import zlib

SCALE = 3
WIDTH, HEIGHT = 28 * SCALE, 22 * SCALE
STROKE = 1.5 * SCALE

# In points: the back of the folder with its tab, and the front flap leaning open over it.
BACK = [(2, 20), (2, 3.5), (8.5, 3.5), (10.5, 5.5), (22, 5.5), (22, 8.5)]
FRONT = [(2, 20), (6, 8.5), (26.5, 8.5), (22.5, 20), (2, 20)]


def segments(points):
    scaled = [(x * SCALE, y * SCALE) for x, y in points]
    return list(zip(scaled, scaled[1:]))


def distance(px, py, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def cover(px, py, lines):
    nearest = min(distance(px, py, a, b) for a, b in lines)
    return max(0.0, min(1.0, STROKE / 2 + 0.5 - nearest))


def png(width, height, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    raw = b"".join(b"\x00" + row for row in rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def main():
    lines = segments(BACK) + segments(FRONT)
    rows = []
    for y in range(HEIGHT):
        row = bytearray()
        for x in range(WIDTH):
            alpha = round(255 * cover(x + 0.5, y + 0.5, lines))
            row += bytes((255, 255, 255, alpha))
        rows.append(bytes(row))
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "openedFolder.png")
    with open(out, "wb") as f:
        f.write(png(WIDTH, HEIGHT, rows))


if __name__ == "__main__":
    main()
