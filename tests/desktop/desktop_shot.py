#!/usr/bin/env python3
"""Reads a screenshot (a PNG of `import -window root`) for the desktop tests.

  desktop_shot.py ring SHOT X Y W H COLOUR   the pixels of a 12-pixel ring
        round the rectangle and of its 10 x 10 corners that differ from
        COLOUR (rrggbb) by more than a rounding step: a shadow or a box
        drawn round a window shows there. Prints the count and exits 1
        when there are any.
  desktop_shot.py at SHOT X Y                 the colour at a pixel, rrggbb
"""
import re
import subprocess
import sys


def load(path):
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", data)
    return int(header[1]), int(header[2]), data[header.end():]


def main():
    width, height, pixels = load(sys.argv[2])

    def rgb(x, y):
        i = (y * width + x) * 3
        return tuple(pixels[i:i + 3])

    if sys.argv[1] == "at":
        print("%02x%02x%02x" % rgb(int(sys.argv[3]), int(sys.argv[4])))
        return 0
    x, y, w, h = map(int, sys.argv[3:7])
    want = tuple(int(sys.argv[7][i:i + 2], 16) for i in (0, 2, 4))
    points = set()
    for py in range(y - 12, y + h + 12):
        for px in range(x - 12, x + w + 12):
            inside = x <= px < x + w and y <= py < y + h
            corner = inside and (px < x + 10 or px >= x + w - 10) and (py < y + 10 or py >= y + h - 10)
            if (not inside or corner) and 0 <= px < width and 0 <= py < height:
                points.add((px, py))
    off = [p for p in points if max(abs(a - b) for a, b in zip(rgb(*p), want)) > 3]
    print(len(off))
    return 1 if off else 0


sys.exit(main())
