#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico and as PNGs.

The artwork is a violet rounded badge with "MD5" in white strokes and a row
of dashes under it, like a digest. Every shape is a distance field, so the
same drawing renders cleanly at any size, and only the standard library is
needed: the output is byte-for-byte the same on every run.

Usage: scripts/make-icon.py [resources-dir]   (default: resources/ of the repo)
"""

import math
import os
import struct
import sys
import zlib

# Design space: the badge artwork is 256 x 146 units.
ART_WIDTH = 256
ART_HEIGHT = 146

VIOLET = (0x55, 0x00, 0xFF)
WHITE = (0xFF, 0xFF, 0xFF)

BADGE_LEFT, BADGE_TOP, BADGE_RIGHT, BADGE_BOTTOM = 4.0, 4.0, 252.0, 142.0
BADGE_RADIUS = 30.0

LETTER_TOP = 28.0
LETTER_BOTTOM = 90.0
LETTER_STROKE = 15.0

DASH_Y = 114.0
DASH_STROKE = 6.0
DASH_GAP = 7.0
DASH_LENGTHS = (12.0, 6.0, 20.0, 9.0, 4.0, 16.0, 10.0, 6.0, 14.0)
DASH_OPACITY = 0.6


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length_sq = dx * dx + dy * dy
    t = 0.0 if length_sq == 0.0 else ((px - ax) * dx + (py - ay) * dy) / length_sq
    t = min(1.0, max(0.0, t))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


class Polyline:
    def __init__(self, *points):
        self.segments = list(zip(points, points[1:]))

    def distance(self, px, py):
        return min(segment_distance(px, py, ax, ay, bx, by)
                   for (ax, ay), (bx, by) in self.segments)


class Arc:
    """Circular arc from angle `start` to `end` (degrees, y down, increasing)."""

    def __init__(self, cx, cy, radius, start, end):
        self.cx, self.cy, self.radius = cx, cy, radius
        self.start = math.radians(start)
        self.sweep = math.radians(end - start)
        self.ends = [(cx + radius * math.cos(a), cy + radius * math.sin(a))
                     for a in (self.start, self.start + self.sweep)]

    def distance(self, px, py):
        angle = math.atan2(py - self.cy, px - self.cx)
        if (angle - self.start) % (2.0 * math.pi) <= self.sweep:
            return abs(math.hypot(px - self.cx, py - self.cy) - self.radius)
        return min(math.hypot(px - ex, py - ey) for ex, ey in self.ends)


def letter_strokes():
    top, bottom = LETTER_TOP, LETTER_BOTTOM
    middle = (top + bottom) / 2.0
    half_height = (bottom - top) / 2.0

    m_left = 34.0
    m = Polyline((m_left, bottom), (m_left, top), (m_left + 28.0, top + 38.0),
                 (m_left + 56.0, top), (m_left + 56.0, bottom))

    d_left = m_left + 56.0 + 20.0
    d_stem = Polyline((d_left + 20.0, top), (d_left, top), (d_left, bottom),
                      (d_left + 20.0, bottom))
    d_bowl = Arc(d_left + 20.0, middle, half_height, -90.0, 90.0)

    five_left = d_left + 20.0 + half_height + 20.0
    bowl_radius = 21.0
    bowl_cx, bowl_cy = five_left + 21.0, bottom - bowl_radius
    bowl_start = -125.0
    bowl_start_x = bowl_cx + bowl_radius * math.cos(math.radians(bowl_start))
    bowl_start_y = bowl_cy + bowl_radius * math.sin(math.radians(bowl_start))
    five_bar = Polyline((five_left + 42.0, top), (five_left + 4.0, top),
                        (five_left + 2.0, top + 27.0), (bowl_start_x, bowl_start_y))
    five_bowl = Arc(bowl_cx, bowl_cy, bowl_radius, bowl_start, 140.0)

    return [m, d_stem, d_bowl, five_bar, five_bowl]


def dash_strokes():
    total = sum(DASH_LENGTHS) + DASH_GAP * (len(DASH_LENGTHS) - 1) \
        + DASH_STROKE * len(DASH_LENGTHS)
    x = (ART_WIDTH - total) / 2.0 + DASH_STROKE / 2.0
    dashes = []
    for length in DASH_LENGTHS:
        dashes.append(Polyline((x, DASH_Y), (x + length, DASH_Y)))
        x += length + DASH_STROKE + DASH_GAP
    return dashes


def rounded_rect_distance(px, py):
    """Signed distance to the badge: negative inside."""
    cx = (BADGE_LEFT + BADGE_RIGHT) / 2.0
    cy = (BADGE_TOP + BADGE_BOTTOM) / 2.0
    qx = abs(px - cx) - ((BADGE_RIGHT - BADGE_LEFT) / 2.0 - BADGE_RADIUS)
    qy = abs(py - cy) - ((BADGE_BOTTOM - BADGE_TOP) / 2.0 - BADGE_RADIUS)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - BADGE_RADIUS


def coverage(signed_distance_px):
    """Pixel coverage of a shape edge at the given signed distance in pixels."""
    return min(1.0, max(0.0, 0.5 - signed_distance_px))


LETTERS = letter_strokes()
DASHES = dash_strokes()


def shade(x, y, scale):
    """RGBA of the artwork at design point (x, y); scale = pixels per unit."""
    badge = coverage(rounded_rect_distance(x, y) * scale)
    if badge == 0.0:
        return (0, 0, 0, 0)
    letters = coverage((min(s.distance(x, y) for s in LETTERS)
                        - LETTER_STROKE / 2.0) * scale)
    dashes = coverage((min(s.distance(x, y) for s in DASHES)
                       - DASH_STROKE / 2.0) * scale) * DASH_OPACITY
    white = max(letters, dashes)
    rgb = tuple(round(v + (w - v) * white) for v, w in zip(VIOLET, WHITE))
    return rgb + (round(255 * badge),)


def render(width, height, art_scale):
    """Rows of RGBA tuples: the artwork scaled and centred on a clear canvas."""
    left = (width - ART_WIDTH * art_scale) / 2.0
    top = (height - ART_HEIGHT * art_scale) / 2.0
    return [[shade((col + 0.5 - left) / art_scale, (row + 0.5 - top) / art_scale,
                   art_scale)
             for col in range(width)]
            for row in range(height)]


def png_bytes(rows):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico_bytes(rows):
    """One-image .ico with a 32-bit DIB payload (the form every Windows reads)."""
    height, width = len(rows), len(rows[0])
    # DIB rows run bottom-up; colour rows are BGRA.
    colour = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    # The AND mask marks fully clear pixels for readers that ignore alpha;
    # each row is padded to 32 bits.
    mask_stride = (width + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for col, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    dib_header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0,
                             len(colour) + len(mask), 0, 0, 0, 0)
    payload = dib_header + colour + bytes(mask)
    icon_dir = struct.pack("<HHH", 0, 1, 1)
    # Width and height bytes of 0 stand for 256.
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32,
                        len(payload), len(icon_dir) + 16)
    return icon_dir + entry + payload


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as out:
        out.write(data)


def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(repo, "resources")

    write(os.path.join(out_dir, "app.ico"), ico_bytes(render(ART_WIDTH, ART_HEIGHT, 1.0)))
    # Desktop themes want square icons: the badge sits centred on a clear square.
    write(os.path.join(out_dir, "md5tool.png"), png_bytes(render(256, 256, 1.0)))
    for size in (128, 48):
        write(os.path.join(out_dir, "icons", "hicolor", f"{size}x{size}", "apps",
                           "md5tool.png"),
              png_bytes(render(size, size, size / ART_WIDTH)))


if __name__ == "__main__":
    main()
