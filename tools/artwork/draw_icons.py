#!/usr/bin/env python3
"""Draw Waypost's placemark icons.

Writes into data/icons/ (relative to the repository root):

  * 64x64 RGBA PNG facility icons: a bold symbol on a coloured badge with a
    dark outline and a thin white ring, so they read at 32 px on satellite
    imagery.  Each family has its own badge:
      incident / ICS facilities   amber rounded square, dark symbol
      fire events                 red disc, yellow flames (the wildfire and
                                  hot-spot icons are free-standing shapes)
      hazards                     white disc in a red ring, or a red
                                  warning triangle
      forestry                    green disc or green shield
      forest health               olive hexagon
      anything else               grey map pin
  * 48x48 GIF89a tropical-cyclone icons coloured by intensity, with a
    lighter "forecast" variant of each, and a grey fallback.

Pure Python 3 standard library and deterministic.  The rasteriser, the PNG
writer and the shape helpers come from draw_artwork.py in this folder; the
GIF writer (palette reduction and LZW coder) is here, and every GIF written
is decoded again and compared with what was meant to be written.

Usage:
  python3 tools/artwork/draw_icons.py             write the icons
  python3 tools/artwork/draw_icons.py --preview DIR
      also write, for looking at them: DIR/icon_sheet.png (every icon at
      full size and at 32 px over a mottled green-brown ground),
      DIR/icon_zoom*.png (enlarged three times) and each GIF decoded to a PNG
"""

import math
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import draw_artwork as art  # noqa: E402  (needs the path set above)
from draw_artwork import (Canvas, rgba, mix, circle, ellipse, rect,  # noqa: E402
                          rounded_rect, polygon, stroke, oriented,
                          ellipse_points, pin_outline, grown_pin, clamp01)

ICON_DIR = os.path.join(art.REPO_ROOT, "data", "icons")

PNG_SIZE = 64
GIF_SIZE = 48

# --------------------------------------------------------------------------
# Palette
# --------------------------------------------------------------------------

DARK = rgba("#1c1d1f")
WHITE = rgba("#ffffff")

AMBER = rgba("#f7a823")          # incident / ICS facilities
AMBER_INK = rgba("#2a2016")      # symbols drawn on amber
FOREST = rgba("#2f8a43")         # forestry
FOREST_LIGHT = rgba("#e9f5e4")
HEALTH = rgba("#a48a3a")         # forest health (olive-brown)
HEALTH_INK = rgba("#2e1f10")
FIRE = rgba("#d4261c")           # fire events
FLAME_RED = rgba("#e2261b")
FLAME_ORANGE = rgba("#f6821f")
FLAME_YELLOW = rgba("#ffd43b")
FLAME_PALE = rgba("#fff4c2")
HAZARD = rgba("#e0231a")         # hazards
NEUTRAL = rgba("#8b929b")
WATER_BLUE = rgba("#1f7fe0")
SMOKE = rgba("#62676e")
RUST = rgba("#d8661c")
RUST_DARK = rgba("#8a3510")
LEAF = rgba("#a5cf5c")
CROWN = rgba("#9ccd55")
BARK = rgba("#5a3a1e")
BLIGHT = rgba("#6a2e14")

# Tropical-cyclone colours by intensity.
CYCLONE_COLOURS = {
    "TD": "#3d86e0",
    "TS": "#8ccf3a",
    "Cat1": "#f7e13c",
    "Cat2": "#f7a21d",
    "Cat3": "#e5391c",
    "Cat4": "#d0268f",
    "Cat5": "#5a1880",
    "": "#9a9fa6",
}


# --------------------------------------------------------------------------
# Geometry
# --------------------------------------------------------------------------

def rounded_convex(points, r, arc_step=math.radians(10)):
    """Outline at distance r around a convex polygon (rounded corners).

    A single point gives a circle of radius r.
    """
    if len(points) == 1:
        (x, y), = points
        return ellipse_points(x, y, r, r, max(24, int(2 * math.pi * r)))
    pts = oriented(list(points))
    n = len(pts)
    out = []
    for i in range(n):
        px, py = pts[i - 1]
        x, y = pts[i]
        nx, ny = pts[(i + 1) % n]
        a_in = math.atan2(-(x - px), y - py)      # outward normal of edge in
        a_out = math.atan2(-(nx - x), ny - y)     # outward normal of edge out
        while a_out < a_in:
            a_out += 2 * math.pi
        steps = max(1, int(math.ceil((a_out - a_in) / arc_step)))
        for k in range(steps + 1):
            a = a_in + (a_out - a_in) * k / steps
            out.append((x + r * math.cos(a), y + r * math.sin(a)))
    return out


def inset_convex(points, d):
    """Convex polygon moved inwards by d on every edge."""
    pts = oriented(list(points))
    n = len(pts)
    lines = []
    for i in range(n):
        (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % n]
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = -(y1 - y0) / length, (x1 - x0) / length   # inward normal
        lines.append(((x0 + nx * d, y0 + ny * d), (x1 - x0, y1 - y0)))
    out = []
    for i in range(n):
        (ax, ay), (adx, ady) = lines[i - 1]
        (bx, by), (bdx, bdy) = lines[i]
        det = adx * bdy - ady * bdx
        t = ((bx - ax) * bdy - (by - ay) * bdx) / det
        out.append((ax + adx * t, ay + ady * t))
    return out


def bezier_path(start, segments, steps=14):
    """Points along joined quadratic/cubic Bezier segments.

    Each segment is a tuple of control points ending with its end point:
    (c, p) for a quadratic, (c1, c2, p) for a cubic, (p,) for a line.
    """
    pts = [start]
    p0 = start
    for seg in segments:
        if len(seg) == 1:
            pts.append(seg[0])
        else:
            for k in range(1, steps + 1):
                t = k / steps
                u = 1 - t
                if len(seg) == 2:
                    (cx, cy), (px, py) = seg
                    x = u * u * p0[0] + 2 * u * t * cx + t * t * px
                    y = u * u * p0[1] + 2 * u * t * cy + t * t * py
                else:
                    (ax, ay), (bx, by), (px, py) = seg
                    x = (u ** 3 * p0[0] + 3 * u * u * t * ax + 3 * u * t * t * bx
                         + t ** 3 * px)
                    y = (u ** 3 * p0[1] + 3 * u * u * t * ay + 3 * u * t * t * by
                         + t ** 3 * py)
                pts.append((x, y))
        p0 = seg[-1]
    return pts


