#!/usr/bin/env python3
"""Pixel checks on XWD screenshots of the Windows programs' 1024 x 768 window.

  wine_probe.py viewer SHOT.xwd   the viewer's lake frame: view frame, credit line, scene
  wine_probe.py saver SHOT.xwd    the screensaver's lake frame: credit line, scene, no frame
  wine_probe.py fitted SHOT.xwd X Y W H   a lake frame fitted into the rectangle, black around it
  wine_probe.py yellow SHOT.xwd X Y W H   the frame-rate figures' yellow text in the rectangle
  wine_probe.py png SHOT.xwd OUT.png
Exits 0 when every check passes, 1 otherwise, printing what it found.
"""
import struct
import sys
import zlib


def read_xwd(path):
    data = open(path, "rb").read()
    h = struct.unpack(">25I", data[:100])
    header_size, width, height = h[0], h[4], h[5]
    byte_order, bits_per_pixel, bytes_per_line = h[7], h[11], h[12]
    red_mask, ncolors = h[14], h[19]
    if bits_per_pixel not in (24, 32) or red_mask != 0xFF0000 or byte_order != 0:
        raise SystemExit("unsupported XWD layout: %r" % (h,))
    step = bits_per_pixel // 8
    start = header_size + ncolors * 12

    def pixel(x, y):
        p = start + y * bytes_per_line + x * step
        return data[p + 2], data[p + 1], data[p]

    return width, height, pixel


def near(c, want, tolerance=14):
    return all(abs(a - b) <= tolerance for a, b in zip(c, want))


def is_red(c):
    return c[0] >= 180 and c[1] <= 70 and c[2] <= 70


class Checks:
    def __init__(self):
        self.ok = True

    def expect(self, condition, text):
        print(("ok   " if condition else "FAIL ") + text)
        self.ok = self.ok and condition


def credit_ink(pixel, x0, x1, y0, y1):
    """Red pixels of the credit line in the box: count and horizontal extent."""
    xs = [x for y in range(y0, y1) for x in range(x0, x1) if is_red(pixel(x, y))]
    if not xs:
        return 0, 0, None
    return len(xs), max(xs) - min(xs) + 1, min(xs)


def scene_colours(pixel, width, height):
    """Distinct colours and the share of not-black pixels in the middle of the view."""
    colours = set()
    lit = 0
    total = 0
    for y in range(int(height * 0.2), int(height * 0.75), 3):
        for x in range(int(width * 0.2), int(width * 0.8), 3):
            c = pixel(x, y)
            colours.add(c)
            lit += max(c) > 24
            total += 1
    return len(colours), lit / total


def frame_share(pixel, height, x0, x1):
    """Share of the view frame's dark green in a band at the left or right edge."""
    hits = total = 0
    for y in range(int(height * 0.4), int(height * 0.6), 2):
        for x in range(x0, x1, 2):
            hits += near(pixel(x, y), (0, 51, 0))
            total += 1
    return hits / total


def check(kind, path):
    width, height, pixel = read_xwd(path)
    checks = Checks()
    checks.expect((width, height) == (1024, 768), "window is 1024 x 768 (%d x %d)" % (width, height))
    if not checks.ok:
        return False

    colours, lit = scene_colours(pixel, width, height)
    # A title frame is mostly black; a lake frame has the water's clear colour.
    checks.expect(colours >= 8 and lit >= 0.5,
                  "lake scene in the view: %d colours, %.0f%% lit" % (colours, lit * 100))

    left = frame_share(pixel, height, 8, 64)
    right = frame_share(pixel, height, width - 64, width - 8)
    # Credit line: its first character's origin is 440 units from the left
    # and 10 from the bottom; Courier New at 10 pixels, or the fixed-pitch face
    # that stands in for it, advances 6 per character, the blanks included (a
    # proportional face, its blanks 3 wide, leaves the ink far shorter).
    if kind == "viewer":
        checks.expect(left > 0.9 and right > 0.9,
                      "view frame's green bands: %.0f%% left, %.0f%% right" % (left * 100, right * 100))
        count, extent, first = credit_ink(pixel, 430, 640, height - 30, height)
        checks.expect(count >= 60 and 106 <= extent <= 125 and first is not None and first <= 446,
                      "credit \"Created by Orvandel\": %d red pixels, %d wide from x %s"
                      % (count, extent, first))
    else:
        checks.expect(left < 0.2 and right < 0.2,
                      "no view frame: %.0f%% left, %.0f%% right" % (left * 100, right * 100))
        count, extent, first = credit_ink(pixel, 430, 800, height - 30, height)
        checks.expect(count >= 150 and 280 <= extent <= 310 and first is not None and first <= 446,
                      "credit \"The lake bottom screensaver. Created by Orvandel\": "
                      "%d red pixels, %d wide from x %s" % (count, extent, first))
    return checks.ok


def check_fitted(path, x0, y0, w, h):
    """The picture lies in the rectangle: black bars around it, the lake inside."""
    width, height, pixel = read_xwd(path)
    checks = Checks()
    inside = lit_inside = outside = lit_outside = 0
    for y in range(height):
        for x in range(width):
            lit = max(pixel(x, y)) > 16
            if x0 <= x < x0 + w and y0 <= y < y0 + h:
                inside += 1
                lit_inside += lit
            else:
                outside += 1
                lit_outside += lit
    checks.expect(lit_outside == 0, "bars black: %d of %d pixels lit" % (lit_outside, outside))
    checks.expect(inside > 0 and lit_inside >= 0.9 * inside,
                  "lake in the picture: %d of %d pixels lit" % (lit_inside, inside))
    return checks.ok


def check_yellow(path, x0, y0, w, h):
    """Yellow text (the frame rate) in the rectangle."""
    _, _, pixel = read_xwd(path)
    checks = Checks()
    count = sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w)
                if min(pixel(x, y)[:2]) >= 180 and pixel(x, y)[2] <= 80)
    checks.expect(count >= 20, "frame rate: %d yellow pixels" % count)
    return checks.ok


def write_png(path, out):
    width, height, pixel = read_xwd(path)
    rows = []
    for y in range(height):
        row = bytearray(b"\0")
        for x in range(width):
            row += bytes(pixel(x, y))
        rows.append(bytes(row))

    def chunk(tag, body):
        return (struct.pack(">I", len(body)) + tag + body
                + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF))

    with open(out, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(b"".join(rows))))
        f.write(chunk(b"IEND", b""))


def main(argv):
    if len(argv) == 3 and argv[1] in ("viewer", "saver"):
        return 0 if check(argv[1], argv[2]) else 1
    if len(argv) == 7 and argv[1] == "fitted":
        return 0 if check_fitted(argv[2], *map(int, argv[3:7])) else 1
    if len(argv) == 7 and argv[1] == "yellow":
        return 0 if check_yellow(argv[2], *map(int, argv[3:7])) else 1
    if len(argv) == 4 and argv[1] == "png":
        write_png(argv[2], argv[3])
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
