#!/usr/bin/env python3
"""Draw Waypost's bundled artwork.

Writes, relative to the repository root:

  data/images/wp_main_image1.png  hills with pines and a fire-lookout tower
  data/images/wp_main_image2.png  topographic map fragment with a pin and a
                                  compass rose
  data/icons/waypost.png          256x256 application icon

Pure Python 3 standard library: shapes are rasterised here with anti-aliased
scanline coverage and written out as RGBA PNG files with zlib.  The output is
deterministic (no randomness other than a fixed-seed generator of our own).

Usage:  python3 tools/artwork/draw_artwork.py
"""

import math
import os
import struct
import zlib

# --------------------------------------------------------------------------
# Constants
# --------------------------------------------------------------------------

REPO_ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

IMAGE1_PATH = os.path.join("data", "images", "wp_main_image1.png")
IMAGE2_PATH = os.path.join("data", "images", "wp_main_image2.png")
ICON_PATH = os.path.join("data", "icons", "waypost.png")

SCENE_W, SCENE_H = 200, 150
ICON_SIZE = 256

SUBSAMPLES = 4          # vertical samples per pixel; horizontal coverage is exact
SEED = 20240611         # seed for the deterministic tree placement

# Palette (hex strings, converted by rgba()).
SKY_TOP = "#5a7a9c"
SKY_MID = "#9fb6ca"
SKY_HORIZON = "#e3e4dc"
SUN = "#fbf4df"
RIDGE_FAR = "#8da2b5"
RIDGE_NEAR = "#6f8b8f"
HILL_MID = "#567e5d"
HILL_MID_LOW = "#4a7152"
HILL_FRONT = "#335f40"
HILL_FRONT_LOW = "#274a34"
PINE_MID = "#3c6647"
PINE_MID_SHADE = "#2f553a"
PINE_FRONT = "#24492f"
PINE_FRONT_SHADE = "#1a3725"
TRUNK = "#4a3b2e"
TOWER = "#3a3a37"
TOWER_WINDOW = "#e9dfb8"
LAKE_TOP = "#b6c8d4"
LAKE_LOW = "#8aa5b8"
SHORE = "#c9c7a8"
PINE_NEAR = "#1c3b27"
PINE_NEAR_SHADE = "#132c1c"

MAP_PAPER = "#f4f0e4"
MAP_LOW = "#dfe9d2"
MAP_HIGH = "#efe2c6"
CONTOUR = "#b07f52"
CONTOUR_INDEX = "#956640"
MAP_GRID = "#4f6f8f"
MAP_FRAME = "#3c4e60"
WATER = "#6fa5cc"
WATER_FILL = "#a9cbe3"
ROUTE = "#a8322a"

PIN_LIGHT = "#ea5a48"
PIN_DARK = "#b3271d"
PIN_RIM = "#ffffff"
COMPASS_DARK = "#34495e"
COMPASS_LIGHT = "#f7f4ea"
COMPASS_RED = "#c8372d"

ICON_GREEN = "#3c9a68"
ICON_BLUE = "#1f5d8a"


# --------------------------------------------------------------------------
# Colour helpers
# --------------------------------------------------------------------------

def rgba(hex_colour, alpha=1.0):
    """'#rrggbb' -> (r, g, b, a) with components in 0..1."""
    h = hex_colour.lstrip("#")
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0,
            int(h[4:6], 16) / 255.0, alpha)


def mix(c0, c1, t):
    """Linear interpolation between two RGBA colours."""
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


def gradient_at(stops, t):
    """Colour at parameter t along a list of (position, colour) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0) if t1 > t0 else 0.0)
    return stops[-1][1]


def linear_gradient(x0, y0, x1, y1, stops):
    """Paint function: gradient along the vector (x0,y0)->(x1,y1)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy or 1.0

    def paint(x, y):
        return gradient_at(stops, ((x - x0) * dx + (y - y0) * dy) / length2)
    return paint


def radial_gradient(cx, cy, radius, stops):
    """Paint function: gradient by distance from (cx, cy)."""
    def paint(x, y):
        return gradient_at(stops, math.hypot(x - cx, y - cy) / radius)
    return paint


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


# --------------------------------------------------------------------------
# Geometry helpers (all return lists of contours = lists of (x, y) points)
# --------------------------------------------------------------------------

def signed_area(points):
    s = 0.0
    n = len(points)
    for i in range(n):
        x0, y0 = points[i]
        x1, y1 = points[(i + 1) % n]
        s += x0 * y1 - x1 * y0
    return s / 2.0


