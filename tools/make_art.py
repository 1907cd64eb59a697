#!/usr/bin/env python3
"""Draws the program's pictures: the maker's logo and the program icon.

    python3 tools/make_art.py [output-folder]     (default: resources/)

Writes logo.png (99 x 32, RGBA) and Mirvex.ico (256, 64, 48, 32 and 16 px,
32 bits per pixel with alpha). Python 3 standard library only; the output is
the same on every run.

Shapes are described by signed distance functions in pixel units (negative
inside) and painted with one pixel of anti-aliasing across their edges.
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------- canvas


class Canvas:
    """RGBA picture kept premultiplied in floats while painting."""

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def paint(self, distance, colour, bounds=None, softness=1.0, opacity=1.0):
        """Paints colour (an (r, g, b) tuple of 0..255, or a function of the
        pixel centre giving one) wherever distance(x, y) < 0, fading over
        `softness` pixels across the edge."""
        x0, y0, x1, y1 = bounds or (0, 0, self.width, self.height)
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.width, int(math.ceil(x1))), min(self.height, int(math.ceil(y1)))
        for y in range(y0, y1):
            for x in range(x0, x1):
                cx, cy = x + 0.5, y + 0.5
                d = distance(cx, cy)
                cover = min(1.0, max(0.0, 0.5 - d / softness)) * opacity
                if cover <= 0.0:
                    continue
                r, g, b = colour(cx, cy) if callable(colour) else colour
                px = self.pixels[y * self.width + x]
                keep = 1.0 - cover
                px[0] = r / 255.0 * cover + px[0] * keep
                px[1] = g / 255.0 * cover + px[1] * keep
                px[2] = b / 255.0 * cover + px[2] * keep
                px[3] = cover + px[3] * keep

    def rgba_rows(self):
        """Rows of straight (not premultiplied) 8-bit RGBA bytes."""
        rows = []
        for y in range(self.height):
            row = bytearray()
            for x in range(self.width):
                r, g, b, a = self.pixels[y * self.width + x]
                alpha = round(a * 255)
                if alpha == 0:
                    row += b"\0\0\0\0"
                    continue
                row += bytes(min(255, round(c / a * 255)) for c in (r, g, b))
                row.append(alpha)
            rows.append(bytes(row))
        return rows


# ------------------------------------------------------ distance functions


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    ex, ey = px - (ax + t * dx), py - (ay + t * dy)
    return math.sqrt(ex * ex + ey * ey)


def strokes(polylines, radius):
    """Round-ended strokes of the given half width along polylines."""
    segments = [
        (line[i][0], line[i][1], line[i + 1][0], line[i + 1][1])
        for line in polylines
        for i in range(len(line) - 1)
    ]
    segments += [(p[0], p[1], p[0], p[1]) for line in polylines if len(line) == 1 for p in line]

    def distance(x, y):
        return min(segment_distance(x, y, *s) for s in segments) - radius

    return distance


def polygon(points):
    """Signed distance to a simple polygon."""
    edges = list(zip(points, points[1:] + points[:1]))

    def distance(x, y):
        nearest = min(segment_distance(x, y, a[0], a[1], b[0], b[1]) for a, b in edges)
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -nearest if inside else nearest

    return distance


def rounded_rect(x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def distance(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.sqrt(ox * ox + oy * oy) + min(max(qx, qy), 0.0) - radius

    return distance


def grown(distance, amount):
    return lambda x, y: distance(x, y) - amount


def moved(distance, dx, dy):
    return lambda x, y: distance(x - dx, y - dy)


def arc(cx, cy, radius, start_deg, end_deg, steps=48):
    """Points along a circular arc, angles counter-clockwise with y up.
    Rounded so the last bits of the maths library cannot change a pixel."""
    points = []
    for i in range(steps + 1):
        a = math.radians(start_deg + (end_deg - start_deg) * i / steps)
        points.append((round(cx + radius * math.cos(a), 6), round(cy + radius * math.sin(a), 6)))
    return points


def mix(c0, c1, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def hex_colour(text):
    return tuple(int(text[i : i + 2], 16) for i in (1, 3, 5))


# ------------------------------------------------------------- the logo

LOGO_WIDTH, LOGO_HEIGHT = 99, 32
LOGO_INK = hex_colour("#2a3a52")
EMBLEM_LIGHT = hex_colour("#4d7fc1")
EMBLEM_DARK = hex_colour("#233f6b")
EMBLEM_MARK = (255, 255, 255)

STROKE = 1.0  # half width of the lettering strokes: 2 px lines
X_HEIGHT = 8  # ink height of the small letters
CAP_HEIGHT = 11  # ink height of the capital and of "l"
CAPITAL_N_WIDTH = 8
LETTER_GAP = 2.0  # ink-to-ink distance between letters
BASELINE = 21  # pixel row boundary the letters stand on
TEXT_RIGHT = 97  # right edge of the ink of the last letter
EMBLEM_SIDE = 26
EMBLEM_GAP = 7  # between the emblem and the word


def glyph(letter):
    """Centre lines of a letter, x right and y up from the baseline, placed
    so the ink starts at x = 0 and stems fall on whole pixels."""
    s = STROKE
    top = X_HEIGHT - s  # centre line of the x-height
    cap = CAP_HEIGHT - s
    r = (X_HEIGHT - 2 * s) / 2  # bowl radius
    c = s + r  # bowl centre (x and y)
    if letter == "N":
        return [[(s, s), (s, cap), (CAPITAL_N_WIDTH - s, s), (CAPITAL_N_WIDTH - s, cap)]]
    if letter == "o":
        return [arc(c, c, r, 0, 360)]
    if letter == "r":
        return [[(s, s), (s, top)], arc(s + r, c, r, 180, 70, 24)]
    if letter == "v":
        return [[(s, top), (c, s), (2 * c - s, top)]]
    if letter == "a":
        return [arc(c, c, r, 0, 360), [(2 * c - s, s), (2 * c - s, top)]]
    if letter == "l":
        return [[(s, s), (s, cap)]]
    if letter == "e":
        return [[(s, c), (2 * c - s, c)], arc(c, c, r, 0, 320)]
    raise ValueError(letter)


# Pairs whose open shapes leave extra white between them.
KERNING = {"rv": -1.0}


def draw_word(canvas, word):
    """Draws the word right-aligned to TEXT_RIGHT; returns its ink's left edge."""
    shapes = [glyph(ch) for ch in word]
    widths = [max(p[0] for line in g for p in line) + STROKE for g in shapes]
    total = sum(widths) + LETTER_GAP * (len(word) - 1)
    total += sum(KERNING.get(word[i : i + 2], 0.0) for i in range(len(word) - 1))
    left = float(round(TEXT_RIGHT - total))
    x = left
    for i, lines in enumerate(shapes):
        placed = [[(x + px, BASELINE - py) for px, py in line] for line in lines]
        canvas.paint(strokes(placed, STROKE), LOGO_INK, (x - 2, 0, x + widths[i] + 2, LOGO_HEIGHT))
        x += widths[i] + LETTER_GAP + KERNING.get(word[i : i + 2], 0.0)
    return left