def transformed(points, cx, cy, sx, sy=None, angle=0.0):
    """Scale unit-space points, rotate them by angle and move them to (cx, cy)."""
    sy = sx if sy is None else sy
    ca, sa = math.cos(angle), math.sin(angle)
    return [(cx + (x * sx) * ca - (y * sy) * sa, cy + (x * sx) * sa + (y * sy) * ca)
            for x, y in points]


def arc(cx, cy, r, a0, a1, step_deg=8, ry=None):
    """Points along a circular (or elliptic) arc, angles in degrees.

    Screen coordinates: increasing angle turns clockwise on screen.
    """
    ry = r if ry is None else ry
    steps = max(2, int(abs(a1 - a0) / step_deg))
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * k / steps)),
             cy + ry * math.sin(math.radians(a0 + (a1 - a0) * k / steps)))
            for k in range(steps + 1)]


def ring(cx, cy, r_out, r_in):
    outer = oriented(ellipse_points(cx, cy, r_out, r_out))
    inner = oriented(ellipse_points(cx, cy, r_in, r_in))[::-1]
    return [outer, inner]


def strokes(polylines, width):
    """Union of several stroked polylines (round caps and joins)."""
    out = []
    for line in polylines:
        out += stroke(line, width)
    return out


# --------------------------------------------------------------------------
# Glyphs: bold letters and digits drawn as strokes in a unit box
# --------------------------------------------------------------------------

def _glyph_lines(ch):
    """Polylines of a glyph in a box x 0..1, y 0..1 (y down)."""
    if ch == "1":
        return [[(0.22, 0.24), (0.58, 0.0), (0.58, 1.0)], [(0.22, 1.0), (0.92, 1.0)]]
    if ch == "2":
        top = arc(0.5, 0.29, 0.4, 200, 375, ry=0.29)
        return [top + [(0.06, 1.0), (0.96, 1.0)]]
    if ch == "3":
        upper = arc(0.48, 0.25, 0.38, 205, 450, ry=0.25)
        lower = arc(0.48, 0.73, 0.44, 270, 518, ry=0.27)
        return [upper, [(0.3, 0.5), (0.48, 0.5)], lower]
    if ch == "4":
        return [[(0.72, 1.0), (0.72, 0.0), (0.02, 0.7), (1.0, 0.7)]]
    if ch == "5":
        bowl = arc(0.48, 0.68, 0.44, 222, 515, ry=0.32)
        return [[(0.9, 0.0), (0.2, 0.0), (0.12, 0.46)] + bowl[1:]]
    if ch == "B":
        upper = [(0.0, 0.0), (0.5, 0.0)] + arc(0.52, 0.245, 0.36, 270, 450,
                                                 ry=0.245) + [(0.0, 0.49)]
        lower = [(0.0, 0.49), (0.56, 0.49)] + arc(0.58, 0.745, 0.4, 270, 450,
                                                   ry=0.255) + [(0.0, 1.0)]
        return [[(0.0, 0.0), (0.0, 1.0)], upper, lower]
    if ch == "S":
        upper = arc(0.5, 0.26, 0.46, 335, 90, ry=0.26)
        lower = arc(0.5, 0.74, 0.46, 270, 510, ry=0.26)
        return [upper + lower[1:]]
    if ch == "H":
        return [[(0.0, 0.0), (0.0, 1.0)], [(1.0, 0.0), (1.0, 1.0)],
                [(0.0, 0.5), (1.0, 0.5)]]
    raise ValueError("no glyph for %r" % ch)


def glyph(ch, cx, cy, w, h, weight):
    """Contours of a bold glyph centred on (cx, cy), w x h plus stroke weight."""
    lines = [[(cx + (x - 0.5) * w, cy + (y - 0.5) * h) for x, y in line]
             for line in _glyph_lines(ch)]
    return strokes(lines, weight)


# --------------------------------------------------------------------------
# Masks: outlines around arbitrary shapes
# --------------------------------------------------------------------------

def shape_mask(contours, width, height):
    mask = [0.0] * (width * height)
    cov = art.coverage(contours, width, height)
    if cov is not None:
        x0, y0, rows = cov
        for j, row in enumerate(rows):
            base = (y0 + j) * width + x0
            for i, c in enumerate(row):
                mask[base + i] = c
    return mask


def dilate(mask, width, height, r):
    """Soft dilation of a coverage mask by r pixels.

    A pixel of coverage m is taken to have its edge m - 0.5 px beyond its
    centre, so the grown edge stays anti-aliased.
    """
    out = [0.0] * (width * height)
    reach = int(math.ceil(r)) + 1
    offsets = [(dx, dy, math.hypot(dx, dy)) for dy in range(-reach, reach + 1)
               for dx in range(-reach, reach + 1)
               if math.hypot(dx, dy) < r + 1.0]
    for y in range(height):
        for x in range(width):
            m = mask[y * width + x]
            if m <= 0.0:
                continue
            for dx, dy, dist in offsets:
                nx, ny = x + dx, y + dy
                if 0 <= nx < width and 0 <= ny < height:
                    v = clamp01(r + m - dist)
                    k = ny * width + nx
                    if v > out[k]:
                        out[k] = v
    return out


def paint_mask(canvas, mask, colour):
    w = canvas.width

    def fn(x, y):
        m = mask[int(y) * w + int(x)]
        return (colour[0], colour[1], colour[2], colour[3] * m) if m > 0 else None
    canvas.shade(fn)


def outlined(canvas, contours, colour, outline=DARK, width=2.0):
    """Fill a shape after painting a dark band of `width` px around it."""
    mask = shape_mask(contours, canvas.width, canvas.height)
    paint_mask(canvas, dilate(mask, canvas.width, canvas.height, width), outline)
    canvas.fill(contours, colour)


# --------------------------------------------------------------------------
# Badges (the coloured backgrounds)
# --------------------------------------------------------------------------

def layered_badge(canvas, core, outer_r, fill, ring=WHITE):
    """Dark outline, thin white ring, coloured face; returns the face contour."""
    canvas.fill([rounded_convex(core, outer_r)], DARK)
    canvas.fill([rounded_convex(core, outer_r - 2.0)], ring)
    face = [rounded_convex(core, outer_r - 3.5)]
    canvas.fill(face, fill)
    return face


