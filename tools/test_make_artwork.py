#!/usr/bin/env python3
"""Checks the artwork in res/ by reading the files back the way Windows does,
and checks that tools/make_artwork.py still reproduces them.

Run: /usr/bin/python3 tools/test_make_artwork.py
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "res")
GENERATOR = os.path.join(ROOT, "tools", "make_artwork.py")

# Windows' standard 16 colours, in GDI's order.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
MAGENTA = (255, 0, 255)


def read(name):
    with open(os.path.join(RES, name), "rb") as f:
        return f.read()


# --------------------------------------------------------------------------
# Readers, written from the file formats rather than from the generator.

def ico_entries(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1), "not an icon file"
    entries = []
    for i in range(count):
        w, h, colours, res, planes, bpp, size, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        entries.append(dict(width=w or 256, height=h or 256, colours=colours,
                            planes=planes, bpp=bpp,
                            data=data[offset:offset + size]))
    return entries


def palette_at(data, offset, count):
    return [(data[offset + 4 * i + 2], data[offset + 4 * i + 1], data[offset + 4 * i])
            for i in range(count)]


def unpack_rows(data, offset, width, height, bpp):
    """Top-down rows of pixel values from a bottom-up DIB bitmap."""
    stride = (width * bpp + 31) // 32 * 4
    rows = []
    for y in range(height):
        line = data[offset + (height - 1 - y) * stride:][:stride]
        if bpp == 32:
            rows.append([tuple(line[4 * x:4 * x + 4]) for x in range(width)])
        else:
            per_byte = 8 // bpp
            rows.append([(line[x // per_byte] >> (8 - bpp * (x % per_byte + 1)))
                         & ((1 << bpp) - 1) for x in range(width)])
    return rows


def dib_header(blob):
    return dict(zip(("size", "width", "height", "planes", "bpp", "compression",
                     "size_image", "xppm", "yppm", "clr_used", "clr_important"),
                    struct.unpack_from("<IiiHHIIiiII", blob, 0)))


def decode_icon_bmp(blob):
    """(RGBA rows, AND-mask rows, palette indices or None, palette)."""
    h = dib_header(blob)
    n, bpp = h["width"], h["bpp"]
    pal_count = 0 if bpp > 8 else (h["clr_used"] or 1 << bpp)
    palette = palette_at(blob, 40, pal_count)
    xor_at = 40 + 4 * pal_count
    xor_size = (n * bpp + 31) // 32 * 4 * n
    xor = unpack_rows(blob, xor_at, n, n, bpp)
    mask = unpack_rows(blob, xor_at + xor_size, n, n, 1)
    if bpp == 32:
        rgba = [[(r, g, b, a) for b, g, r, a in row] for row in xor]
        return rgba, mask, None, palette
    rgba = [[palette[i] + (0 if m else 255,) for i, m in zip(row, mrow)]
            for row, mrow in zip(xor, mask)]
    return rgba, mask, xor, palette


def decode_png(blob):
    """RGBA rows of an 8-bit RGBA, non-interlaced PNG."""
    assert blob[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, ihdr = 8, b"", None
    while pos < len(blob):
        length, kind = struct.unpack_from(">I4s", blob, pos)
        body = blob[pos + 8:pos + 8 + length]
        crc, = struct.unpack_from(">I", blob, pos + 8 + length)
        assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF, kind
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    w, h, depth, colour_type, _, _, interlace = ihdr
    assert (depth, colour_type, interlace) == (8, 6, 0), ihdr
    raw, stride, rows, prev = zlib.decompress(idat), 4 * w, [], bytearray(4 * w)
    for y in range(h):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else b if pb <= pc else c
                line[i] = (line[i] + pred) & 255
        rows.append([tuple(line[4 * x:4 * x + 4]) for x in range(w)])
        prev = line
    return rows


def icon_images(name):
    """[(size, bpp, RGBA rows)] for every image of an icon file."""
    out = []
    for e in ico_entries(read(name)):
        if e["data"][:4] == b"\x89PNG":
            out.append((e["width"], e["bpp"], decode_png(e["data"])))
        else:
            out.append((e["width"], e["bpp"], decode_icon_bmp(e["data"])[0]))
    return out


def is_pointer_green(rgba):
    r, g, b, a = rgba
    return a >= 128 and g >= 120 and g > r + 80 and g > b + 80


def pointer_direction(rgba):
    """Clockwise angle from 12 o'clock of the green pixels' centroid, and how
    many there are."""
    n = len(rgba)
    pts = [(x + 0.5 - n / 2, y + 0.5 - n / 2)
           for y, row in enumerate(rgba) for x, p in enumerate(row)
           if is_pointer_green(p)]
    if not pts:
        return None, 0
    dx = sum(p[0] for p in pts) / len(pts)
    dy = sum(p[1] for p in pts) / len(pts)
    return math.degrees(math.atan2(dx, -dy)), len(pts)


# --------------------------------------------------------------------------

FRAMES = {"kvMidi.ico": 0, "frame1.ico": 0, "frame2.ico": 45, "frame3.ico": 90}
SMALL_SET = {(16, 4), (16, 8), (16, 32), (32, 4), (32, 8), (32, 32)}


class IconTest(unittest.TestCase):

    def test_the_application_icon_adds_48_and_256_px_to_the_small_set(self):
        got = {(e["width"], e["bpp"]) for e in ico_entries(read("kvMidi.ico"))}
        self.assertEqual(got, SMALL_SET | {(48, 32), (256, 32)})

    def test_each_animation_frame_has_16_and_32_px_in_three_depths(self):
        for name in ("frame1.ico", "frame2.ico", "frame3.ico"):
            entries = ico_entries(read(name))
            self.assertEqual(len(entries), 6, name)
            self.assertEqual({(e["width"], e["bpp"]) for e in entries}, SMALL_SET, name)

    def test_directory_entries_agree_with_the_images_they_point_at(self):
        for name in FRAMES:
            for e in ico_entries(read(name)):
                what = "%s %dpx %dbpp" % (name, e["width"], e["bpp"])
                self.assertEqual(e["width"], e["height"], what)
                self.assertEqual(e["planes"], 1, what)
                self.assertEqual(e["colours"], 16 if e["bpp"] == 4 else 0, what)
                blob = e["data"]
                if blob[:4] == b"\x89PNG":
                    self.assertEqual(e["width"], 256, "only 256 px is stored as PNG")
                    w, h = struct.unpack_from(">II", blob, 16)
                    self.assertEqual((w, h), (256, 256), what)
                    continue
                h = dib_header(blob)
                n, bpp = e["width"], e["bpp"]
                self.assertEqual((h["size"], h["width"], h["height"], h["planes"],
                                  h["bpp"], h["compression"]),
                                 (40, n, 2 * n, 1, bpp, 0), what)
                palette = 4 << bpp if bpp <= 8 else 0
                xor = (n * bpp + 31) // 32 * 4 * n
                mask = (n + 31) // 32 * 4 * n
                self.assertEqual(len(blob), 40 + palette + xor + mask, what)

    def test_palette_images_use_the_standard_colours_at_4bpp_and_a_full_palette_at_8(self):
        for name in FRAMES:
            for e in ico_entries(read(name)):
                if e["bpp"] in (4, 8) and e["data"][:4] != b"\x89PNG":
                    palette = decode_icon_bmp(e["data"])[3]
                    self.assertEqual(len(palette), 1 << e["bpp"])
                    if e["bpp"] == 4:
                        self.assertEqual(palette, VGA16, name)

    def test_masked_pixels_are_exactly_the_transparent_ones_and_are_black(self):
        # With AND/XOR drawing, a masked pixel whose colour is not black would
        # invert the screen behind the icon instead of leaving it alone.
        for name in FRAMES:
            for e in ico_entries(read(name)):
                if e["data"][:4] == b"\x89PNG":
                    continue
                rgba, mask, indices, palette = decode_icon_bmp(e["data"])
                what = "%s %dpx %dbpp" % (name, e["width"], e["bpp"])
                for y, row in enumerate(mask):
                    for x, m in enumerate(row):
                        if e["bpp"] == 32:
                            self.assertEqual(m == 1, rgba[y][x][3] == 0, what)
                            if m:
                                self.assertEqual(rgba[y][x][:3], (0, 0, 0), what)
                        elif m:
                            self.assertEqual(palette[indices[y][x]], (0, 0, 0), what)

    def test_the_dial_is_round_and_opaque_inside(self):
        for name in FRAMES:
            for n, bpp, rgba in icon_images(name):
                what = "%s %dpx %dbpp" % (name, n, bpp)
                for x, y in ((0, 0), (n - 1, 0), (0, n - 1), (n - 1, n - 1)):
                    self.assertEqual(rgba[y][x][3], 0, what + " corner")
                for x, y in ((n // 2, 1), (1, n // 2), (n // 2, n - 2), (n - 2, n // 2),
                             (n // 2, n * 3 // 4), (n // 4, n // 2)):
                    self.assertEqual(rgba[y][x][3], 255, what + " at %d,%d" % (x, y))

    def test_32bpp_images_are_anti_aliased_with_real_alpha(self):
        for n, bpp, rgba in icon_images("kvMidi.ico"):
            if bpp == 32 and n >= 32:
                partial = [p for row in rgba for p in row if 0 < p[3] < 255]
                self.assertTrue(partial, "%dpx has no soft edge" % n)

    def test_the_pointer_is_green_and_points_the_frames_way_in_every_image(self):
        for name, angle in FRAMES.items():
            for n, bpp, rgba in icon_images(name):
                what = "%s %dpx %dbpp" % (name, n, bpp)
                seen, count = pointer_direction(rgba)
                self.assertGreaterEqual(count, n * n // 80, what + ": too little green")
                self.assertLess(abs(seen - angle), 8, "%s points at %.0f deg" % (what, seen))

    def test_the_pointer_green_is_vivid_enough_to_find_on_a_screenshot(self):
        for name in FRAMES:
            for n, bpp, rgba in icon_images(name):
                self.assertTrue(any(p[1] >= 190 and p[0] <= 40 and p[2] <= 40
                                    for row in rgba for p in row if p[3] == 255),
                                "%s %dpx %dbpp" % (name, n, bpp))

    def test_nothing_but_the_pointer_is_green(self):
        for name in FRAMES:
            for n, bpp, rgba in icon_images(name):
                green = sum(is_pointer_green(p) for row in rgba for p in row)
                self.assertLess(green, n * n // 10, "%s %dpx %dbpp" % (name, n, bpp))
                # The lower half of the face, away from every pointer position.
                for y in range(n * 5 // 8, n * 3 // 4):
                    self.assertFalse(is_pointer_green(rgba[y][n // 2 - 1]), name)

    def test_the_application_icon_is_the_first_frame(self):
        app = {(n, b): rgba for n, b, rgba in icon_images("kvMidi.ico")}
        for n, bpp, rgba in icon_images("frame1.ico"):
            self.assertEqual(app[(n, bpp)], rgba, "%dpx %dbpp" % (n, bpp))


# --------------------------------------------------------------------------

LED_ROWS = ["red", "green", "yellow", "blue"] * 2     # circles, then squares
LIT = {"red": (255, 0, 0), "green": (0, 255, 0), "yellow": (255, 255, 0), "blue": (0, 0, 255)}
DARK = {"red": (128, 0, 0), "green": (0, 128, 0), "yellow": (128, 128, 0), "blue": (0, 0, 128)}


def led_pixels():
    data = read("leds.bmp")
    off, = struct.unpack_from("<I", data, 10)
    h = dib_header(data[14:])
    palette = palette_at(data, 14 + 40, 16)
    rows = unpack_rows(data, off, h["width"], h["height"], h["bpp"])
    return [[palette[i] for i in row] for row in rows]


def cell(pixels, col, row):
    return [line[16 * col:16 * col + 16] for line in pixels[16 * row:16 * row + 16]]


def body_colour(c):
    """The colour most of the LED (everything but the key) is painted in."""
    counts = {}
    for line in c:
        for p in line:
            if p != MAGENTA:
                counts[p] = counts.get(p, 0) + 1
    best = max(sorted(counts), key=counts.get)
    return best, counts[best] / sum(counts.values())


def brightness(c):
    lit = [sum(p) for line in c for p in line if p != MAGENTA]
    return sum(lit) / len(lit)


class LedStripTest(unittest.TestCase):

    def test_header_describes_a_bottom_up_48_by_128_4bpp_bitmap(self):
        data = read("leds.bmp")
        magic, size, _, _, off = struct.unpack_from("<2sIHHI", data, 0)
        self.assertEqual(magic, b"BM")
        self.assertEqual(size, len(data))
        h = dib_header(data[14:])
        self.assertEqual((h["size"], h["width"], h["height"], h["planes"], h["bpp"],
                          h["compression"]), (40, 48, 128, 1, 4, 0))
        self.assertIn(h["clr_used"], (0, 16))
        self.assertEqual(off, 14 + 40 + 16 * 4)
        self.assertEqual(len(data) - off, 24 * 128)     # 24-byte rows need no padding

    def test_palette_is_the_standard_16_colours(self):
        self.assertEqual(palette_at(read("leds.bmp"), 14 + 40, 16), VGA16)

    def test_magenta_surrounds_every_led(self):
        px = led_pixels()
        for row in range(8):
            for col in range(3):
                c = cell(px, col, row)
                where = "cell %d,%d" % (col, row)
                for y in (0, 15):
                    for x in range(16):
                        self.assertEqual(c[y][x], MAGENTA, where)
                        self.assertEqual(c[x][y], MAGENTA, where)
                self.assertNotEqual(c[8][8], MAGENTA, where)

    def test_the_top_four_rows_are_round_and_the_bottom_four_square(self):
        px = led_pixels()
        for row in range(8):
            for col in range(3):
                c = cell(px, col, row)
                corner_keyed = c[2][2] == MAGENTA and c[13][13] == MAGENTA
                self.assertEqual(corner_keyed, row < 4, "cell %d,%d" % (col, row))

    def test_each_led_is_mostly_its_colour_lit_then_dark(self):
        px = led_pixels()
        for row, hue in enumerate(LED_ROWS):
            for col, expected in ((0, LIT[hue]), (1, DARK[hue])):
                colour, share = body_colour(cell(px, col, row))
                self.assertEqual(colour, expected, "%s in column %d" % (hue, col))
                self.assertGreater(share, 0.6, "%s in column %d" % (hue, col))

    def test_lit_leds_are_brighter_than_dark_ones(self):
        px = led_pixels()
        for row, hue in enumerate(LED_ROWS):
            self.assertGreater(brightness(cell(px, 0, row)),
                               1.5 * brightness(cell(px, 1, row)), hue)

    def test_the_grey_led_is_neutral_and_the_same_for_every_colour(self):
        px = led_pixels()
        for first in (0, 4):
            grey = cell(px, 2, first)
            colour, _ = body_colour(grey)
            self.assertEqual(len(set(colour)), 1, "grey LED is tinted %r" % (colour,))
            for row in range(first, first + 4):
                self.assertEqual(cell(px, 2, row), grey, LED_ROWS[row])

    def test_lit_dark_and_grey_share_one_outline(self):
        px = led_pixels()
        for row in range(8):
            shapes = [[[p == MAGENTA for p in line] for line in cell(px, col, row)]
                      for col in range(3)]
            self.assertEqual(shapes[0], shapes[1], LED_ROWS[row])
            self.assertEqual(shapes[0], shapes[2], LED_ROWS[row])


# --------------------------------------------------------------------------

def run_generator(*args):
    return subprocess.run([sys.executable, GENERATOR] + list(args),
                          capture_output=True, text=True)


ARTWORK = ["kvMidi.ico", "frame1.ico", "frame2.ico", "frame3.ico", "leds.bmp"]


class GeneratorTest(unittest.TestCase):

    def test_res_is_what_the_generator_draws(self):
        result = run_generator("--check")
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_check_names_the_files_that_differ(self):
        with tempfile.TemporaryDirectory() as tmp:
            for name in ARTWORK:
                shutil.copy(os.path.join(RES, name), tmp)
            with open(os.path.join(tmp, "frame2.ico"), "r+b") as f:
                f.seek(-1, os.SEEK_END)
                last = f.read(1)
                f.seek(-1, os.SEEK_END)
                f.write(bytes([last[0] ^ 0xFF]))
            os.remove(os.path.join(tmp, "leds.bmp"))
            result = run_generator("--check", "--out", tmp)
            self.assertEqual(result.returncode, 1)
            self.assertIn("frame2.ico", result.stderr)
            self.assertIn("leds.bmp", result.stderr)
            self.assertNotIn("frame1.ico", result.stderr)
            self.assertFalse(os.path.exists(os.path.join(tmp, "leds.bmp")),
                             "--check must not write")

    def test_writes_the_same_bytes_every_time_and_previews_on_request(self):
        with tempfile.TemporaryDirectory() as tmp:
            out, png = os.path.join(tmp, "out"), os.path.join(tmp, "png")
            result = run_generator("--out", out, "--png", png)
            self.assertEqual(result.returncode, 0, result.stderr)
            for name in ARTWORK:
                with open(os.path.join(out, name), "rb") as f:
                    self.assertEqual(f.read(), read(name), name)
                with open(os.path.join(png, name + ".png"), "rb") as f:
                    self.assertTrue(decode_png(f.read()), name)

    @unittest.skipUnless(shutil.which("x86_64-w64-mingw32-windres"), "no windres")
    def test_the_resource_compiler_accepts_the_artwork(self):
        with tempfile.TemporaryDirectory() as tmp:
            for name in ARTWORK:
                shutil.copy(os.path.join(RES, name), tmp)
            with open(os.path.join(tmp, "art.rc"), "w") as f:
                f.write('130 ICON "kvMidi.ico"\n131 ICON "frame1.ico"\n'
                        '132 ICON "frame2.ico"\n133 ICON "frame3.ico"\n'
                        '137 BITMAP "leds.bmp"\n')
            result = subprocess.run(["x86_64-w64-mingw32-windres", "art.rc",
                                     "-O", "coff", "-o", "art.o"],
                                    cwd=tmp, capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertGreater(os.path.getsize(os.path.join(tmp, "art.o")), 20000)


if __name__ == "__main__":
    unittest.main()
