#pragma once
// Procedural wood: growth rings seen along a plank, wavy and a little
// irregular, with fine fibres along the grain, quantised to 16 colours with
// ordered dithering.

#include "tools/generators/woodgen/Bmp4.h"

#include <cstdint>

namespace perch {

struct TWoodStyle {
  TRgb darkest;
  TRgb lightest;
  double ringSpacing;   // pixels between growth rings
  double ringContrast;  // how much darker the late wood of a ring is
  double waviness;      // pixels the rings wander
  std::uint32_t seed;
};

TIndexedImage MakeWood(int width, int height, const TWoodStyle& style);

}  // namespace perch