def disc_badge(canvas, fill):
    return layered_badge(canvas, [(32, 32)], 31.0, fill)


def square_badge(canvas, fill=AMBER):
    m = 13.0
    return layered_badge(canvas, [(m, m), (64 - m, m), (64 - m, 64 - m), (m, 64 - m)],
                         12.0, fill)


def hex_badge(canvas, fill=HEALTH):
    core = [(32 + 25.5 * math.cos(math.radians(a)), 32 + 25.5 * math.sin(math.radians(a)))
            for a in range(0, 360, 60)]
    core = [(x * 1.0, 32 + (y - 32) * 1.02) for x, y in core]
    return layered_badge(canvas, core, 5.5, fill)


def hazard_badge(canvas):
    """White face in a broad red ring (a road-sign look)."""
    canvas.fill(circle(32, 32, 31.0), DARK)
    canvas.fill(circle(32, 32, 29.3), HAZARD)
    face = circle(32, 32, 22.5)
    canvas.fill(face, WHITE)
    return face


# --------------------------------------------------------------------------
# Shared symbols
# --------------------------------------------------------------------------

# A flame in unit space: base centre at (0, 0), x in -1..1, tip at y = -1.
_FLAME = bezier_path((0.0, 0.0), [
    ((-0.62, 0.0), (-1.0, -0.16), (-1.0, -0.38)),          # round left belly
    ((-1.0, -0.58), (-0.86, -0.70), (-0.66, -0.84)),       # up to left tongue
    ((-0.64, -0.70), (-0.52, -0.56), (-0.34, -0.52)),      # into left notch
    ((-0.30, -0.72), (-0.06, -0.84), (0.10, -1.0)),        # main tip
    ((0.22, -0.86), (0.30, -0.74), (0.34, -0.60)),         # down its right side
    ((0.50, -0.64), (0.62, -0.70), (0.72, -0.76)),         # right tongue tip
    ((0.98, -0.56), (1.0, -0.40), (1.0, -0.32)),           # right shoulder
    ((1.0, -0.12), (0.62, 0.0), (0.0, 0.0)),               # round right belly
])


def flame(cx, base_y, w, h, tilt=0.0):
    """A flame outline, base centre (cx, base_y), w wide and h tall."""
    return [transformed(_FLAME, cx, base_y, w / 2.0, h, tilt)]


def layered_flame(canvas, cx, base_y, w, h, colours, tilt=0.0):
    """Flame with nested inner tongues, outermost colour first."""
    n = len(colours)
    for k, colour in enumerate(colours):
        s = 1.0 - 0.3 * k if n < 4 else 1.0 - 0.24 * k
        lift = h * 0.05 * k
        canvas.fill(flame(cx, base_y - lift, w * s, h * (s * 0.92 + 0.08), tilt), colour)


def pine(cx, top, bottom, half_width, tiers=3):
    """Contours of a stacked-tier pine (without its trunk)."""
    out = []
    height = bottom - top
    for k in range(tiers):
        apex = top + height * k / tiers * 0.62
        base = top + height * (k + 1) / tiers
        half = half_width * (0.5 + 0.5 * (k + 1) / tiers)
        out.append(oriented([(cx, apex), (cx + half, base), (cx - half, base)]))
    return out


def water_drop(cx, cy, r, tip_y):
    """Drop with its point at tip_y above the round part centred at (cx, cy)."""
    pts = pin_outline(cx, cy, r, 2 * cy - tip_y)[0]
    return [[(x, 2 * cy - y) for x, y in pts]]


# --------------------------------------------------------------------------
# Facility icons (64x64)
# --------------------------------------------------------------------------

def icon_av_obstacle(c):
    """Aerial hazard: lattice mast with a red beacon, in a hazard badge."""
    face = hazard_badge(c)
    c.set_clip(face)
    top_y, base_y = 21.0, 50.0
    left = [(23.0, base_y), (30.0, top_y)]
    right = [(41.0, base_y), (34.0, top_y)]
    shapes = strokes([left, right], 3.4)

    def at(side, t):
        (x0, y0), (x1, y1) = side
        return (x0 + (x1 - x0) * t, y0 + (y1 - y0) * t)
    for k in range(3):
        t0, t1 = k / 3.0, (k + 1) / 3.0
        shapes += strokes([[at(left, t0), at(right, t1)],
                           [at(right, t0), at(left, t1)],
                           [at(left, t1), at(right, t1)]], 1.9)
    shapes += rect(18, base_y - 1.4, 46, base_y + 1.8)
    c.fill(shapes, DARK)
    # Beacon with short rays.
    c.fill(circle(32, 16.5, 4.6), DARK)
    c.fill(circle(32, 16.5, 3.2), HAZARD)
    rays = []
    for a in (200, 160, -20, 20):
        ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
        rays.append([(32 + 7.5 * ca, 16.5 + 7.5 * sa), (32 + 11.5 * ca, 16.5 + 11.5 * sa)])
    c.fill(strokes(rays, 2.4), HAZARD)
    c.clear_clip()


def icon_camp(c):
    """Camp: a ridge tent with an open door."""
    square_badge(c)
    c.fill(rect(11, 47, 53, 51) + polygon([(32, 14), (53, 48), (11, 48)])
           + stroke([(32, 9), (32, 16)], 3.2), AMBER_INK)
    c.fill(polygon([(32, 25), (40.5, 48), (23.5, 48)]), AMBER)
    c.fill(polygon([(32, 25), (32, 48), (23.5, 48)]), rgba("#fde7b4"))


def icon_drop_point(c):
    """Drop point: parachute canopy carrying a crate."""
    square_badge(c)
    cy, rx, ry = 25.0, 20.0, 15.0
    top = arc(32, cy, rx, 180, 360, ry=ry)
    lobes = []
    n = 4
    for k in range(n):
        x1 = 32 + rx - 2 * rx * k / n
        x0 = x1 - 2 * rx / n
        lobes += arc((x0 + x1) / 2, cy, rx / n, 0, 180, ry=3.2)[1:]
    canopy = [top + lobes]
    c.fill(canopy, AMBER_INK)
    # Gores: light seams on the canopy.
    seams = []
    for k in (1, 2, 3):
        x = 32 + rx - 2 * rx * k / n
        seams.append([(x, cy + 2.8), (32 + (x - 32) * 0.55, cy - ry * 0.86)])
    c.fill(strokes(seams, 1.4), AMBER)
    lines = [[(12.5, cy + 0.5), (26.5, 41)], [(22, cy + 3), (28.5, 41)],
             [(42, cy + 3), (35.5, 41)], [(51.5, cy + 0.5), (37.5, 41)]]
    c.fill(strokes(lines, 1.7), AMBER_INK)
    c.fill(rect(24.5, 40, 39.5, 54), AMBER_INK)
    c.fill(rect(26.5, 46, 37.5, 48), AMBER)
    c.fill(rect(31, 42, 33, 52), AMBER)