def oriented(points):
    """Same contour, always wound the same way, so unions fill cleanly."""
    return points if signed_area(points) >= 0 else points[::-1]


def ellipse_points(cx, cy, rx, ry, segments=None, start=0.0):
    if segments is None:
        segments = max(12, int(2.2 * math.pi * max(rx, ry)))
    return [(cx + rx * math.cos(start + 2 * math.pi * i / segments),
             cy + ry * math.sin(start + 2 * math.pi * i / segments))
            for i in range(segments)]


def circle(cx, cy, r, segments=None):
    return [ellipse_points(cx, cy, r, r, segments)]


def ellipse(cx, cy, rx, ry, segments=None):
    return [ellipse_points(cx, cy, rx, ry, segments)]


def rect(x0, y0, x1, y1):
    return [[(x0, y0), (x1, y0), (x1, y1), (x0, y1)]]


def rounded_rect(x0, y0, x1, y1, r, corner_segments=16):
    pts = []
    corners = [(x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0),
               (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)]
    for cx, cy, a0 in corners:
        for i in range(corner_segments + 1):
            a = math.radians(a0 + 90.0 * i / corner_segments)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return [pts]


def polygon(points):
    return [list(points)]


def stroke(points, width, closed=False, round_joins=True):
    """Outline of a polyline of the given width, as a union of contours.

    Segments become quads; joins and ends get small discs (round joins and
    caps).  Every contour has the same winding so a non-zero fill merges them
    without double-painting the overlaps.
    """
    hw = width / 2.0
    pts = list(points)
    if closed:
        pts = pts + [pts[0]]
    contours = []
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        if length == 0:
            continue
        nx, ny = -dy / length * hw, dx / length * hw
        contours.append(oriented([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                                  (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]))
    if round_joins:
        segs = max(8, int(2 * math.pi * hw * 1.5))
        for x, y in pts:
            contours.append(oriented(ellipse_points(x, y, hw, hw, segs)))
    return contours


def dashed(points, dash, gap):
    """Split a polyline into dash polylines."""
    dashes, current = [], [points[0]]
    drawing, left = True, dash
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        seg = math.hypot(x1 - x0, y1 - y0)
        pos = 0.0
        while seg - pos > left:
            pos += left
            t = pos / seg
            p = (x0 + (x1 - x0) * t, y0 + (y1 - y0) * t)
            if drawing:
                current.append(p)
                dashes.append(current)
            else:
                current = [p]
            drawing = not drawing
            left = dash if drawing else gap
        left -= seg - pos
        if drawing:
            current.append((x1, y1))
    if drawing and len(current) > 1:
        dashes.append(current)
    return dashes


def star(cx, cy, r_outer, r_inner, points, rotation=-math.pi / 2):
    pts = []
    for i in range(points * 2):
        r = r_outer if i % 2 == 0 else r_inner
        a = rotation + math.pi * i / points
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return [pts]


def pin_outline(cx, cy, r, tip_y, segments=72):
    """Map-pin (teardrop) outline: a circle with tangents meeting at the tip."""
    theta = math.acos(r / (tip_y - cy))
    start = math.pi / 2 + theta
    end = 2 * math.pi + math.pi / 2 - theta
    pts = [(cx, tip_y)]
    for i in range(segments + 1):
        a = start + (end - start) * i / segments
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return [pts]


def grown_pin(cx, cy, r, tip_y, grow, segments=72):
    """The pin outline offset outwards by `grow` pixels."""
    tip = tip_y + grow * (tip_y - cy) / r
    return pin_outline(cx, cy, r + grow, tip, segments)


def profile_polygon(fn, x0, x1, bottom, step=1.0):
    """Closed shape under the curve y = fn(x) down to `bottom`."""
    pts = []
    x = x0
    while x < x1:
        pts.append((x, fn(x)))
        x += step
    pts.append((x1, fn(x1)))
    pts += [(x1, bottom), (x0, bottom)]
    return [pts]


class Rng:
    """Tiny deterministic linear congruential generator."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def random(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state / 4294967296.0

    def uniform(self, a, b):
        return a + (b - a) * self.random()


# --------------------------------------------------------------------------
# Rasteriser
# --------------------------------------------------------------------------

def coverage(contours, width, height):
    """Anti-aliased non-zero coverage of `contours`.

    Returns (x0, y0, rows) where rows[j][i] is the coverage (0..1) of pixel
    (x0 + i, y0 + j), or None if the shape is off the canvas.
    """
    edges = []
    xs, ys = [], []
    for contour in contours:
        n = len(contour)
        for i in range(n):
            ax, ay = contour[i]
            bx, by = contour[(i + 1) % n]
            xs.append(ax)
            ys.append(ay)
            if ay == by:
                continue
            direction = 1 if by > ay else -1
            if ay > by:
                ax, ay, bx, by = bx, by, ax, ay
            edges.append((ay, by, ax, (bx - ax) / (by - ay), direction))
    if not edges:
        return None
    bx0 = max(0, int(math.floor(min(xs))))
    bx1 = min(width, int(math.ceil(max(xs))) + 1)
    by0 = max(0, int(math.floor(min(ys))))
    by1 = min(height, int(math.ceil(max(ys))) + 1)
    if bx0 >= bx1 or by0 >= by1:
        return None
    bw = bx1 - bx0
    weight = 1.0 / SUBSAMPLES
    edges.sort()
    rows = []
    for py in range(by0, by1):
        active = [e for e in edges if e[0] < py + 1 and e[1] > py]
        partial = [0.0] * (bw + 1)
        full = [0.0] * (bw + 2)      # difference array for whole pixels
        for s in range(SUBSAMPLES):
            sy = py + (s + 0.5) * weight
            hits = sorted((e[2] + (sy - e[0]) * e[3], e[4])
                          for e in active if e[0] <= sy < e[1])
            winding = 0
            for k in range(len(hits) - 1):
                winding += hits[k][1]
                if winding == 0:
                    continue
                a = min(max(hits[k][0] - bx0, 0.0), bw)
                b = min(max(hits[k + 1][0] - bx0, 0.0), bw)
                if b <= a:
                    continue
                ia, ib = int(a), int(b)
                if ia == ib:
                    partial[ia] += (b - a) * weight
                    continue
                partial[ia] += (ia + 1 - a) * weight
                full[ia + 1] += weight
                full[ib] -= weight
                partial[ib] += (b - ib) * weight
        row = []
        acc = 0.0
        for i in range(bw):
            acc += full[i]
            row.append(min(1.0, acc + partial[i]))
        rows.append(row)
    return bx0, by0, rows


class Canvas:
    """RGBA canvas with premultiplied float pixels and an optional clip."""

    def __init__(self, width, height, background=(0.0, 0.0, 0.0, 0.0)):
        self.width, self.height = width, height
        r, g, b, a = background
        n = width * height
        self.r = [r * a] * n
        self.g = [g * a] * n
        self.b = [b * a] * n
        self.a = [a] * n
        self.clip_mask = None

    # -- compositing -------------------------------------------------------
    def _blend(self, idx, colour, alpha):
        if self.clip_mask is not None:
            alpha *= self.clip_mask[idx]
        if alpha <= 0.0:
            return
        keep = 1.0 - alpha
        self.r[idx] = colour[0] * alpha + self.r[idx] * keep
        self.g[idx] = colour[1] * alpha + self.g[idx] * keep
        self.b[idx] = colour[2] * alpha + self.b[idx] * keep
        self.a[idx] = alpha + self.a[idx] * keep

    def fill(self, contours, paint, opacity=1.0):
        """Fill a shape with a colour tuple or a paint function f(x, y)."""
        cov = coverage(contours, self.width, self.height)
        if cov is None:
            return
        x0, y0, rows = cov
        solid = not callable(paint)
        for j, row in enumerate(rows):
            y = y0 + j
            base = y * self.width + x0
            for i, c in enumerate(row):
                if c <= 0.0:
                    continue
                colour = paint if solid else paint(x0 + i + 0.5, y + 0.5)
                self._blend(base + i, colour, colour[3] * c * opacity)

    def shade(self, fn, box=None):
        """Per-pixel painting: fn(x, y) returns an RGBA colour or None."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(y0, y1):
            for x in range(x0, x1):
                colour = fn(x + 0.5, y + 0.5)
                if colour is not None:
                    self._blend(y * self.width + x, colour, colour[3])

    def stroke(self, points, width, paint, closed=False, opacity=1.0):
        self.fill(stroke(points, width, closed), paint, opacity)

    # -- clipping ----------------------------------------------------------
    def set_clip(self, contours):
        mask = [0.0] * (self.width * self.height)
        cov = coverage(contours, self.width, self.height)
        if cov is not None:
            x0, y0, rows = cov
            for j, row in enumerate(rows):
                base = (y0 + j) * self.width + x0
                for i, c in enumerate(row):
                    mask[base + i] = c
        self.clip_mask = mask

    def clear_clip(self):
        self.clip_mask = None

    # -- output ------------------------------------------------------------
    def rgba_rows(self):
        """Rows of 8-bit straight-alpha RGBA bytes."""
        rows = []
        w = self.width
        for y in range(self.height):
            row = bytearray(w * 4)
            for x in range(w):
                i = y * w + x
                a = self.a[i]
                if a <= 0.0:
                    continue
                inv = 1.0 / a
                row[x * 4] = int(clamp01(self.r[i] * inv) * 255 + 0.5)
                row[x * 4 + 1] = int(clamp01(self.g[i] * inv) * 255 + 0.5)
                row[x * 4 + 2] = int(clamp01(self.b[i] * inv) * 255 + 0.5)
                row[x * 4 + 3] = int(clamp01(a) * 255 + 0.5)
            rows.append(bytes(row))
        return rows


# --------------------------------------------------------------------------
# PNG writer
# --------------------------------------------------------------------------

def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def _filter_row(kind, row, prev, bpp):
    out = bytearray(len(row))
    for i, v in enumerate(row):
        left = row[i - bpp] if i >= bpp else 0
        up = prev[i]
        if kind == 0:
            pred = 0
        elif kind == 1:
            pred = left
        elif kind == 2:
            pred = up
        elif kind == 3:
            pred = (left + up) >> 1
        else:
            pred = _paeth(left, up, prev[i - bpp] if i >= bpp else 0)
        out[i] = (v - pred) & 0xFF
    return out


def write_png(path, width, height, rows):
    """Write RGBA rows as a PNG, choosing a filter per row heuristically."""
    raw = bytearray()
    prev = bytes(width * 4)
    for row in rows:
        best, best_cost = None, None
        for kind in range(5):
            filtered = _filter_row(kind, row, prev, 4)
            cost = sum(v if v < 128 else 256 - v for v in filtered)
            if best_cost is None or cost < best_cost:
                best, best_cost = (kind, filtered), cost
        raw.append(best[0])
        raw += best[1]
        prev = row

    def chunk(tag, data):
        body = tag + data
        return (struct.pack(">I", len(data)) + body +
                struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)
    return len(png)


# --------------------------------------------------------------------------
# Shared drawing pieces
# --------------------------------------------------------------------------

def draw_pine(canvas, cx, base_y, height, colour, shade):
    """A stylised pine: stacked triangular tiers, right side in shadow."""
    width = height * 0.46
    trunk_w = max(0.9, height * 0.07)
    canvas.fill(rect(cx - trunk_w / 2, base_y - height * 0.16, cx + trunk_w / 2,
                     base_y + 0.5), rgba(TRUNK))
    top = base_y - height
    foliage = height * 0.86
    tiers = 4
    lit, dark = [], []
    for k in range(tiers):
        apex = top + foliage * k / tiers * 0.72
        bottom = top + foliage * (k + 1) / tiers
        half = width / 2 * (0.42 + 0.58 * (k + 1) / tiers)
        lit.append(oriented([(cx, apex), (cx + half, bottom), (cx - half, bottom)]))
        dark.append(oriented([(cx, apex), (cx + half, bottom), (cx, bottom)]))
    canvas.fill(lit, colour)
    canvas.fill(dark, shade)


def draw_map_pin(canvas, cx, cy, r, tip_y, rim):
    """Red waypoint pin with a white rim, soft shading and a white centre."""
    # Soft shadow where the tip touches the ground.
    for k in range(6, 0, -1):
        canvas.fill(ellipse(cx + r * 0.18, tip_y, r * 0.2 * k, r * 0.055 * k),
                    (0.05, 0.08, 0.06, 0.06))
    canvas.fill(grown_pin(cx, cy, r, tip_y, rim), rgba(PIN_RIM))
    body = pin_outline(cx, cy, r, tip_y)
    canvas.fill(body, linear_gradient(cx - r, cy - r, cx + r, cy + r * 0.6,
                                      [(0.0, rgba(PIN_LIGHT)),
                                       (1.0, rgba(PIN_DARK))]))
    # Glossy highlight: a short arc hugging the upper-left edge.
    arc = [(cx + r * 0.8 * math.cos(math.radians(a)),
            cy + r * 0.8 * math.sin(math.radians(a))) for a in range(196, 256, 4)]
    canvas.stroke(arc, r * 0.11, (1.0, 1.0, 1.0, 0.32))
    canvas.fill(circle(cx, cy, r * 0.4), rgba(PIN_RIM))


# --------------------------------------------------------------------------
# Picture 1: hills, pines and a lookout tower
# --------------------------------------------------------------------------

def ridge_far(x):
    return 84 + 7 * math.sin(x * 0.045 + 1.0) + 4 * math.sin(x * 0.11 + 2.3) \
        + 1.6 * math.sin(x * 0.27 + 0.4)


def ridge_near(x):
    return 97 + 6 * math.sin(x * 0.032 + 4.0) + 3 * math.sin(x * 0.09 + 1.0) \
        + 1.2 * math.sin(x * 0.31)


def hill_mid(x):
    return 121 - 34 * math.exp(-((x - 142) / 42.0) ** 2) \
        + 1.2 * math.sin(x * 0.21)


def hill_front(x):
    return 116 - 30 * math.exp(-((x - 30) / 52.0) ** 2) \
        + 2.5 * math.sin(x * 0.07 + 0.8)


def lake_shore(x):
    return 128.5 + 23 * math.exp(-((x - 60) / 17.0) ** 2) \
        + 1.2 * math.sin(x * 0.09 + 0.5)


def draw_lookout_tower(canvas, cx, base_y, height):
    """Fire-lookout tower: splayed legs, cross braces, glazed cab, roof."""
    colour = rgba(TOWER)
    cab_bottom = base_y - height
    cab_h = height * 0.24
    cab_top = cab_bottom - cab_h
    leg_spread, top_spread = height * 0.3, height * 0.14
    left = [(cx - leg_spread, base_y), (cx - top_spread, cab_bottom)]
    right = [(cx + leg_spread, base_y), (cx + top_spread, cab_bottom)]
    legs = stroke(left, 1.3) + stroke(right, 1.3)
    # Cross bracing in three bays.
    braces = []
    bays = 3
    for k in range(bays):
        t0, t1 = k / bays, (k + 1) / bays

        def at(side, t):
            (x0, y0), (x1, y1) = side
            return (x0 + (x1 - x0) * t, y0 + (y1 - y0) * t)
        braces += stroke([at(left, t0), at(right, t1)], 0.6)
        braces += stroke([at(right, t0), at(left, t1)], 0.6)
        braces += stroke([at(left, t1), at(right, t1)], 0.7)
    canvas.fill(legs + braces, colour)
    # Cab with a band of lit windows.
    cab_half = top_spread + 2.2
    canvas.fill(rect(cx - cab_half, cab_top, cx + cab_half, cab_bottom + 0.6), colour)
    canvas.fill(rect(cx - cab_half + 1.1, cab_top + 1.0, cx + cab_half - 1.1,
                     cab_top + cab_h * 0.62), rgba(TOWER_WINDOW))
    mullions = []
    for k in range(1, 4):
        x = cx - cab_half + 1.1 + (2 * cab_half - 2.2) * k / 4
        mullions += rect(x - 0.3, cab_top + 1.0, x + 0.3, cab_top + cab_h * 0.62)
    canvas.fill(mullions, colour)
    # Hipped roof with a small overhang, and a catwalk line.
    canvas.fill(polygon([(cx - cab_half - 2.2, cab_top + 0.4),
                         (cx + cab_half + 2.2, cab_top + 0.4),
                         (cx, cab_top - cab_h * 0.95)]), colour)
    canvas.fill(rect(cx - cab_half - 1.6, cab_bottom - 0.2,
                     cx + cab_half + 1.6, cab_bottom + 0.9), colour)


def draw_image1():
    w, h = SCENE_W, SCENE_H
    canvas = Canvas(w, h)
    # Sky.
    canvas.fill(rect(0, 0, w, h), linear_gradient(
        0, 0, 0, 105, [(0.0, rgba(SKY_TOP)), (0.5, rgba(SKY_MID)),
                       (1.0, rgba(SKY_HORIZON))]))
    # Low sun with a soft glow.
    canvas.fill(circle(58, 62, 40), radial_gradient(
        58, 62, 40, [(0.0, rgba(SUN, 0.55)), (0.35, rgba(SUN, 0.25)),
                     (1.0, rgba(SUN, 0.0))]))
    canvas.fill(circle(58, 62, 8.5), rgba(SUN, 0.95))
    # Thin high clouds.
    cloud = []
    for cx, cy, rx, ry in [(122, 30, 24, 3.2), (140, 27, 14, 2.6),
                           (104, 33, 12, 2.2), (34, 22, 18, 2.6),
                           (48, 20, 10, 2.2)]:
        cloud.append(oriented(ellipse_points(cx, cy, rx, ry)))
    canvas.fill(cloud, (1.0, 1.0, 1.0, 0.42))
    # Distant ranges in hazy slate blue.
    canvas.fill(profile_polygon(ridge_far, 0, w, h), linear_gradient(
        0, 72, 0, 100, [(0.0, rgba(RIDGE_FAR)), (1.0, mix(rgba(RIDGE_FAR),
                                                           rgba(SKY_HORIZON), 0.35))]))
    canvas.fill(profile_polygon(ridge_near, 0, w, h), linear_gradient(
        0, 88, 0, 112, [(0.0, rgba(RIDGE_NEAR)), (1.0, mix(rgba(RIDGE_NEAR),
                                                            rgba(HILL_MID), 0.4))]))
    # Middle hill with the lookout on its crest.
    canvas.fill(profile_polygon(hill_mid, 0, w, h), linear_gradient(
        0, 86, 0, 125, [(0.0, rgba(HILL_MID)), (1.0, rgba(HILL_MID_LOW))]))
    tower_x = 142
    draw_lookout_tower(canvas, tower_x, hill_mid(tower_x) + 1.0, 27)
    rng = Rng(SEED)
    x = 82.0
    while x < w + 4:
        if abs(x - tower_x) > 11:
            height = rng.uniform(6.5, 10.5)
            draw_pine(canvas, x, hill_mid(x) + rng.uniform(1.5, 4.0), height,
                      rgba(PINE_MID), rgba(PINE_MID_SHADE))
        x += rng.uniform(4.0, 8.0)
    # Front hill covered in pines.
    canvas.fill(profile_polygon(hill_front, 0, w, h), linear_gradient(
        0, 84, 0, 150, [(0.0, rgba(HILL_FRONT)), (1.0, rgba(HILL_FRONT_LOW))]))
    # Calm lake in the lower right, reflecting the sky.
    shore = [(x, lake_shore(x)) for x in range(60, w + 3)]
    lake = shore + [(w + 2, h + 1), (60, h + 1)]
    canvas.fill([lake], linear_gradient(0, 124, 0, 150, [(0.0, rgba(LAKE_TOP)),
                                                         (1.0, rgba(LAKE_LOW))]))
    canvas.stroke(shore, 0.9, rgba(SHORE, 0.8))
    ripples = []
    for x0, y0, length in [(112, 134, 22), (150, 138, 30), (126, 143, 18),
                           (170, 131, 16), (96, 146, 14)]:
        ripples += stroke([(x0, y0), (x0 + length, y0)], 0.7)
    canvas.fill(ripples, (1.0, 1.0, 1.0, 0.45))
    # Pines: back row smaller, front row taller, thinning out to the right.
    rows = [(0.0, 9.0, 15.0, 3.0), (1.0, 15.0, 26.0, 7.5)]
    for row_index, lo, hi, depth in rows:
        x = -4.0 + row_index * 3.0
        while x < 98:
            fade = clamp01((98 - x) / 70.0)
            height = (lo + (hi - lo) * rng.random()) * (0.55 + 0.45 * fade)
            base = hill_front(x) + depth + rng.uniform(0, 3.5)
            if row_index == 1:
                base = max(base, hill_front(x) + 2 + (1 - fade) * 10)
            draw_pine(canvas, x, base, height, rgba(PINE_FRONT),
                      rgba(PINE_FRONT_SHADE))
            x += rng.uniform(5.0, 9.5) * (1.0 + (1 - fade) * 0.8)
    # A few tall pines right in the foreground frame the scene.
    for x, base, height in [(7, 154, 50), (21, 156, 36), (-3, 150, 30)]:
        draw_pine(canvas, x, base, height, rgba(PINE_NEAR), rgba(PINE_NEAR_SHADE))
    return canvas


# --------------------------------------------------------------------------
# Picture 2: topographic map fragment
# --------------------------------------------------------------------------

HILLS = [  # (x, y, amplitude, spread) of the terrain bumps, in pixels
    (70, 52, 1.00, 30.0),
    (150, 38, 0.70, 24.0),
    (128, 112, 0.55, 28.0),
    (30, 120, -0.35, 26.0),
    (196, 120, 0.35, 22.0),
]
CONTOUR_STEP = 0.075


def terrain(x, y):
    """Elevation and its gradient at (x, y)."""
    f = 0.12 * math.sin(x * 0.05 + 0.6) * math.cos(y * 0.045 - 0.3)
    fx = 0.12 * 0.05 * math.cos(x * 0.05 + 0.6) * math.cos(y * 0.045 - 0.3)
    fy = -0.12 * 0.045 * math.sin(x * 0.05 + 0.6) * math.sin(y * 0.045 - 0.3)
    for hx, hy, amp, spread in HILLS:
        dx, dy = x - hx, y - hy
        s2 = spread * spread
        e = amp * math.exp(-(dx * dx + dy * dy) / (2 * s2))
        f += e
        fx -= e * dx / s2
        fy -= e * dy / s2
    return f, fx, fy


def contour_paint(x, y):
    """Tint by elevation band plus anti-aliased contour lines."""
    f, fx, fy = terrain(x, y)
    band = math.floor(f / CONTOUR_STEP)
    tint = mix(rgba(MAP_LOW), rgba(MAP_HIGH), clamp01((band * CONTOUR_STEP + 0.2) / 1.1))
    grad = math.hypot(fx, fy) or 1e-9
    level = round(f / CONTOUR_STEP)
    distance = abs(f - level * CONTOUR_STEP) / grad
    index = level % 5 == 0
    line_w = 1.25 if index else 0.7
    line_a = clamp01(line_w / 2 + 0.5 - distance) * (0.95 if index else 0.65)
    colour = rgba(CONTOUR_INDEX if index else CONTOUR)
    return mix(tint, colour, line_a)


def draw_compass(canvas, cx, cy, r):
    """Eight-point compass rose without lettering."""
    canvas.fill(circle(cx, cy, r + 3), rgba(COMPASS_LIGHT, 0.85))
    ring = stroke(ellipse_points(cx, cy, r, r, 64), 0.9, closed=True,
                  round_joins=False)
    canvas.fill(ring, rgba(COMPASS_DARK))
    ticks = []
    for k in range(16):
        a = math.pi * 2 * k / 16
        inner = r - (2.4 if k % 2 == 0 else 1.4)
        ticks += stroke([(cx + inner * math.cos(a), cy + inner * math.sin(a)),
                         (cx + r * math.cos(a), cy + r * math.sin(a))], 0.6,
                        round_joins=False)
    canvas.fill(ticks, rgba(COMPASS_DARK))
    # Diagonal points (small), then cardinal points with split shading.
    canvas.fill(star(cx, cy, r * 0.55, r * 0.14, 4, rotation=-math.pi / 4),
                rgba(COMPASS_DARK, 0.55))
    for k in range(4):
        a = -math.pi / 2 + k * math.pi / 2
        tip = (cx + r * 0.92 * math.cos(a), cy + r * 0.92 * math.sin(a))
        side_a = (cx + r * 0.2 * math.cos(a - math.pi / 4),
                  cy + r * 0.2 * math.sin(a - math.pi / 4))
        side_b = (cx + r * 0.2 * math.cos(a + math.pi / 4),
                  cy + r * 0.2 * math.sin(a + math.pi / 4))
        north = k == 0
        canvas.fill(polygon([(cx, cy), side_a, tip]),
                    rgba(COMPASS_RED if north else COMPASS_DARK))
        canvas.fill(polygon([(cx, cy), tip, side_b]),
                    rgba("#e88a7f") if north else rgba(COMPASS_LIGHT))
        canvas.fill(stroke([side_a, tip, side_b], 0.5, round_joins=False),
                    rgba(COMPASS_RED if north else COMPASS_DARK))
    canvas.fill(circle(cx, cy, 1.4), rgba(COMPASS_DARK))


def draw_image2():
    w, h = SCENE_W, SCENE_H
    canvas = Canvas(w, h, rgba(MAP_PAPER))
    margin = 4
    canvas.shade(contour_paint, (margin, margin, w - margin, h - margin))
    # Stream through the low ground and a small lake.
    stream = []
    for i in range(41):
        t = i / 40.0
        stream.append((margin + t * 112, 150 - margin - t * 44
                       + 5 * math.sin(t * 7.0)))
    pond = [(112 + (9 + 0.8 * math.sin(3 * a + 0.7)) * math.cos(a),
             103 + (5.5 + 0.9 * math.cos(2 * a)) * math.sin(a))
            for a in (2 * math.pi * i / 64 for i in range(64))]
    canvas.fill([pond], rgba(WATER_FILL))
    canvas.stroke(pond, 0.8, rgba(WATER), closed=True)
    canvas.stroke(stream[:-1] + [(104, 104)], 1.3, rgba(WATER))
    # Map grid.
    grid = []
    step = 38
    for gx in range(margin + 20, w - margin, step):
        grid += rect(gx - 0.3, margin, gx + 0.3, h - margin)
    for gy in range(margin + 18, h - margin, step):
        grid += rect(margin, gy - 0.3, w - margin, gy + 0.3)
    canvas.fill(grid, rgba(MAP_GRID, 0.55))
    # Neat line with border ticks.
    frame = stroke([(margin, margin), (w - margin, margin), (w - margin, h - margin),
                    (margin, h - margin)], 1.0, closed=True, round_joins=False)
    ticks = []
    for x in range(margin + 20, w - margin, step // 2):
        long_tick = (x - margin - 20) % step == 0
        t = 4.0 if long_tick else 2.2
        ticks += rect(x - 0.4, margin, x + 0.4, margin + t)
        ticks += rect(x - 0.4, h - margin - t, x + 0.4, h - margin)
    for y in range(margin + 18, h - margin, step // 2):
        long_tick = (y - margin - 18) % step == 0
        t = 4.0 if long_tick else 2.2
        ticks += rect(margin, y - 0.4, margin + t, y + 0.4)
        ticks += rect(w - margin - t, y - 0.4, w - margin, y + 0.4)
    canvas.fill(frame + ticks, rgba(MAP_FRAME))
    # Dashed route from the lower left up to the waypoint.
    route = [(14, 136), (32, 128), (44, 112), (62, 104), (78, 88), (92, 80), (104, 74)]
    dashes = []
    for piece in dashed(route, 4.0, 3.0):
        dashes += stroke(piece, 1.3)
    canvas.fill(dashes, rgba(ROUTE, 0.85))
    draw_map_pin(canvas, 108, 50, 10.5, 76, 1.6)
    draw_compass(canvas, 166, 112, 19)
    return canvas


# --------------------------------------------------------------------------
# Icon
# --------------------------------------------------------------------------

def draw_icon():
    s = ICON_SIZE
    canvas = Canvas(s, s)
    inset, radius = 12, 46
    tile = rounded_rect(inset, inset, s - inset, s - inset, radius)
    canvas.fill(tile, linear_gradient(inset, inset, s - inset, s - inset,
                                      [(0.0, rgba(ICON_GREEN)),
                                       (1.0, rgba(ICON_BLUE))]))
    canvas.set_clip(tile)
    # Faint map grid and a couple of contour loops.
    grid = []
    for k in range(1, 7):
        p = inset + k * (s - 2 * inset) / 7.0
        grid += rect(p - 1.2, 0, p + 1.2, s)
        grid += rect(0, p - 1.2, s, p + 1.2)
    canvas.fill(grid, (1.0, 1.0, 1.0, 0.13))
    contours = []
    for k, rad in enumerate((40, 66, 92)):
        loop = [(64 + rad * 1.25 * math.cos(a) + 6 * math.sin(3 * a + k),
                 206 + rad * 0.8 * math.sin(a) + 5 * math.cos(2 * a + k))
                for a in (2 * math.pi * i / 120 for i in range(120))]
        contours += stroke(loop, 2.2, closed=True, round_joins=False)
    canvas.fill(contours, (1.0, 1.0, 1.0, 0.10))
    # Gentle top light.
    canvas.fill(rect(0, 0, s, s), linear_gradient(
        0, inset, 0, s * 0.55, [(0.0, (1.0, 1.0, 1.0, 0.14)),
                                (1.0, (1.0, 1.0, 1.0, 0.0))]))
    canvas.clear_clip()
    draw_map_pin(canvas, 128, 100, 60, 214, 9)
    return canvas


# --------------------------------------------------------------------------

def main():
    jobs = [(IMAGE1_PATH, draw_image1), (IMAGE2_PATH, draw_image2),
            (ICON_PATH, draw_icon)]
    for rel_path, draw in jobs:
        canvas = draw()
        path = os.path.join(REPO_ROOT, rel_path)
        size = write_png(path, canvas.width, canvas.height, canvas.rgba_rows())
        print("wrote %s (%dx%d, %d bytes)" % (rel_path, canvas.width,
                                              canvas.height, size))


if __name__ == "__main__":
    main()
