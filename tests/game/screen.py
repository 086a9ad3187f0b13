#!/usr/bin/env python3
"""Reads what the companion shows on a screenshot (a PNG taken with
`import -window root`), converted through ImageMagick to a plain pixel map.

  screen.py board SHOT X Y        the 8 x 8 squares of a board whose top-left
                                  square starts at (X, Y): one line per rank
                                  from the top, "P" for a piece (light or dark
                                  by its fill: "w"/"b"), "." for bare wood
  screen.py wood SHOT X Y         "dark"/"light"/"no" for the 40-pixel square
                                  at (X, Y): wood grain of that shade or not
  screen.py region SHOT X Y W H   of a region: the mean colour, the share of
                                  pixels that are not black ("lit") and that
                                  are the bird's blue, and the darkest grey
"""
import subprocess
import sys

SQUARE = 40


def load(path):
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                          capture_output=True).stdout
    # P6 header: magic, width, height, maxval, each separated by whitespace.
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos + 1:]


class Shot:
    def __init__(self, path):
        self.width, self.height, self.pixels = load(path)

    def rgb(self, x, y):
        if not (0 <= x < self.width and 0 <= y < self.height):
            return (0, 0, 0)
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def region(self, x, y, w, h):
        return [self.rgb(x + dx, y + dy) for dy in range(h) for dx in range(w)]


def is_wood(p):
    r, g, b = p
    return r > g > b and r - b > 40  # warm brown, never grey, blue or white


def square_kind(shot, x, y):
    # The middle of the square, where a piece's body lies.
    inner = shot.region(x + 10, y + 8, SQUARE - 20, SQUARE - 14)
    not_wood = [p for p in inner if not is_wood(p)]
    if len(not_wood) < len(inner) * 0.12:
        return "."
    mean = sum(sum(p) / 3 for p in not_wood) / len(not_wood)
    return "w" if mean > 128 else "b"


def wood_shade(shot, x, y):
    pixels = shot.region(x + 2, y + 2, SQUARE - 4, SQUARE - 4)
    wood = [p for p in pixels if is_wood(p)]
    if len(wood) < len(pixels) * 0.5:
        return "no"
    lum = sorted(sum(p) / 3 for p in wood)
    spread = lum[len(lum) * 9 // 10] - lum[len(lum) // 10]
    if spread < 6:
        return "no"  # a flat colour is no grain
    return "dark" if lum[len(lum) // 2] < 120 else "light"


def main(argv):
    command, path, *numbers = argv[1:]
    shot = Shot(path)
    args = [int(n) for n in numbers]
    if command == "board":
        x0, y0 = args
        for row in range(8):
            print("".join(square_kind(shot, x0 + col * SQUARE, y0 + row * SQUARE) for col in range(8)))
    elif command == "wood":
        print(wood_shade(shot, *args))
    elif command == "region":
        pixels = shot.region(*args)
        mean = [sum(p[i] for p in pixels) // len(pixels) for i in range(3)]
        lit = sum(1 for p in pixels if max(p) > 16) / len(pixels)
        blue = sum(1 for p in pixels if p[2] > p[0] + 60) / len(pixels)
        darkest = min(sum(p) // 3 for p in pixels)
        print(f"mean {mean[0]} {mean[1]} {mean[2]} lit {lit:.2f} blue {blue:.2f} darkest {darkest}")
    else:
        sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    main(sys.argv)