def icon_fire_origin(c):
    """Fire origin: cross-hair around a small flame."""
    disc_badge(c, FIRE)
    hair = ring(32, 32, 19.5, 16.5)
    ticks = []
    for a in range(0, 360, 90):
        ca, sa = math.cos(math.radians(a)), math.sin(math.radians(a))
        ticks.append([(32 + 14 * ca, 32 + 14 * sa), (32 + 26 * ca, 32 + 26 * sa)])
    c.fill(hair + strokes(ticks, 3.2), WHITE)
    layered_flame(c, 32, 41, 15, 19, [FLAME_YELLOW, FLAME_PALE])


def icon_first_aid(c):
    """First aid: bold white cross."""
    square_badge(c)
    arm, half = 6.5, 19.0
    cross = [oriented([(32 - arm, 32 - half), (32 + arm, 32 - half), (32 + arm, 32 - arm),
                       (32 + half, 32 - arm), (32 + half, 32 + arm), (32 + arm, 32 + arm),
                       (32 + arm, 32 + half), (32 - arm, 32 + half), (32 - arm, 32 + arm),
                       (32 - half, 32 + arm), (32 - half, 32 - arm), (32 - arm, 32 - arm)])]
    outlined(c, cross, WHITE, AMBER_INK, 2.6)


def icon_helibase(c):
    """Helibase: bold H inside a landing circle."""
    square_badge(c)
    c.fill(ring(32, 32, 22.5, 18.0), AMBER_INK)
    c.fill(glyph("H", 32, 32, 14, 20, 5.2), AMBER_INK)


def icon_hot_spot(c):
    """Hot spot: free-standing red-orange-yellow bullseye."""
    c.fill(circle(32, 32, 31.0), DARK)
    c.fill(circle(32, 32, 29.0), FLAME_RED)
    c.fill(circle(32, 32, 21.5), DARK)
    c.fill(circle(32, 32, 20.0), FLAME_ORANGE)
    c.fill(circle(32, 32, 12.5), DARK)
    c.fill(circle(32, 32, 11.0), FLAME_YELLOW)
    c.fill(circle(32, 32, 4.5), WHITE)


def icon_incident_base(c):
    """Incident base: bold letter B."""
    square_badge(c)
    c.fill(glyph("B", 31, 32, 17, 28, 6.0), AMBER_INK)


def icon_command_post(c):
    """Incident command post: flag split corner to corner."""
    square_badge(c)
    x0, y0, x1, y1 = 20.5, 13.0, 50.0, 36.0
    c.fill(stroke([(18.5, 11), (18.5, 54)], 4.0) + rect(12, 51, 26, 55), AMBER_INK)
    c.fill(rect(x0, y0, x1, y1), AMBER_INK)
    c.fill(polygon([(x0 + 2, y0 + 2), (x1 - 2, y0 + 2), (x0 + 2, y1 - 2)]), WHITE)


def icon_weather(c):
    """Weather unit: cloud with a thermometer in front of it."""
    square_badge(c)
    cloud = (circle(19, 31, 7.5) + circle(29, 24, 10.5) + circle(40, 29, 8.0)
             + [rounded_rect(11, 28, 46, 39, 5.5)[0]])
    cloud = [oriented(p) for p in cloud]
    outlined(c, cloud, WHITE, AMBER_INK, 2.2)
    tube = rounded_rect(41, 14, 51, 46, 5)
    bulb = circle(46, 48.5, 7.0)
    outlined(c, tube + bulb, WHITE, AMBER_INK, 2.2)
    c.fill(circle(46, 48.5, 4.6) + rect(44.2, 26, 47.8, 47), FLAME_RED)
    ticks = [[(41.5, y), (44, y)] for y in (20, 25, 30, 35)]
    c.fill(strokes(ticks, 1.3), AMBER_INK)


def icon_spot_fire(c):
    """Spot fires: three small separate flames."""
    disc_badge(c, FIRE)
    colours = [FLAME_YELLOW, FLAME_PALE]
    layered_flame(c, 22, 46, 15, 21, colours)
    layered_flame(c, 42, 33, 13, 18, colours)
    layered_flame(c, 41, 53, 10, 13, colours)


def icon_staging(c):
    """Staging area: bold letter S."""
    square_badge(c)
    c.fill(glyph("S", 32, 32, 20, 28, 6.0), AMBER_INK)


def icon_water_source(c):
    """Water source: blue water drop."""
    square_badge(c)
    drop = water_drop(32, 38, 14.5, 8)
    outlined(c, drop, WATER_BLUE, AMBER_INK, 2.2)
    c.stroke(arc(32, 38, 9.5, 115, 165), 3.0, rgba("#bfe0ff"))


def icon_shield(c):
    """Forestry shield with a pine tree."""
    top, bottom, left, right = 6.0, 60.5, 8.5, 55.5
    core = bezier_path((left, top), [((right, top),), ((right, 30),),
                                     ((right, 46), (32, bottom)),
                                     ((left, 46), (left, 30)), ((left, top),)])[:-1]
    core = inset_convex(core, 3.5)
    layered_badge(c, core, 4.0, FOREST)
    c.fill(pine(32, 13, 45, 15.5, 3) + rect(29.3, 44, 34.7, 52), FOREST_LIGHT)


def icon_smoke_sensitive(c):
    """Smoke-sensitive feature: a house under a smoke plume."""
    face = hazard_badge(c)
    c.set_clip(face)
    puffs = [(22.0, 19.0, 3.4), (25.5, 14.5, 4.4), (31.5, 11.5, 5.4), (38.5, 11.5, 4.6),
             (43.5, 14.5, 3.4)]
    smoke = [oriented(circle(x, y, r)[0]) for x, y, r in puffs]
    c.fill(smoke, SMOKE)
    c.fill(rect(19.5, 23, 24, 33), DARK)                               # chimney
    c.fill(polygon([(12.5, 38.5), (29, 23.5), (45.5, 38.5)]) + rect(18, 37, 40, 49.5), DARK)
    c.fill(rect(24.5, 41, 30.5, 49.5), WHITE)                          # door
    c.fill(rect(33.5, 41, 37.5, 45), WHITE)                            # window
    c.clear_clip()


