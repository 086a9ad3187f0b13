// Prints the game options a settings file holds, as a later run of the
// program reads them: "depth=4 playAsBlack=1 ...".
//   game_options_reader FILE

#include "companion/GameMenus.h"
#include "companion/SettingsFile.h"

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const perch::TGameOptions o = perch::ReadGameOptions(perch::TSettingsFile(QString::fromLocal8Bit(argv[1])));
  std::printf(
      "depth=%d playAsBlack=%d flipBoard=%d coordinates=%d showLastMove=%d slideMoves=%d varyMoves=%d "
      "clickMoves=%d\n",
      o.depth, o.playAsBlack, o.flipBoard, o.coordinates, o.showLastMove, o.slideMoves, o.varyMoves,
      o.clickMoves);
  return 0;
}
