#include "tools/generators/woodgen/WoodTexture.h"

#include <algorithm>
#include <cmath>

namespace perch {

namespace {

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                    seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

// Lattice values repeat every `period` cells in each direction, so that
// noise sampled over one tile joins up with the next copy of the tile: the
// board lays the tiles side by side and a seam would cut through squares.
double Lattice(std::int32_t x, std::int32_t y, std::uint32_t seed, std::int32_t periodX,
               std::int32_t periodY) {
  x = ((x % periodX) + periodX) % periodX;
  y = ((y % periodY) + periodY) % periodY;
  return (Hash(x, y, seed) & 0xFFFF) / 65535.0;
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise in [0, 1], periodic over periodX x periodY lattice cells.
double Noise(double x, double y, std::uint32_t seed, std::int32_t periodX, std::int32_t periodY) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
  const double tx = Smooth(x - fx), ty = Smooth(y - fy);
  const double a = Lattice(ix, iy, seed, periodX, periodY);
  const double b = Lattice(ix + 1, iy, seed, periodX, periodY);
  const double c = Lattice(ix, iy + 1, seed, periodX, periodY);
  const double d = Lattice(ix + 1, iy + 1, seed, periodX, periodY);
  return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

// Fractal noise in about [-0.5, 0.5] over a tile of `cellsX` x `cellsY`
// lattice cells at the coarsest octave, (u, v) in [0, 1) across the tile.
// Each octave doubles the cells, so every octave still repeats with the tile.
double Fractal(double u, double v, std::uint32_t seed, int octaves, std::int32_t cellsX,
               std::int32_t cellsY) {
  double sum = 0, amplitude = 0.5, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude *
           (Noise(u * cellsX, v * cellsY, seed + static_cast<std::uint32_t>(i) * 101u, cellsX, cellsY) - 0.5);
    total += amplitude;
    cellsX *= 2;
    cellsY *= 2;
    amplitude *= 0.5;
  }
  return sum / total;
}

constexpr double Pi = 3.14159265358979323846;

double SmoothStep(double edge0, double edge1, double x) {
  return Smooth(std::clamp((x - edge0) / (edge1 - edge0), 0.0, 1.0));
}

constexpr int Bayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

TRgb Mix(TRgb a, TRgb b, double t) {
  auto channel = [t](std::uint8_t from, std::uint8_t to) {
    return static_cast<std::uint8_t>(std::lround(from + (to - from) * t));
  };
  return {channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

}  // namespace

TIndexedImage MakeWood(int width, int height, const TWoodStyle& style) {
  TIndexedImage image;
  image.width = width;
  image.height = height;
  for (int i = 0; i < 16; ++i) {
    // A slight curve keeps more of the palette in the mid tones.
    image.palette[static_cast<std::size_t>(i)] = Mix(style.darkest, style.lightest, std::pow(i / 15.0, 0.85));
  }
  image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

  const std::uint32_t seed = style.seed;
  // A whole number of rings per tile keeps the rings continuous across the
  // tile's top and bottom edges.
  const double rings = std::max(1.0, std::round(height / style.ringSpacing));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double u = static_cast<double>(x) / width, v = static_cast<double>(y) / height;
      // Rings run along x; they wander slowly and bunch up here and there.
      const double wander = style.waviness * height / 160.0 * Fractal(u, v, seed, 4, 2, 4) +
                            0.35 * style.waviness * std::sin(2 * Pi * (u + v));
      const double ringPosition = (v + wander / height) * rings + 0.6 * Fractal(u, v, seed + 7, 2, 1, 5) +
                                  1.4 * Fractal(u, v, seed + 13, 2, 1, 3);
      const double ring = ringPosition - std::floor(ringPosition);
      // Early wood is light; the late wood band darkens and ends sharply.
      const double lateWood = SmoothStep(0.55, 0.92, ring) * (1 - SmoothStep(0.96, 1.0, ring));
      // Fibres: noise stretched along the grain.
      const double fibres = Fractal(u, v, seed + 31, 3, 9, 128);
      const double pores = Noise(u * 64, v * 208, seed + 53, 64, 208) - 0.5;
      const double tint = Fractal(u, v, seed + 77, 3, 2, 2);

      double tone = 0.78 - style.ringContrast * lateWood + 0.22 * fibres + 0.07 * pores + 0.25 * tint;
      tone = std::clamp(tone, 0.0, 1.0);
      const double dither = (Bayer4[y % 4][x % 4] + 0.5) / 16.0 - 0.5;
      const int index = std::clamp(static_cast<int>(std::floor(tone * 15 + 0.5 + dither * 0.9)), 0, 15);
      image.pixels[y * width + x] = static_cast<std::uint8_t>(index);
    }
  }
  return image;
}

}  // namespace perch