def icon_accident(c):
    """Accident: red warning triangle with an exclamation mark."""
    core = [(32, 9.5), (56.5, 53.0), (7.5, 53.0)]
    c.fill([rounded_convex(core, 6.0)], DARK)
    c.fill([rounded_convex(core, 4.2)], HAZARD)
    c.fill([rounded_convex(inset_convex(core, 5.2), 1.2)], WHITE)
    c.fill(polygon([(29.3, 24.5), (34.7, 24.5), (33.6, 40.5), (30.4, 40.5)])
           + circle(32, 46.5, 3.0), DARK)


def icon_lookout_tower(c):
    """Fire lookout tower: cab with roof on splayed legs."""
    disc_badge(c, FOREST)
    legs = strokes([[(22, 54), (27.5, 30)], [(42, 54), (36.5, 30)]], 3.4)
    braces = strokes([[(26, 36.5), (39.8, 45)], [(38, 36.5), (24.2, 45)],
                      [(24, 45), (40, 45)]], 2.0)
    c.fill(legs + braces, FOREST_LIGHT)
    c.fill(rect(22, 20, 42, 31), FOREST_LIGHT)
    c.fill(rect(24.5, 22.5, 39.5, 26.5), FOREST)
    c.fill(rect(31, 22.5, 33, 26.5), FOREST_LIGHT)
    c.fill(polygon([(18.5, 21), (45.5, 21), (32, 11)]), FOREST_LIGHT)
    c.fill(rect(18.5, 29.5, 45.5, 32.5), FOREST_LIGHT)


def icon_fuel(c):
    """Fuel: a fuel pump with hose and nozzle."""
    square_badge(c)
    c.fill(rounded_rect(15, 13, 37, 52, 3) + rect(12, 49, 40, 54), AMBER_INK)
    c.fill(rounded_rect(19, 17, 33, 28, 1.5), rgba("#fde7b4"))
    hose = bezier_path((37, 33), [((44, 33), (45, 38)), ((45, 47),),
                                  ((45, 51), (48.5, 51)), ((52, 51), (52, 47)),
                                  ((52, 24),), ((52, 20), (48, 17))])
    c.fill(stroke(hose, 3.2), AMBER_INK)
    c.fill(polygon([(45, 13), (51, 18), (48, 21), (42, 16)]), AMBER_INK)


def icon_tanker_base(c):
    """Air tanker base: a four-engine tanker seen from above."""
    square_badge(c)
    body = [rounded_rect(28.5, 7, 35.5, 55, 3.5)[0]]
    wing = [oriented([(7, 29), (57, 29), (57, 33.5), (35, 37), (29, 37), (7, 33.5)])]
    tail = [oriented([(20, 50), (44, 50), (44, 53.5), (20, 53.5)])]
    engines = []
    for x in (15.5, 23.5, 40.5, 48.5):
        engines.append(oriented(rounded_rect(x - 2, 24, x + 2, 33, 1.5)[0]))
    c.fill(body + wing + tail + engines, AMBER_INK)
    c.fill(rounded_rect(30.3, 9.5, 33.7, 13.5, 1.6), rgba("#fde7b4"))


def icon_beetle(c):
    """Bark beetle."""
    face = hex_badge(c)
    c.set_clip(face)
    legs = []
    for side in (-1, 1):
        for (x0, y0), (x1, y1), (x2, y2) in [((6, 27), (12, 23), (13.5, 18)),
                                             ((9, 34), (15.5, 34), (18, 38.5)),
                                             ((7, 42), (12, 46.5), (12, 51))]:
            legs.append([(32 + side * x0, y0), (32 + side * x1, y1),
                         (32 + side * x2, y2)])
    feelers = [[(30, 12.5), (27, 9.5), (22.5, 9.5)], [(34, 12.5), (37, 9.5), (41.5, 9.5)]]
    c.fill(strokes(legs, 2.4) + strokes(feelers, 1.9), HEALTH_INK)
    c.fill(ellipse(32, 38, 10.5, 15.0) + ellipse(32, 21.5, 7.5, 5.5)
           + circle(32, 14.5, 4.0), HEALTH_INK)
    c.fill(stroke([(32, 27.5), (32, 51)], 1.4), HEALTH)
    c.fill(ellipse(27.5, 33, 2.2, 4.5), rgba("#6b5633"))
    c.clear_clip()


def icon_rust(c):
    """Rust disease: a leaf carrying orange rust pustules."""
    face = hex_badge(c)
    c.set_clip(face)
    leaf = bezier_path((15, 49), [((18, 24), (34, 16), (49, 15)),
                                  ((48, 32), (40, 46), (15, 49))])
    outlined(c, [leaf], LEAF, HEALTH_INK, 2.2)
    c.fill(stroke([(11, 53), (15.5, 48.5), (41, 23)], 2.2), HEALTH_INK)
    for x, y, r in [(27.5, 29.5, 3.6), (38, 28.5, 3.1), (26.5, 40, 3.2),
                    (36, 38.5, 2.6), (43.5, 20.5, 2.1), (20, 38, 2.1)]:
        c.fill(circle(x, y, r + 1.0), RUST_DARK)
        c.fill(circle(x, y, r), RUST)
    c.clear_clip()


def icon_other_disease(c):
    """Other tree disease: broadleaf tree with blight spots."""
    hex_badge(c)
    crown = [oriented(circle(x, y, r)[0]) for x, y, r in
             [(32, 22.5, 10.5), (22, 31, 9.5), (42, 31, 9.5), (32, 34, 10.5)]]
    trunk = [oriented([(29, 40), (35, 40), (36.5, 53), (27.5, 53)])]
    outlined(c, crown + trunk, CROWN, HEALTH_INK, 2.0)
    c.fill(trunk, BARK)
    c.fill(crown, CROWN)
    # Blotches with yellow haloes, the usual look of a leaf-spot disease.
    for x, y, r in [(26.5, 24.5, 3.0), (38, 23, 2.4), (34, 33, 3.2), (22.5, 33.5, 2.4),
                    (43, 32, 2.2)]:
        c.fill(circle(x, y, r + 1.5), rgba("#e8d34a"))
        c.fill([oriented([(x + r * (1 + 0.25 * math.sin(3 * a + x)) * math.cos(a),
                           y + r * (1 + 0.25 * math.sin(3 * a + x)) * math.sin(a))
                          for a in (2 * math.pi * k / 24 for k in range(24))])], BLIGHT)


