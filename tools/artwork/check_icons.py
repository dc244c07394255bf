#!/usr/bin/env python3
"""Check Waypost's placemark icons in data/icons.

Every icon must exist, carry the right signature (PNG or GIF89a), have the
right size, stay under MAX_BYTES, and actually show something: a
transparent surround, an opaque symbol, and several distinct colours.
GIFs must also name a transparent colour.  The pixel data is decoded here
(zlib for PNG, an LZW decoder for GIF) independently of draw_icons.py.

Usage:  python3 tools/artwork/check_icons.py [ICON_FOLDER]
Exit status 0 when every icon passes, 1 otherwise (problems are listed).
"""

import os
import struct
import sys
import zlib

REPO_ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
DEFAULT_FOLDER = os.path.join(REPO_ROOT, "data", "icons")

MAX_BYTES = 8 * 1024
MIN_COLOURS = 3

PNG_ICONS = [
    "av_obstaclea.png", "campa.png", "droppoint.png", "fire_origina.png",
    "faids.png", "helibasea.png", "hot_spotA.png", "incident_basea.png",
    "icsa.png", "weaxa.png", "spotfirea.png", "staginga.png",
    "water_sourcea.png", "SHIELD.png", "ssf.png", "accident.png", "towera.png",
    "dot_logo.png", "tanker_base.png", "beetle.png", "rust.png", "otd.png",
    "other.png", "ffire.png",
]
PNG_SIZE = 64

_STRENGTHS = ["TD", "TS", "Cat1", "Cat2", "Cat3", "Cat4", "Cat5"]
GIF_ICONS = (["%sHurricane.gif" % s for s in _STRENGTHS]
             + ["Fcast_%sHurricane.gif" % s for s in _STRENGTHS]
             + ["Hurricane.gif"])
GIF_SIZE = 48


# --------------------------------------------------------------------------
# PNG
# --------------------------------------------------------------------------

