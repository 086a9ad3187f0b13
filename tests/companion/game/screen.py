#!/usr/bin/env python3
"""Reads what the companion shows on a screenshot (a PNG taken with
`import -window root`), converted through ImageMagick to a plain pixel map.

  screen.py board SHOT X Y        the 8 x 8 squares of a board whose top-left
                                  square starts at (X, Y): one line per rank
                                  from the top, "w" or "b" for a light or dark
                                  piece (by its fill), "." for bare wood
  screen.py wood SHOT X Y         "dark"/"light"/"no" for the 40-pixel square
                                  at (X, Y): wood grain of that shade or not
  screen.py region SHOT X Y W H   of a region: the share of pixels that are
                                  not black ("lit") and that are the bird's
                                  blue, and the darkest grey
"""
import re
import subprocess
import sys

SQUARE = 40


class Shot:
    def __init__(self, path):
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", data)
        self.width, self.height = int(header[1]), int(header[2])
        self.pixels = data[header.end():]

    def region(self, x, y, w, h):
        def rgb(x, y):
            i = (y * self.width + x) * 3
            return tuple(self.pixels[i:i + 3]) if 0 <= x < self.width and 0 <= y < self.height else (0, 0, 0)
        return [rgb(x + dx, y + dy) for dy in range(h) for dx in range(w)]


def is_wood(p):
    r, g, b = p
    return r > g > b and r - b > 40  # warm brown, never grey, blue or white


def square_kind(shot, x, y):
    # The middle of the square, where a piece's body lies.
    inner = shot.region(x + 10, y + 8, SQUARE - 20, SQUARE - 14)
    not_wood = [p for p in inner if not is_wood(p)]
    if len(not_wood) < len(inner) * 0.12:
        return "."
    return "w" if sum(sum(p) / 3 for p in not_wood) / len(not_wood) > 128 else "b"


def wood_shade(shot, x, y):
    pixels = shot.region(x + 2, y + 2, SQUARE - 4, SQUARE - 4)
    lum = sorted(sum(p) / 3 for p in pixels if is_wood(p))
    if len(lum) < len(pixels) * 0.5 or lum[len(lum) * 9 // 10] - lum[len(lum) // 10] < 6:
        return "no"  # not wood, or a flat colour that is no grain
    return "dark" if lum[len(lum) // 2] < 120 else "light"


def main(command, path, *numbers):
    shot, args = Shot(path), [int(n) for n in numbers]
    if command == "board":
        for row in range(8):
            print("".join(square_kind(shot, args[0] + col * SQUARE, args[1] + row * SQUARE) for col in range(8)))
    elif command == "wood":
        print(wood_shade(shot, *args))
    elif command == "region":
        pixels = shot.region(*args)
        lit = sum(1 for p in pixels if max(p) > 16) / len(pixels)
        blue = sum(1 for p in pixels if p[2] > p[0] + 60) / len(pixels)
        print(f"lit {lit:.2f} blue {blue:.2f} darkest {min(sum(p) // 3 for p in pixels)}")
    else:
        sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    main(*sys.argv[1:])