def draw_emblem(canvas, right):
    """A rounded tile with a valley under a north star: Norvale's mark."""
    side = EMBLEM_SIDE
    x0, y0 = right - side, (LOGO_HEIGHT - side) // 2
    tile = rounded_rect(x0, y0, x0 + side, y0 + side, 6.5)

    def shade(x, y):
        return mix(EMBLEM_LIGHT, EMBLEM_DARK, ((x - x0) + (y - y0)) / (2 * side))

    canvas.paint(tile, shade, (x0, y0, x0 + side, y0 + side))
    valley = [[(x0 + 6, y0 + 11), (x0 + 13, y0 + 20), (x0 + 20, y0 + 11)]]
    canvas.paint(strokes(valley, 1.6), EMBLEM_MARK, (x0, y0, x0 + side, y0 + side))
    star = star_shape(x0 + 13, y0 + 7.5, 5.0, 1.2)
    canvas.paint(star, EMBLEM_MARK, (x0, y0, x0 + side, y0 + side))


def star_shape(cx, cy, outer, inner):
    """A four-pointed star."""
    points = []
    for i in range(8):
        a = math.radians(90 + 45 * i)
        radius = outer if i % 2 == 0 else inner
        points.append((round(cx + radius * math.cos(a), 6), round(cy - radius * math.sin(a), 6)))
    return polygon(points)


