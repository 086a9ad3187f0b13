#include "tools/generators/woodgen/Bmp4.h"

#include <fstream>

namespace perch {

namespace {

void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

bool WriteBmp4(const std::string& path, const TIndexedImage& image) {
  const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(image.width) * 4 + 31) / 32) * 4;
  const std::uint32_t pixelOffset = 14 + 40 + 16 * 4;
  const std::uint32_t fileSize = pixelOffset + rowBytes * static_cast<std::uint32_t>(image.height);

  std::vector<std::uint8_t> out;
  out.reserve(fileSize);
  out.push_back('B');
  out.push_back('M');
  Put(out, fileSize, 4);
  Put(out, 0, 4);
  Put(out, pixelOffset, 4);
  Put(out, 40, 4);  // BITMAPINFOHEADER
  Put(out, static_cast<std::uint32_t>(image.width), 4);
  Put(out, static_cast<std::uint32_t>(image.height), 4);  // positive: rows bottom up
  Put(out, 1, 2);
  Put(out, 4, 2);
  Put(out, 0, 4);  // no compression
  Put(out, rowBytes * static_cast<std::uint32_t>(image.height), 4);
  Put(out, 2835, 4);  // 72 dpi
  Put(out, 2835, 4);
  Put(out, 16, 4);
  Put(out, 16, 4);
  for (const TRgb& c : image.palette) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(rowBytes, 0);
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t index = image.pixels[y * image.width + x] & 0x0F;
      row[static_cast<std::size_t>(x / 2)] |= (x % 2 == 0) ? static_cast<std::uint8_t>(index << 4) : index;
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

}  // namespace perch
