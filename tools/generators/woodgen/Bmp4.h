#pragma once
// A 16-colour (4 bits a pixel) Windows bitmap file.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace perch {

struct TRgb {
  std::uint8_t r, g, b;
};

struct TIndexedImage {
  int width = 0;
  int height = 0;
  std::array<TRgb, 16> palette{};
  std::vector<std::uint8_t> pixels;  // one palette index per pixel, rows top to bottom
};

// Returns false when the file cannot be written.
bool WriteBmp4(const std::string& path, const TIndexedImage& image);

}  // namespace perch
