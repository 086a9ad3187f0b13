// perch-woodgen FOLDER: writes Image1.bmp (dark wood, the dark squares) and
// Image2.bmp (light wood, the light squares), 160 x 160, 16 colours.

#include "tools/generators/woodgen/WoodTexture.h"

#include <cstdio>
#include <string>

using namespace perch;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: perch-woodgen FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  const TWoodStyle dark{{46, 22, 10}, {148, 88, 44}, 12.0, 0.55, 9.0, 1907};
  const TWoodStyle light{{170, 118, 66}, {246, 214, 160}, 14.0, 0.45, 11.0, 2311};
  bool ok = WriteBmp4(folder + "/Image1.bmp", MakeWood(160, 160, dark));
  ok = WriteBmp4(folder + "/Image2.bmp", MakeWood(160, 160, light)) && ok;
  if (!ok) {
    std::fprintf(stderr, "perch-woodgen: cannot write into %s\n", folder.c_str());
    return 1;
  }
  return 0;
}
