#!/usr/bin/env python3
"""Draws kvMidi's artwork: the dial icons and the LED strip.

The pictures are computed rather than painted so that a change to them is a
reviewable diff of this script and can be remade identically by anyone:

    make_artwork.py                 write res/kvMidi.ico, frame1-3.ico, leds.bmp
    make_artwork.py --check         exit 1 if res/ differs from what this draws
    make_artwork.py --png DIR       also write enlarged PNG previews to DIR

Only the standard library is used, and nothing depends on the clock, the
locale or dict/set ordering, so the output is the same bytes every run.
"""

import argparse
import math
import os
import struct
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(os.path.dirname(HERE), "res")

# --------------------------------------------------------------------------
# Palettes

# The 16 colours every Windows display can show, in the order GDI uses for
# 4 bpp bitmaps. The LED strip and the 4 bpp icon images use only these.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
(BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
 GRAY, RED, LIME, YELLOW, BLUE, MAGENTA, AQUA, WHITE) = range(16)


def _palette256():
    # VGA first so the pure colours keep their familiar indices, then the
    # usual 6x6x6 cube, then a grey ramp: the dial is mostly greys, which the
    # cube has only six of.
    cube = [(r * 51, g * 51, b * 51)
            for r in range(6) for g in range(6) for b in range(6)]
    greys = [(v, v, v) for v in range(8, 248, 10)]
    pal = VGA16 + cube + greys
    assert len(pal) == 256
    return pal


PALETTE256 = _palette256()


def nearest(palette, rgb):
    """Index of the closest palette colour; ties go to the lower index."""
    r, g, b = rgb
    best, best_d = 0, None
    for i, (pr, pg, pb) in enumerate(palette):
        d = (pr - r) ** 2 + (pg - g) ** 2 + (pb - b) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


# --------------------------------------------------------------------------
# Shapes as signed distances (negative inside, in pixels). Evaluating them at
# pixel centres gives hard-edged images for the palette formats, and
# clamp(0.5 - d) gives a cheap, accurate coverage for anti-aliasing.

def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment(ax, ay, bx, by, wa, wb, round_ends=True):
    """A stroke from a to b whose width goes linearly from wa to wb, with
    round or square-cut ends."""
    dx, dy = bx - ax, by - ay
    length = math.hypot(dx, dy)
    ux, uy = dx / length, dy / length

    def sd(x, y):
        along = (x - ax) * ux + (y - ay) * uy
        across = abs((x - ax) * uy - (y - ay) * ux)
        h = min(1.0, max(0.0, along / length))
        half = (wa + (wb - wa) * h) / 2
        if round_ends:
            return math.hypot(along - h * length, across) - half
        return max(across - half, -along, along - length)
    return sd


