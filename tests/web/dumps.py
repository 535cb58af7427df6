#!/usr/bin/env python3
"""Compares the camera and the fish of two world dumps (docs/world-dump.md).

Usage: dumps.py A B [TOLERANCE]   (default 1e-4)
Prints the largest difference of any camera or fish value and exits 1 when it
exceeds TOLERANCE or a whole-number field (a fish's turn state) differs.
"""
import math
import struct
import sys


def sections(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"TVWD" or struct.unpack_from("<I", data, 4)[0] != 1:
        sys.exit(f"{path}: not a world dump")
    found, at = {}, 8
    while at + 8 <= len(data):
        tag, length = data[at:at + 4].decode("ascii"), struct.unpack_from("<I", data, at + 4)[0]
        found[tag] = data[at + 8:at + 8 + length]
        at += 8 + length
    if at != len(data):
        sys.exit(f"{path}: the last section runs past the end")
    return found


def fish(payload):
    count = struct.unpack_from("<i", payload, 0)[0]
    table = []
    for k in range(count):
        record = struct.unpack_from("<7fB4i", payload, 4 + 45 * k)
        table.append((record[:7], record[7:]))
    return table


def main(argv):
    if len(argv) not in (3, 4):
        sys.exit(__doc__)
    tolerance = float(argv[3]) if len(argv) == 4 else 1e-4
    a, b = sections(argv[1]), sections(argv[2])
    worst, where, failures = 0.0, "", []
    camera_a, camera_b = struct.unpack("<6f", a["CAMR"]), struct.unpack("<6f", b["CAMR"])
    for name, x, y in zip(("x", "y", "z", "pitch", "yaw", "speed"), camera_a, camera_b):
        if not abs(x - y) <= worst:
            worst, where = abs(x - y), f"camera {name}: {x!r} against {y!r}"
    fish_a, fish_b = fish(a["FISH"]), fish(b["FISH"])
    if len(fish_a) != len(fish_b):
        failures.append(f"{len(fish_a)} fish against {len(fish_b)}")
    for k, ((floats_a, whole_a), (floats_b, whole_b)) in enumerate(zip(fish_a, fish_b)):
        for name, x, y in zip(("x", "y", "z", "pitch", "yaw", "speed", "tail"), floats_a, floats_b):
            if not abs(x - y) <= worst:  # a NaN lands here too
                worst, where = abs(x - y), f"fish {k} {name}: {x!r} against {y!r}"
        if whole_a != whole_b:
            failures.append(f"fish {k} turns: {whole_a} against {whole_b}")
    print(f"largest difference of the camera and the fish: {worst:g}" + (f" ({where})" if where else ""))
    if math.isnan(worst) or worst > tolerance:
        failures.append(f"more than {tolerance:g} apart")
    for line in failures[:10]:
        print("FAIL:", line)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
