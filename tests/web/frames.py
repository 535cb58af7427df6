#!/usr/bin/env python3
"""Reads the page's last frame and compares frames.

  frames.py page DOM_FILE OUT.png WIDTH HEIGHT N
      From a --dump-dom of the page: checks the title "done N", writes the
      <img id="last-frame"> PNG to OUT.png, checks its size, and prints how
      the page drew (body's data-drawing).
  frames.py compare A.png B.png SHARE LEVELS
      At least SHARE of the pixels within LEVELS per channel, and no 16 x 16
      block with more than 12 pixels beyond them: rounding spreads its
      differences thin, a missing line of text or dial does not.
  frames.py uniform A.png
      Every pixel the same colour (a frame shown as its background colour).
"""
import base64
import re
import struct
import sys
import zlib


def decode_png(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG file")
    at, idat, header = 8, b"", None
    while at < len(data):
        length, tag = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        if tag == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif tag == b"IDAT":
            idat += body
        at += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise ValueError(f"unsupported PNG (depth {depth}, colour type {colour}, interlace {interlace})")
    raw, stride = zlib.decompress(idat), width * channels
    rows, previous = [], bytearray(stride)
    for r in range(height):
        kind, line = raw[r * (stride + 1)], bytearray(raw[r * (stride + 1) + 1:(r + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up, corner = previous[i], previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        previous = line
    # RGB only: the page's canvas is opaque.
    pixels = bytearray()
    for line in rows:
        pixels += line if channels == 3 else bytes(b for k, b in enumerate(line) if k % 4 != 3)
    return width, height, bytes(pixels)


def read_png(path):
    with open(path, "rb") as f:
        return decode_png(f.read())


def page(dom_path, out, width, height, frames):
    with open(dom_path, encoding="utf-8", errors="replace") as f:
        dom = f.read()
    title = re.search(r"<title>(.*?)</title>", dom)
    if not title or title.group(1) != f"done {frames}":
        message = re.search(r'<div id="message"[^>]*>(.*?)</div>', dom, re.S)
        print(f"FAIL: the page's title is {title.group(1) if title else None!r}, not 'done {frames}'"
              + (f"; its message: {re.sub('<[^>]+>', ' ', message.group(1)).strip()}" if message else ""))
        return 1
    image = re.search(r'<img id="last-frame"[^>]*src="data:image/png;base64,([A-Za-z0-9+/=]+)"', dom)
    if not image:
        print("FAIL: no last frame in <img id=\"last-frame\">")
        return 1
    data = base64.b64decode(image.group(1))
    with open(out, "wb") as f:
        f.write(data)
    w, h, _ = decode_png(data)
    if (w, h) != (width, height):
        print(f"FAIL: the last frame is {w} x {h}, not {width} x {height}")
        return 1
    drawing = re.search(r'<body[^>]*data-drawing="([a-z]+)"', dom)
    print(drawing.group(1) if drawing else "unknown")
    return 0


# Pixels of one 16 x 16 block that may be beyond the levels.
BLOCK_LIMIT = 12


def compare(a, b, share, levels):
    wa, ha, pa = read_png(a)
    wb, hb, pb = read_png(b)
    if (wa, ha) != (wb, hb):
        print(f"FAIL: {a} is {wa} x {ha}, {b} {wb} x {hb}")
        return 1
    off_in_block = {}
    for k in range(0, len(pa), 3):
        if abs(pa[k] - pb[k]) > levels or abs(pa[k + 1] - pb[k + 1]) > levels or abs(pa[k + 2] - pb[k + 2]) > levels:
            x, y = k // 3 % wa, k // 3 // wa
            off_in_block[(x // 16, y // 16)] = off_in_block.get((x // 16, y // 16), 0) + 1
    got = 1 - sum(off_in_block.values()) / (wa * ha)
    (bx, by), worst = max(off_in_block.items(), key=lambda item: item[1], default=((0, 0), 0))
    print(f"{a}: {100 * got:.2f} % of the pixels within {levels} levels of {b}; "
          f"at most {worst} of a 16 x 16 block beyond them (at x {16 * bx}, y {16 * by} from the top)")
    return 0 if got >= share and worst <= BLOCK_LIMIT else 1


def uniform(a):
    _, _, p = read_png(a)
    colours = {p[k:k + 3] for k in range(0, len(p), 3)}
    print(f"{a}: {len(colours)} colour(s)")
    return 0 if len(colours) == 1 else 1


def main(argv):
    if len(argv) >= 2 and argv[1] == "page" and len(argv) == 7:
        return page(argv[2], argv[3], int(argv[4]), int(argv[5]), int(argv[6]))
    if len(argv) == 6 and argv[1] == "compare":
        return compare(argv[2], argv[3], float(argv[4]), int(argv[5]))
    if len(argv) == 3 and argv[1] == "uniform":
        return uniform(argv[2])
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