def _mix(a, b, t):
    t = min(1.0, max(0.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# --------------------------------------------------------------------------
# The dial

# Each part of the dial: its colour in the 32 and 8 bpp images, and the VGA
# colour standing in for it at 4 bpp (picked by eye: nearest-colour matching
# turns the dark bezel teal). A gradient spans (top, bottom) for 32 bpp.
INKS = {
    "bezel":   ((64, 68, 76), GRAY),    # keeps the light rim clear of a light taskbar
    "rim":     (((230, 233, 238), (168, 173, 182)), WHITE),
    "face":    (((58, 63, 74), (30, 33, 40)), BLACK),
    "tick":    ((215, 219, 226), SILVER),
    "pointer": ((0, 200, 0), LIME),     # tests find the tray icon on screen by this green
    "hub":     ((168, 173, 182), SILVER),
}


def ink_rgb(ink):
    """The single colour of an ink, for the palette images."""
    rgb = INKS[ink][0]
    return _mix(*rgb, 0.5) if isinstance(rgb[0], tuple) else rgb


class Dial:
    """The dial at one size: a bezel, a rim and a face, with ticks, the
    pointer and a hub laid over them.

    angle is the pointer's direction in degrees clockwise from 12 o'clock.
    Lengths are laid out for 32 px and scaled. At 16 px every half pixel
    shows, so it has its own numbers and is drawn without anti-aliasing.
    """

    def __init__(self, size, angle):
        self.size = size
        c = self.c = size / 2.0
        if size == 16:
            self.radii = (7.95, 7.0, 6.0)
            # Square-cut and pixel-aligned, the pointer stays sharp when
            # upright or level; ticks clear of the rim keep it a clean ring.
            ticks, tick_r, tick_w = 4, (3.6, 5.0), 2.0
            ptr_len, ptr_w, ptr_round, hub_r = 6.0, (2.0, 2.0), False, 0.0
        else:
            s = size / 32.0
            self.radii = (15.95 * s, 15.0 * s, 13.0 * s)
            ticks = 8 if size < 48 else 12
            tick_r, tick_w = (10.0 * s, 13.0 * s), 1.4 * s
            if size == 32:
                # Pixel-aligned like 16 px: a taper would come out stepped.
                ptr_len, ptr_w, ptr_round = 11.0, (2.0, 2.0), False
            else:
                ptr_len, ptr_w, ptr_round = 10.8 * s, (4.0 * s, 2.0 * s), True
            hub_r = 2.6 * s
        # Ring widths in whole pixels for the hard-edged images, where a ring
        # drawn from radii alone comes out thicker on the diagonals.
        self.ring_px = (1, max(1, int(round(size / 16.0))))

        self.overlays = []      # (shape, ink), back to front
        for k in range(ticks):
            a = math.radians(k * 360.0 / ticks)
            ux, uy = math.sin(a), -math.cos(a)
            self.overlays.append((segment(c + ux * tick_r[0], c + uy * tick_r[0],
                                          c + ux * tick_r[1], c + uy * tick_r[1],
                                          tick_w, tick_w, round_ends=False),
                                  "tick"))
        a = math.radians(angle)
        ux, uy = math.sin(a), -math.cos(a)
        self.overlays.append((segment(c, c, c + ux * ptr_len, c + uy * ptr_len,
                                      *ptr_w, round_ends=ptr_round), "pointer"))
        if hub_r:
            self.overlays.append((disc(c, c, hub_r), "hub"))

    def shade(self, ink, y):
        rgb = INKS[ink][0]
        if not isinstance(rgb[0], tuple):
            return rgb
        # Lit from above: the gradient runs down the rim's height.
        top = self.c - self.radii[1]
        return tuple(int(round(v)) for v in
                     _mix(rgb[0], rgb[1], (y - top) / (2 * self.radii[1])))

    def _rings(self):
        """Which ring each pixel is in, or None.

        Peeling the disc one outline at a time keeps each ring's width even
        all the way round."""
        n = self.size
        outer = disc(self.c, self.c, self.radii[0])
        left = {(x, y) for y in range(n) for x in range(n)
                if outer(x + 0.5, y + 0.5) < 0}
        rings = [[None] * n for _ in range(n)]
        depth = 0
        while left:
            edge = {(x, y) for x, y in left
                    if not {(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)} <= left}
            ring = ("bezel" if depth < self.ring_px[0] else
                    "rim" if depth < sum(self.ring_px) else "face")
            for x, y in edge:
                rings[y][x] = ring
            left -= edge
            depth += 1
        return rings

    def render_flat(self):
        """Hard-edged pixels: the ink on top at each pixel's centre, or None."""
        out = self._rings()
        for y, row in enumerate(out):
            for x in range(self.size):
                for shape, ink in self.overlays:
                    if shape(x + 0.5, y + 0.5) < 0:
                        row[x] = ink
        return out

    def render_rgba(self):
        """Shaded RGBA pixels (non-premultiplied), anti-aliased above 16 px."""
        n, c = self.size, self.c
        if n <= 16:
            return [[(0, 0, 0, 0) if ink is None else self.shade(ink, y + 0.5) + (255,)
                     for ink in row] for y, row in enumerate(self.render_flat())]
        rings = [(disc(c, c, r), ink)
                 for r, ink in zip(self.radii, ("bezel", "rim", "face"))]
        out = []
        for py in range(n):
            row = []
            for px in range(n):
                x, y = px + 0.5, py + 0.5
                r = g = b = a = 0.0     # premultiplied
                for shape, ink in rings + self.overlays:
                    cov = min(1.0, max(0.0, 0.5 - shape(x, y)))
                    if cov > 0.0:
                        cr, cg, cb = self.shade(ink, y)
                        r = cr * cov + r * (1 - cov)
                        g = cg * cov + g * (1 - cov)
                        b = cb * cov + b * (1 - cov)
                        a = cov + a * (1 - cov)
                a8 = int(round(a * 255))
                if a8 == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((int(round(r / a)), int(round(g / a)),
                                int(round(b / a)), a8))
            out.append(row)
        return out


class IconImage:
    """One image of an icon: RGBA for previews and 32 bpp, plus palette
    indices for 4 and 8 bpp."""

    def __init__(self, size, bpp, rgba, indices=None, palette=None):
        self.size, self.bpp = size, bpp
        self.rgba = rgba            # rows of (r, g, b, a)
        self.indices = indices      # rows of palette indices (<= 8 bpp)
        self.palette = palette


def paletted(size, bpp, inks, palette, index_of):
    """Transparent pixels become index 0 with their mask bit set, which is
    what the AND/XOR drawing of icons needs to leave the screen untouched."""
    indices = [[0 if ink is None else index_of(ink) for ink in row] for row in inks]
    rgba = [[(0, 0, 0, 0) if ink is None else palette[i] + (255,)
             for ink, i in zip(irow, row)] for irow, row in zip(inks, indices)]
    return IconImage(size, bpp, rgba, indices, palette)


def dial_images(angle, sizes):
    images = []
    for size in sizes:
        dial = Dial(size, angle)
        if size <= 32:
            # Anti-aliasing and gradients would only band and smudge in a
            # palette, so those depths get the hard-edged drawing.
            flat = dial.render_flat()
            images.append(paletted(size, 4, flat, VGA16, lambda ink: INKS[ink][1]))
            images.append(paletted(size, 8, flat, PALETTE256,
                                   lambda ink: nearest(PALETTE256, ink_rgb(ink))))
        images.append(IconImage(size, 32, dial.render_rgba()))
    return images


# --------------------------------------------------------------------------
# File formats (all little-endian, as Windows wants)

def _row_bytes(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def pack_rows(rows, bpp):
    """Packs palette-index rows bottom-up, each padded to 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if bpp == 8:
            line.extend(row)
        elif bpp == 4:
            for i in range(0, len(row), 2):
                hi = row[i]
                lo = row[i + 1] if i + 1 < len(row) else 0
                line.append(hi << 4 | lo)
        elif bpp == 1:
            for i in range(0, len(row), 8):
                v = 0
                for j, bit in enumerate(row[i:i + 8]):
                    v |= bit << (7 - j)
                line.append(v)
        line.extend(b"\0" * (_row_bytes(len(row) * bpp) - len(line)))
        out.extend(line)
    return bytes(out)


def palette_bytes(palette, count):
    pal = list(palette) + [(0, 0, 0)] * (count - len(palette))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)


def bitmapinfoheader(width, height, bpp, size_image, colours_used):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0,
                       size_image, 0, 0, colours_used, 0)


def ico_image_bmp(img):
    """The DIB form of an icon image: header (height doubled for the mask),
    palette, XOR bitmap, AND mask."""
    n = img.size
    mask = [[1 if p[3] == 0 else 0 for p in row] for row in img.rgba]
    and_bits = pack_rows(mask, 1)
    if img.bpp == 32:
        xor = bytearray()
        for row in reversed(img.rgba):
            for r, g, b, a in row:
                xor.extend((b, g, r, a))
        pal = b""
    else:
        xor = pack_rows(img.indices, img.bpp)
        pal = palette_bytes(img.palette, 1 << img.bpp)
    header = bitmapinfoheader(n, 2 * n, img.bpp, len(xor) + len(and_bits), 0)
    return header + pal + bytes(xor) + and_bits


def png_bytes(rgba):
    """An 8-bit RGBA PNG. zlib at level 9 is deterministic for a given zlib."""
    h, w = len(rgba), len(rgba[0])
    raw = bytearray()
    for row in rgba:
        raw.append(0)               # filter: none
        for p in row:
            raw.extend(p)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def ico_file(images):
    # Windows Vista and later (and Wine) read PNG-compressed 256 px images;
    # as a DIB that one image alone would be over a quarter megabyte.
    blobs = [png_bytes(img.rgba) if img.size == 256 else ico_image_bmp(img)
             for img in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, blobs):
        dim = img.size if img.size < 256 else 0     # 0 means 256
        colours = 16 if img.bpp == 4 else 0
        out += struct.pack("<BBBBHHII", dim, dim, colours, 0, 1, img.bpp,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


# --------------------------------------------------------------------------
# The LED strip: three states across, eight LEDs down, 16 px cells.

LED_CELL = 16
LED_HUES = [            # (lit, dark), top to bottom
    (RED, MAROON), (LIME, GREEN), (YELLOW, OLIVE), (BLUE, NAVY),
]


def led_inside(shape, x, y):
    if shape == "circle":
        return math.hypot(x + 0.5 - 8, y + 0.5 - 8) < 7.3
    return 2 <= x <= 13 and 2 <= y <= 13


def led_cell(shape, fill, rim, glint):
    """16x16 indices: a one pixel outline, a body of one colour and a small
    glint at the upper left; magenta, the transparent key, everywhere else."""
    def inside(x, y):
        return 0 <= x < 16 and 0 <= y < 16 and led_inside(shape, x, y)

    cell = [[MAGENTA] * LED_CELL for _ in range(LED_CELL)]
    for y in range(LED_CELL):
        for x in range(LED_CELL):
            if not inside(x, y):
                continue
            edge = not all(inside(x + dx, y + dy)
                           for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            cell[y][x] = rim if edge else fill
    if glint is not None:
        spots = ([(4, 4), (5, 4), (4, 5)] if shape == "circle"
                 else [(4, 4), (5, 4), (6, 4), (4, 5), (4, 6)])
        for x, y in spots:
            cell[y][x] = glint
    return cell


def led_strip():
    """Rows of palette indices, 48 x 128."""
    rows = []
    for shape in ("circle", "square"):
        for lit, dark in LED_HUES:
            cells = [led_cell(shape, lit, BLACK, WHITE),
                     led_cell(shape, dark, BLACK, GRAY),
                     led_cell(shape, GRAY, BLACK, SILVER)]
            for y in range(LED_CELL):
                rows.append([i for cell in cells for i in cell[y]])
    return rows


def bmp_file(rows, bpp, palette):
    """A bottom-up, uncompressed .bmp with a full palette."""
    h, w = len(rows), len(rows[0])
    pixels = pack_rows(rows, bpp)
    pal = palette_bytes(palette, 1 << bpp)
    offset = 14 + 40 + len(pal)
    return (struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
            + bitmapinfoheader(w, h, bpp, len(pixels), 1 << bpp)
            + pal + pixels)


# --------------------------------------------------------------------------
# Previews

def _checker(x, y):
    return 204 if (x // 8 + y // 8) % 2 else 244


def preview_sheet(groups):
    """Lays images out in rows (one per group) over a checkerboard, each
    enlarged x8 up to 48 px wide so single pixels can be judged."""
    gap = 16
    scaled = []
    for group in groups:
        line = []
        for rgba in group:
            k = 8 if len(rgba[0]) <= 48 else 1
            line.append((rgba, k))
        scaled.append(line)
    width = gap + max(sum(len(r[0]) * k + gap for r, k in line) for line in scaled)
    height = gap + sum(max(len(r) * k for r, k in line) + gap for line in scaled)
    sheet = [[(0, 0, 0)] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            v = _checker(x, y)
            sheet[y][x] = (v, v, v)
    top = gap
    for line in scaled:
        left = gap
        for rgba, k in line:
            for y, row in enumerate(rgba):
                for x, (r, g, b, a) in enumerate(row):
                    for yy in range(top + y * k, top + (y + 1) * k):
                        for xx in range(left + x * k, left + (x + 1) * k):
                            br, bg, bb = sheet[yy][xx]
                            sheet[yy][xx] = ((r * a + br * (255 - a)) // 255,
                                             (g * a + bg * (255 - a)) // 255,
                                             (b * a + bb * (255 - a)) // 255)
            left += len(rgba[0]) * k + gap
        top += max(len(r) * k for r, k in line) + gap
    return png_bytes([[p + (255,) for p in row] for row in sheet])


# --------------------------------------------------------------------------

SMALL = (16, 32)
ICONS = [   # file name, pointer angle, sizes
    ("kvMidi.ico", 0, SMALL + (48, 256)),
    ("frame1.ico", 0, SMALL),
    ("frame2.ico", 45, SMALL),
    ("frame3.ico", 90, SMALL),
]
LEDS = "leds.bmp"


def build():
    """Every output file as (name, bytes, preview groups), in a fixed order."""
    files = []
    for name, angle, sizes in ICONS:
        images = dial_images(angle, sizes)
        groups = [[img.rgba for img in images if img.bpp == bpp]
                  for bpp in (4, 8, 32)]
        files.append((name, ico_file(images), groups))
    rows = led_strip()
    files.append((LEDS, bmp_file(rows, 4, VGA16),
                  [[[[VGA16[i] + (255,) for i in row] for row in rows]]]))
    return files


def write(out_dir, files):
    os.makedirs(out_dir, exist_ok=True)
    for name, data, _ in files:
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)


def check(out_dir, files):
    """Regenerates into a scratch folder and compares with out_dir."""
    with tempfile.TemporaryDirectory() as tmp:
        write(tmp, files)
        differing = []
        for name, _, _ in files:
            fresh = open(os.path.join(tmp, name), "rb").read()
            path = os.path.join(out_dir, name)
            current = open(path, "rb").read() if os.path.exists(path) else None
            if current != fresh:
                differing.append(name)
    return differing


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=DEFAULT_OUT,
                        help="folder for the artwork (default: %(default)s)")
    parser.add_argument("--check", action="store_true",
                        help="write nothing; exit 1 if --out differs")
    parser.add_argument("--png", metavar="DIR",
                        help="also write enlarged PNG previews to DIR")
    args = parser.parse_args(argv)

    files = build()
    status = 0
    if args.check:
        differing = check(args.out, files)
        if differing:
            print("artwork out of date in %s: %s (run %s)"
                  % (args.out, ", ".join(differing), os.path.basename(__file__)),
                  file=sys.stderr)
            status = 1
    else:
        write(args.out, files)
    if args.png:
        os.makedirs(args.png, exist_ok=True)
        for name, _, groups in files:
            with open(os.path.join(args.png, name + ".png"), "wb") as f:
                f.write(preview_sheet(groups))
    return status


if __name__ == "__main__":
    sys.exit(main())