def make_logo():
    canvas = Canvas(LOGO_WIDTH, LOGO_HEIGHT)
    text_left = draw_word(canvas, "Norvale")
    draw_emblem(canvas, text_left - EMBLEM_GAP)
    return canvas


# -------------------------------------------------------------- the icon

ARROW_FILL = (255, 255, 255)
ARROW_EDGE = hex_colour("#17202e")
BURST = hex_colour("#f08a12")
SHADOW = (0, 0, 0)

# A classic pointer, tip at the origin, in its own units (y down).
ARROW = [(0, 0), (0, 16), (4, 12.3), (6.7, 18.4), (9.3, 17.3), (6.6, 11.3), (11.3, 11.3)]

# Per size: clear margin, outline width and burst ray half width in pixels,
# ray start and end distances from the tip in pointer units, and whether to
# add a soft shadow. Smaller sizes get relatively bolder lines and a larger
# burst so they still read.
ICON_LAYOUTS = {
    256: dict(margin=8, edge=8.0, ray=7.0, rays=(2.5, 6.5), shadow=True),
    64: dict(margin=2, edge=2.0, ray=2.0, rays=(2.7, 6.7), shadow=True),
    48: dict(margin=1, edge=1.5, ray=1.0, rays=(3.4, 7.4), shadow=True),
    32: dict(margin=1, edge=1.0, ray=1.0, rays=(3.8, 8.0), shadow=False),
}
RAY_ANGLES = (-90, -135, 180)  # up, up-left and left of the tip

# At 16 px blended edges turn to mush, so that size is drawn pixel by pixel:
# K outline, W fill, O burst.
ICON_16 = (
    "................",
    "..O...O.........",
    "...O..O.........",
    "....O.O.........",
    "................",
    "..OOO.K.........",
    "......KK........",
    "......KWK.......",
    "......KWWK......",
    "......KWWWK.....",
    "......KWWWWK....",
    "......KWWWWKK...",
    "......KWKWWK....",
    "......KK.KWWK...",
    ".........KWWK...",
    "..........KK....",
)
PIXEL_COLOURS = {"K": ARROW_EDGE, "W": ARROW_FILL, "O": BURST}


def pixel_art(rows):
    canvas = Canvas(len(rows[0]), len(rows))
    for y, row in enumerate(rows):
        for x, key in enumerate(row):
            if key in PIXEL_COLOURS:
                canvas.pixels[y * canvas.width + x] = [c / 255.0 for c in PIXEL_COLOURS[key]] + [1.0]
    return canvas


def burst_rays(tx, ty, start, end):
    rays = []
    for angle in RAY_ANGLES:
        dx, dy = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        rays.append(
            [
                (round(tx + dx * start, 6), round(ty + dy * start, 6)),
                (round(tx + dx * end, 6), round(ty + dy * end, 6)),
            ]
        )
    return rays


def arrow_scale(size, layout):
    """Pixels per pointer unit that make burst and pointer fill the height
    inside the margin: the burst's upward ray sets the top, the tail the
    bottom."""
    height = max(y for _, y in ARROW) + layout["rays"][1]
    return (size - 2 * layout["margin"] - layout["ray"] - layout["edge"]) / height