def decode_png(blob):
    """(width, height, [(r, g, b, a), ...]) of an 8-bit RGBA PNG."""
    if blob[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("no PNG signature")
    pos = 8
    header = None
    idat = bytearray()
    while pos < len(blob):
        length, = struct.unpack(">I", blob[pos:pos + 4])
        tag = blob[pos + 4:pos + 8]
        body = blob[pos + 8:pos + 8 + length]
        crc, = struct.unpack(">I", blob[pos + 8 + length:pos + 12 + length])
        if zlib.crc32(tag + body) & 0xFFFFFFFF != crc:
            raise ValueError("bad CRC in %r chunk" % tag)
        if tag == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif tag == b"IDAT":
            idat += body
        elif tag == b"IEND":
            break
        pos += 12 + length
    if header is None:
        raise ValueError("no IHDR chunk")
    width, height, depth, colour_type, _c, _f, interlace = header
    if (depth, colour_type, interlace) != (8, 6, 0):
        raise ValueError("not 8-bit non-interlaced RGBA")
    raw = zlib.decompress(bytes(idat))
    stride = width * 4
    if len(raw) != height * (stride + 1):
        raise ValueError("wrong amount of pixel data")
    prev = bytearray(stride)
    pixels = []
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if kind == 0:
                pred = 0
            elif kind == 1:
                pred = a
            elif kind == 2:
                pred = b
            elif kind == 3:
                pred = (a + b) >> 1
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
            else:
                raise ValueError("bad filter type %d" % kind)
            line[i] = (line[i] + pred) & 0xFF
        pixels += [tuple(line[i:i + 4]) for i in range(0, stride, 4)]
        prev = line
    return width, height, pixels


# --------------------------------------------------------------------------
# GIF
# --------------------------------------------------------------------------

def _lzw(data, min_code_size, count):
    clear = 1 << min_code_size
    end = clear + 1
    size = min_code_size + 1
    table = [bytes([i]) for i in range(clear)] + [None, None]
    out = bytearray()
    prev = None
    bits = 0
    nbits = 0
    for byte in data:
        bits |= byte << nbits
        nbits += 8
        while nbits >= size:
            code = bits & ((1 << size) - 1)
            bits >>= size
            nbits -= size
            if code == clear:
                table = table[:end + 1]
                size = min_code_size + 1
                prev = None
                continue
            if code == end:
                return bytes(out[:count])
            if code < len(table) and table[code] is not None:
                entry = table[code]
                if prev is not None and len(table) < 4096:
                    table.append(prev + entry[:1])
            elif prev is not None and code == len(table):
                entry = prev + prev[:1]
                table.append(entry)
            else:
                raise ValueError("bad LZW code %d" % code)
            out += entry
            prev = entry
            if len(table) == (1 << size) and size < 12:
                size += 1
    raise ValueError("LZW data has no end code")


def decode_gif(blob):
    """(width, height, [(r, g, b, a), ...], transparent_index) of a GIF."""
    if blob[:6] != b"GIF89a":
        raise ValueError("no GIF89a signature")
    width, height, packed = struct.unpack("<HHB", blob[6:11])
    pos = 13
    palette = []
    if packed & 0x80:
        n = 1 << ((packed & 7) + 1)
        palette = [tuple(blob[pos + 3 * i:pos + 3 * i + 3]) for i in range(n)]
        pos += 3 * n
    transparent = None
    while pos < len(blob):
        tag = blob[pos]
        if tag == 0x21:                            # extension
            label = blob[pos + 1]
            pos += 2
            if label == 0xF9 and blob[pos] == 4 and blob[pos + 1] & 1:
                transparent = blob[pos + 4]
            while blob[pos]:
                pos += blob[pos] + 1
            pos += 1
        elif tag == 0x2C:                          # image
            left, top, w, h, ipacked = struct.unpack("<HHHHB", blob[pos + 1:pos + 10])
            pos += 10
            if (left, top, w, h) != (0, 0, width, height):
                raise ValueError("image does not cover the canvas")
            if ipacked & 0x40:
                raise ValueError("interlaced")
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
            indices = _lzw(bytes(data), min_code_size, w * h)
            if len(indices) != w * h:
                raise ValueError("image data too short")
            pixels = [(0, 0, 0, 0) if i == transparent else palette[i] + (255,)
                      for i in indices]
            return width, height, pixels, transparent
        elif tag == 0x3B:
            break
        else:
            raise ValueError("unexpected block 0x%02x" % tag)
    raise ValueError("no image in GIF")


# --------------------------------------------------------------------------

def check_pixels(pixels):
    problems = []
    opaque = [p[:3] for p in pixels if p[3] >= 128]
    clear = sum(1 for p in pixels if p[3] == 0)
    if not clear:
        problems.append("no transparent pixels")
    if len(opaque) < len(pixels) // 5:
        problems.append("almost nothing drawn (%d opaque pixels)" % len(opaque))
    colours = len(set(opaque))
    if colours < MIN_COLOURS:
        problems.append("only %d distinct colours" % colours)
    return problems


def check_file(path, size):
    if not os.path.isfile(path):
        return ["missing"]
    with open(path, "rb") as f:
        blob = f.read()
    problems = []
    if len(blob) > MAX_BYTES:
        problems.append("%d bytes, more than %d" % (len(blob), MAX_BYTES))
    try:
        if path.endswith(".png"):
            width, height, pixels = decode_png(blob)
        else:
            width, height, pixels, transparent = decode_gif(blob)
            if transparent is None:
                problems.append("no transparent colour")
    except (ValueError, IndexError, struct.error, zlib.error) as exc:
        return problems + ["cannot be decoded: %s" % exc]
    if (width, height) != (size, size):
        problems.append("%dx%d, not %dx%d" % (width, height, size, size))
    return problems + check_pixels(pixels)


def check(folder=DEFAULT_FOLDER):
    """List of "name: problem" strings; empty when every icon is fine."""
    problems = []
    for names, size in ((PNG_ICONS, PNG_SIZE), (GIF_ICONS, GIF_SIZE)):
        for name in names:
            for problem in check_file(os.path.join(folder, name), size):
                problems.append("%s: %s" % (name, problem))
    return problems


def main(argv):
    folder = argv[0] if argv else DEFAULT_FOLDER
    problems = check(folder)
    for problem in problems:
        print(problem)
    total = len(PNG_ICONS) + len(GIF_ICONS)
    if problems:
        print("%d problem(s) in %s" % (len(problems), folder))
        return 1
    print("all %d icons in %s are fine" % (total, folder))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
