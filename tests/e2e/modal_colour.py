#!/usr/bin/env python3
# modal_colour.py FILE.ppm X Y W H: the most common colour of a rectangle
# (top-left origin) of a binary PPM picture, as "R G B COUNT".
import sys, collections
def read_ppm(path):
    data = open(path, 'rb').read()
    parts = []; i = 0
    while len(parts) < 4:
        while data[i:i+1].isspace(): i += 1
        if data[i:i+1] == b'#':
            while data[i:i+1] != b'\n': i += 1
            continue
        j = i
        while not data[j:j+1].isspace(): j += 1
        parts.append(data[i:j]); i = j
    i += 1
    return int(parts[1]), int(parts[2]), data[i:]
w, h, px = read_ppm(sys.argv[1])
x0, y0, rw, rh = map(int, sys.argv[2:6])
c = collections.Counter()
for y in range(y0, y0 + rh):
    row = (y * w + x0) * 3
    for x in range(rw):
        p = row + 3 * x
        c[px[p:p+3]] += 1
(col, n), = c.most_common(1)
print(col[0], col[1], col[2], n)