def icon_other(c):
    """Anything else: a neutral grey map pin."""
    cx, cy, r, tip = 32.0, 23.0, 17.0, 61.0
    c.fill(grown_pin(cx, cy, r, tip, 2.2), DARK)
    c.fill(pin_outline(cx, cy, r, tip), NEUTRAL)
    c.fill(circle(cx, cy, 6.5), WHITE)


def icon_wildfire(c):
    """Wildfire: a large free-standing flame."""
    shape = flame(32, 61.5, 54, 59)
    mask = shape_mask(shape, 64, 64)
    paint_mask(c, dilate(mask, 64, 64, 2.2), DARK)
    layered_flame(c, 32, 61.5, 54, 59, [FLAME_RED, FLAME_ORANGE, FLAME_YELLOW])


FACILITY_ICONS = [
    ("av_obstaclea.png", icon_av_obstacle),
    ("campa.png", icon_camp),
    ("droppoint.png", icon_drop_point),
    ("fire_origina.png", icon_fire_origin),
    ("faids.png", icon_first_aid),
    ("helibasea.png", icon_helibase),
    ("hot_spotA.png", icon_hot_spot),
    ("incident_basea.png", icon_incident_base),
    ("icsa.png", icon_command_post),
    ("weaxa.png", icon_weather),
    ("spotfirea.png", icon_spot_fire),
    ("staginga.png", icon_staging),
    ("water_sourcea.png", icon_water_source),
    ("SHIELD.png", icon_shield),
    ("ssf.png", icon_smoke_sensitive),
    ("accident.png", icon_accident),
    ("towera.png", icon_lookout_tower),
    ("dot_logo.png", icon_fuel),
    ("tanker_base.png", icon_tanker_base),
    ("beetle.png", icon_beetle),
    ("rust.png", icon_rust),
    ("otd.png", icon_other_disease),
    ("other.png", icon_other),
    ("ffire.png", icon_wildfire),
]


# --------------------------------------------------------------------------
# Tropical-cyclone icons (48x48)
# --------------------------------------------------------------------------

def cyclone_arm(cx, cy, start_deg, sweep_deg, r0, r1, w0, min_inner=0.0):
    """A tapering arm that leaves the centre disc and curls anticlockwise.

    Its centre line spirals from radius r0 at start_deg out to r1, turning
    sweep_deg anticlockwise (as seen on screen); its width falls from w0 to 0.
    Its inner edge never comes closer to the centre than min_inner.
    """
    left, right = [], []
    steps = 32
    for k in range(steps + 1):
        t = k / steps
        a = math.radians(start_deg - sweep_deg * t)
        rad = r0 + (r1 - r0) * t ** 1.3
        half = w0 / 2 * (1 - t) ** 0.75
        r_out, r_in = rad + half, max(rad - half, min_inner)
        left.append((cx + r_out * math.cos(a), cy + r_out * math.sin(a)))
        right.append((cx + r_in * math.cos(a), cy + r_in * math.sin(a)))
    return oriented(left + right[::-1])


def draw_cyclone(kind, forecast):
    s = GIF_SIZE
    c = Canvas(s, s)
    cx = cy = s / 2.0
    base = rgba(CYCLONE_COLOURS[kind])
    colour = mix(base, WHITE, 0.45) if forecast else base
    outline = rgba("#3a3d42") if forecast else DARK
    disc_r = 11.0
    hollow = kind == "TD"
    hole_r = 5.8
    arms = [cyclone_arm(cx, cy, a0, 185, disc_r - 4.0, 21.5, 8.0,
                        hole_r + 1.0 if hollow else 0.0) for a0 in (20, 200)]
    # Tropical depressions get an open centre (a ring); the rest a solid disc.
    centre = ring(cx, cy, disc_r, hole_r) if hollow else circle(cx, cy, disc_r)
    body = arms + centre
    mask = shape_mask(body, s, s)
    paint_mask(c, dilate(mask, s, s, 1.6), outline)
    c.fill(body, colour)
    if forecast:
        # A white ring just inside the edge of the centre disc.
        c.fill(ring(cx, cy, disc_r - 1.0, disc_r - 2.8), WHITE)
    if kind.startswith("Cat"):
        digit = kind[3]
        luma = 0.299 * colour[0] + 0.587 * colour[1] + 0.114 * colour[2]
        ink = DARK if luma > 0.55 else WHITE
        c.fill(glyph(digit, cx, cy, 7.0, 11.0, 3.1), ink)
    return c


def cyclone_icons():
    out = []
    for kind in ("TD", "TS", "Cat1", "Cat2", "Cat3", "Cat4", "Cat5"):
        out.append(("%sHurricane.gif" % kind, kind, False))
    for kind in ("TD", "TS", "Cat1", "Cat2", "Cat3", "Cat4", "Cat5"):
        out.append(("Fcast_%sHurricane.gif" % kind, kind, True))
    out.append(("Hurricane.gif", "", False))
    return out


# --------------------------------------------------------------------------
# GIF writer: palette reduction, LZW coding, and a decoder to check it
# --------------------------------------------------------------------------

ALPHA_CUT = 128        # pixels at least this opaque are kept, others vanish


def canvas_pixels(canvas):
    """Straight-alpha (r, g, b, a) byte tuples, row by row."""
    px = []
    for row in canvas.rgba_rows():
        for i in range(0, len(row), 4):
            px.append(tuple(row[i:i + 4]))
    return px


def median_cut(counts, limit):
    """Reduce a {colour: count} table to at most `limit` colours."""
    boxes = [sorted(counts.items())]
    while len(boxes) < limit:
        best, best_score, best_ch = None, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                vals = [c[ch] for c, _ in box]
                spread = max(vals) - min(vals)
                score = spread * sum(n for _, n in box)
                if score > best_score:
                    best, best_score, best_ch = i, score, ch
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda e: (e[0][best_ch], e[0]))
        total = sum(n for _, n in box)
        acc, cut = 0, 1
        for k, (_, n) in enumerate(box):
            acc += n
            if acc * 2 >= total:
                cut = min(max(k + 1, 1), len(box) - 1)
                break
        boxes[best:best] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        total = sum(n for _, n in box)
        palette.append(tuple(int(sum(c[ch] * n for c, n in box) / total + 0.5)
                             for ch in range(3)))
    return palette


