#include "WoodTexture.h"

#include <algorithm>
#include <cmath>

namespace {

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                    seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

double Lattice(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  return (Hash(x, y, seed) & 0xFFFF) / 65535.0;
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise in [0, 1].
double Noise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
  const double tx = Smooth(x - fx), ty = Smooth(y - fy);
  const double a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
  const double c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
}

// Fractal noise in about [-0.5, 0.5].
double Fractal(double x, double y, std::uint32_t seed, int octaves) {
  double sum = 0, amplitude = 0.5, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * (Noise(x, y, seed + static_cast<std::uint32_t>(i) * 101u) - 0.5);
    total += amplitude;
    x *= 2.03;
    y *= 2.03;
    amplitude *= 0.5;
  }
  return sum / total;
}

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
    image.palette[static_cast<std::size_t>(i)] =
        Mix(style.darkest, style.lightest, std::pow(i / 15.0, 0.85));
  }
  image.pixels.resize(static_cast<std::size_t>(width * height));

  const std::uint32_t seed = style.seed;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Rings run along x; they wander slowly and bunch up here and there.
      const double wander = style.waviness * Fractal(x / 70.0, y / 45.0, seed, 4) +
                            0.35 * style.waviness * std::sin(x / 37.0 + y / 90.0);
      const double ringPosition = (y + wander) / style.ringSpacing +
                                  0.6 * Fractal(x / 120.0, y / 30.0, seed + 7, 2) +
                                  1.4 * Fractal(x / 260.0, y / 60.0, seed + 13, 2);
      const double ring = ringPosition - std::floor(ringPosition);
      // Early wood is light; the late wood band darkens and ends sharply.
      const double lateWood = SmoothStep(0.55, 0.92, ring) * (1 - SmoothStep(0.96, 1.0, ring));
      // Fibres: noise stretched along the grain.
      const double fibres = Fractal(x / 18.0, y * 0.8, seed + 31, 3);
      const double pores = Noise(x / 2.5, y * 1.3, seed + 53) - 0.5;
      const double tint = Fractal(x / 90.0, y / 70.0, seed + 77, 3);

      double tone = 0.78 - style.ringContrast * lateWood + 0.22 * fibres + 0.07 * pores + 0.25 * tint;
      tone = std::clamp(tone, 0.0, 1.0);
      const double dither = (Bayer4[y % 4][x % 4] + 0.5) / 16.0 - 0.5;
      const int index = std::clamp(static_cast<int>(std::floor(tone * 15 + 0.5 + dither * 0.9)), 0, 15);
      image.pixels[static_cast<std::size_t>(y * width + x)] = static_cast<std::uint8_t>(index);
    }
  }
  return image;
}