def tip_position(size, layout, scale):
    """Places the tip so pointer and burst sit centred, on a whole pixel so
    the straight left edge stays sharp."""
    edge, ray = layout["edge"], layout["ray"]
    start, end = layout["rays"]
    points = [p for line in burst_rays(0, 0, start * scale, end * scale) for p in line]
    left = min(min(p[0] for p in points) - ray, -edge)
    top = min(min(p[1] for p in points) - ray, -edge)
    right = max(x for x, _ in ARROW) * scale + edge
    bottom = max(y for _, y in ARROW) * scale + edge
    return round((size - (right - left)) / 2 - left), round((size - (bottom - top)) / 2 - top)


def make_icon_image(size):
    if size == len(ICON_16):
        return pixel_art(ICON_16)
    layout = ICON_LAYOUTS[size]
    scale = arrow_scale(size, layout)
    tx, ty = tip_position(size, layout, scale)
    shape = polygon([(tx + x * scale, ty + y * scale) for x, y in ARROW])
    edge = layout["edge"]
    canvas = Canvas(size, size)
    if layout["shadow"]:
        offset = size * 0.025
        canvas.paint(
            moved(grown(shape, edge), offset * 0.6, offset),
            SHADOW,
            softness=size * 0.03,
            opacity=0.28,
        )
    canvas.paint(grown(shape, edge), ARROW_EDGE)
    canvas.paint(shape, ARROW_FILL)
    start, end = layout["rays"]
    rays = burst_rays(tx, ty, start * scale, end * scale)
    canvas.paint(strokes(rays, layout["ray"]), BURST)
    return canvas


# --------------------------------------------------------------- writers


def png_bytes(canvas):
    """An 8-bit RGBA PNG; each row uses the filter that leaves the smallest
    sum of byte magnitudes, as most encoders do."""
    rows = canvas.rgba_rows()
    raw = bytearray()
    prior = bytes(len(rows[0]))
    for row in rows:
        candidates = [bytes([f]) + filter_row(f, row, prior) for f in range(5)]
        raw += min(candidates, key=lambda c: sum(b if b < 128 else 256 - b for b in c[1:]))
        prior = row
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 6, 0, 0, 0)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def filter_row(kind, row, prior, step=4):
    out = bytearray(len(row))
    for i, value in enumerate(row):
        a = row[i - step] if i >= step else 0
        b = prior[i]
        c = prior[i - step] if i >= step else 0
        if kind == 0:
            predicted = 0
        elif kind == 1:
            predicted = a
        elif kind == 2:
            predicted = b
        elif kind == 3:
            predicted = (a + b) // 2
        else:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            predicted = a if pa <= pb and pa <= pc else b if pb <= pc else c
        out[i] = (value - predicted) & 0xFF
    return bytes(out)


def dib_bytes(canvas):
    """A 32-bpp icon bitmap: header, BGRA rows bottom-up, then the 1-bpp AND
    mask (set where the picture is clear) for painters without alpha."""
    size = canvas.width
    rows = canvas.rgba_rows()
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = row[4 * x : 4 * x + 4]
            colour += bytes((b, g, r, a))
            if a < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack(
        "<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0
    )
    return header + bytes(colour) + bytes(mask)


def ico_bytes(images):
    """An icon file from (size, data) pairs; a 256 px side is written as 0."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        side = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    return directory + entries + blobs


# ------------------------------------------------------------------ main

ICON_SIZES = (256, 64, 48, 32, 16)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, "logo.png"), "wb") as f:
        f.write(png_bytes(make_logo()))
    images = []
    for size in ICON_SIZES:
        canvas = make_icon_image(size)
        # Large images are stored PNG-compressed, as Windows allows from 256.
        images.append((size, png_bytes(canvas) if size >= 256 else dib_bytes(canvas)))
    with open(os.path.join(out_dir, "Mirvex.ico"), "wb") as f:
        f.write(ico_bytes(images))


if __name__ == "__main__":
    main()