def quantise(pixels):
    """Palette (index 0 transparent) and one index per pixel."""
    counts = {}
    for r, g, b, a in pixels:
        if a >= ALPHA_CUT:
            counts[(r, g, b)] = counts.get((r, g, b), 0) + 1
    colours = median_cut(counts, 255) if len(counts) > 255 else sorted(counts)
    palette = [(0, 0, 0)] + colours
    lookup = {}
    indices = bytearray()
    for r, g, b, a in pixels:
        if a < ALPHA_CUT:
            indices.append(0)
            continue
        key = (r, g, b)
        if key not in lookup:
            lookup[key] = 1 + min(range(len(colours)), key=lambda k: (
                (colours[k][0] - r) ** 2 + (colours[k][1] - g) ** 2
                + (colours[k][2] - b) ** 2, k))
        indices.append(lookup[key])
    return palette, bytes(indices)


def lzw_encode(indices, min_code_size):
    """GIF-flavoured variable-width LZW, least significant bit first."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    out = bytearray()
    bit_buf = bit_count = 0

    def emit(code, size):
        nonlocal bit_buf, bit_count
        bit_buf |= code << bit_count
        bit_count += size
        while bit_count >= 8:
            out.append(bit_buf & 0xFF)
            bit_buf >>= 8
            bit_count -= 8

    def reset():
        return {}, end + 1, min_code_size + 1

    table, next_code, size = reset()
    emit(clear, size)
    if not indices:
        emit(end, size)
    else:
        prefix = indices[0]
        for k in indices[1:]:
            key = (prefix, k)
            code = table.get(key)
            if code is not None:
                prefix = code
                continue
            emit(prefix, size)
            if next_code < 4096:
                table[key] = next_code
                next_code += 1
                if next_code > (1 << size) and size < 12:
                    size += 1
            else:
                emit(clear, size)
                table, next_code, size = reset()
            prefix = k
        emit(prefix, size)
        emit(end, size)
    if bit_count:
        out.append(bit_buf & 0xFF)
    return bytes(out)


def lzw_decode(data, min_code_size, expected):
    """Inverse of lzw_encode (also handles streams from other encoders)."""
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    size = min_code_size + 1
    table = [bytes([i]) for i in range(clear)] + [b"", b""]
    out = bytearray()
    prev = None
    pos = 0
    total_bits = len(data) * 8
    while pos + size <= total_bits:
        code = 0
        for b in range(size):
            bit = (data[(pos + b) >> 3] >> ((pos + b) & 7)) & 1
            code |= bit << b
        pos += size
        if code == clear:
            table = table[:end + 1]
            size = min_code_size + 1
            prev = None
            continue
        if code == end:
            break
        if prev is None:
            entry = table[code]
        elif code < len(table):
            entry = table[code]
            if len(table) < 4096:
                table.append(prev + entry[:1])
        elif code == len(table):
            entry = prev + prev[:1]
            table.append(entry)
        else:
            raise ValueError("bad LZW code %d" % code)
        out += entry
        prev = entry
        if len(table) == (1 << size) and size < 12:
            size += 1
    if len(out) < expected:
        raise ValueError("LZW stream too short: %d of %d" % (len(out), expected))
    return bytes(out[:expected])


def gif_bytes(width, height, palette, indices, transparent=0):
    bits = max(1, (len(palette) - 1).bit_length())
    table_size = 1 << bits
    colours = list(palette) + [(0, 0, 0)] * (table_size - len(palette))
    min_code_size = max(2, bits)
    head = b"GIF89a" + struct.pack("<HHBBB", width, height,
                                   0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    head += b"".join(struct.pack("BBB", *c) for c in colours)
    gce = b"\x21\xf9\x04" + struct.pack("<BHBB", 0x01, 0, transparent, 0)
    desc = b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
    data = lzw_encode(indices, min_code_size)
    blocks = bytearray([min_code_size])
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        blocks.append(len(chunk))
        blocks += chunk
    blocks.append(0)
    return head + gce + desc + bytes(blocks) + b"\x3b"


def read_gif(blob):
    """Decode a single-image GIF: (width, height, palette, transparent, indices)."""
    if blob[:6] not in (b"GIF89a", b"GIF87a"):
        raise ValueError("not a GIF")
    width, height, packed, _bg, _aspect = struct.unpack("<HHBBB", blob[6:13])
    pos = 13
    palette = []
    if packed & 0x80:
        n = 1 << ((packed & 7) + 1)
        palette = [tuple(blob[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)]
        pos += 3 * n
    transparent = None
    while True:
        tag = blob[pos]
        if tag == 0x21:
            label = blob[pos + 1]
            pos += 2
            if label == 0xF9 and blob[pos + 1] & 1:
                transparent = blob[pos + 4]
            while blob[pos]:
                pos += blob[pos] + 1
            pos += 1
        elif tag == 0x2C:
            _x, _y, w, h, ipacked = struct.unpack("<HHHHB", blob[pos + 1:pos + 10])
            pos += 10
            if ipacked & 0x80:
                n = 1 << ((ipacked & 7) + 1)
                palette = [tuple(blob[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)]
                pos += 3 * n
            min_code_size = blob[pos]
            pos += 1
            data = bytearray()
            while blob[pos]:
                data += blob[pos + 1:pos + 1 + blob[pos]]
                pos += blob[pos] + 1
            return width, height, palette, transparent, \
                lzw_decode(bytes(data), min_code_size, w * h)
        else:
            raise ValueError("unexpected GIF block 0x%02x" % tag)


def write_gif(path, canvas):
    palette, indices = quantise(canvas_pixels(canvas))
    blob = gif_bytes(canvas.width, canvas.height, palette, indices)
    # Check the file by decoding it again.
    w, h, pal, transparent, back = read_gif(blob)
    assert (w, h) == (canvas.width, canvas.height), "GIF size mismatch"
    assert transparent == 0, "GIF transparent index missing"
    assert back == indices, "GIF round trip differs"
    assert pal[:len(palette)] == palette, "GIF palette differs"
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(blob)
    return len(blob)


def self_check_lzw():
    """Round-trip awkward streams through the LZW coder."""
    rng = art.Rng(7)
    cases = [b"", b"\x00", b"\x01" * 5000, bytes(range(4)) * 700,
             bytes(int(rng.random() * 4) for _ in range(9000)),
             bytes(int(rng.random() * 256) for _ in range(9000))]
    for data in cases:
        mcs = max(2, max(data or b"\x00").bit_length())
        assert lzw_decode(lzw_encode(data, mcs), mcs, len(data)) == data


# --------------------------------------------------------------------------
# Preview sheet (for looking at the icons, not installed)
# --------------------------------------------------------------------------

def resample(pixels, size, new_size):
    """Area-average straight-alpha RGBA pixels to new_size x new_size."""
    scale = size / new_size
    out = []
    for ny in range(new_size):
        for nx in range(new_size):
            acc = [0.0, 0.0, 0.0, 0.0]
            y0, y1 = ny * scale, (ny + 1) * scale
            x0, x1 = nx * scale, (nx + 1) * scale
            for y in range(int(y0), int(math.ceil(y1))):
                wy = min(y1, y + 1) - max(y0, y)
                for x in range(int(x0), int(math.ceil(x1))):
                    wx = min(x1, x + 1) - max(x0, x)
                    r, g, b, a = pixels[y * size + x]
                    wa = wx * wy * a
                    acc[0] += r * wa
                    acc[1] += g * wa
                    acc[2] += b * wa
                    acc[3] += wa
            area = scale * scale
            a = acc[3] / area
            if acc[3] > 0:
                out.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
            else:
                out.append((0, 0, 0, 0))
    return out


def write_preview(folder, pngs, gifs):
    cell_w, cell_h = 112, 72
    cols = 6
    items = [(name, PNG_SIZE, px) for name, px in pngs] + \
            [(name, GIF_SIZE, px) for name, px in gifs]
    rows = (len(items) + cols - 1) // cols
    w, h = cols * cell_w, rows * cell_h
    rng = art.Rng(99)
    ground = []
    for y in range(h):
        for x in range(w):
            n = (math.sin(x * 0.11) * math.cos(y * 0.13) + math.sin((x + y) * 0.05)
                 + rng.uniform(-0.6, 0.6))
            t = clamp01(0.5 + n * 0.3)
            ground.append((70 + 50 * t, 85 + 35 * t, 55 + 25 * t))
    sheet = [list(p) for p in ground]
    for k, (name, size, px) in enumerate(items):
        ox, oy = (k % cols) * cell_w + 4, (k // cols) * cell_h + 4
        small = resample([(r, g, b, a / 255.0) for r, g, b, a in px], size, 32)
        big = [(r, g, b, a / 255.0) for r, g, b, a in px]
        for pxs, sz, dx, dy in ((big, size, 0, 0), (small, 32, size + 6, 16)):
            for y in range(sz):
                for x in range(sz):
                    r, g, b, a = pxs[y * sz + x]
                    dst = sheet[(oy + dy + y) * w + ox + dx + x]
                    dst[0] = r * a + dst[0] * (1 - a)
                    dst[1] = g * a + dst[1] * (1 - a)
                    dst[2] = b * a + dst[2] * (1 - a)
    write_rgb(os.path.join(folder, "icon_sheet.png"), sheet, w, h)
    # Enlarged copy (nearest neighbour) to inspect the edges.
    zoom = 3
    for name, chunk in (("icon_zoom1.png", items[:12]), ("icon_zoom2.png", items[12:24]),
                        ("icon_zoom3.png", items[24:])):
        zc = 6
        zw, zh = zc * 64 * zoom, ((len(chunk) + zc - 1) // zc) * 64 * zoom
        big = [[150.0, 150.0, 150.0] for _ in range(zw * zh)]
        for k, (_n, size, px) in enumerate(chunk):
            ox, oy = (k % zc) * 64 * zoom, (k // zc) * 64 * zoom
            for y in range(size * zoom):
                for x in range(size * zoom):
                    r, g, b, a = px[(y // zoom) * size + x // zoom]
                    a /= 255.0
                    chk = 120.0 if ((x // 12 + y // 12) % 2) else 160.0
                    dst = big[(oy + y) * zw + ox + x]
                    dst[0] = r * a + chk * (1 - a)
                    dst[1] = g * a + chk * (1 - a)
                    dst[2] = b * a + chk * (1 - a)
        write_rgb(os.path.join(folder, name), big, zw, zh)


def write_rgb(path, pixels, w, h):
    rows_out = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            r, g, b = pixels[y * w + x]
            row += bytes((int(r + 0.5), int(g + 0.5), int(b + 0.5), 255))
        rows_out.append(bytes(row))
    art.write_png(path, w, h, rows_out)


# --------------------------------------------------------------------------

def main(argv):
    preview = None
    if len(argv) == 2 and argv[0] == "--preview":
        preview = argv[1]
    elif argv:
        sys.exit(__doc__)
    self_check_lzw()
    pngs, gifs = [], []
    for name, draw in FACILITY_ICONS:
        canvas = Canvas(PNG_SIZE, PNG_SIZE)
        draw(canvas)
        size = art.write_png(os.path.join(ICON_DIR, name), PNG_SIZE, PNG_SIZE,
                             canvas.rgba_rows())
        print("wrote data/icons/%s (%d bytes)" % (name, size))
        pngs.append((name, canvas_pixels(canvas)))
    for name, kind, forecast in cyclone_icons():
        canvas = draw_cyclone(kind, forecast)
        path = os.path.join(ICON_DIR, name)
        size = write_gif(path, canvas)
        print("wrote data/icons/%s (%d bytes)" % (name, size))
        if preview:
            with open(path, "rb") as f:
                w, h, pal, tr, idx = read_gif(f.read())
            px = [(0, 0, 0, 0) if i == tr else pal[i] + (255,) for i in idx]
            gifs.append((name, px))
            rows = [b"".join(bytes(p) for p in px[y * w:(y + 1) * w]) for y in range(h)]
            art.write_png(os.path.join(preview, name[:-4] + "_gif.png"), w, h, rows)
    if preview:
        write_preview(preview, pngs, gifs)
        print("wrote preview into %s" % preview)


if __name__ == "__main__":
    main(sys.argv[1:])
