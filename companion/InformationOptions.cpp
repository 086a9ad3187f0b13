#include "companion/InformationOptions.h"

#include "PerchRelease.h"

#include <cstdio>
#include <cstring>

namespace perch {

namespace {

constexpr const char* Help =
    "usage: perch [--version | --help]\n"
    "\n"
    "Starts the Perch companion: the bird comes onto the desktop, greets you and\n"
    "waits for requests of a controlling program (perch-tray, or perchctl on the\n"
    "command line). Only one companion runs per user; a second start ends at once.\n"
    "\n"
    "Settings: config.ini beside the program in a build tree, else\n"
    "$XDG_CONFIG_HOME/perch/config.ini (~/.config/perch/config.ini).\n"
    "See perch(6) and perchctl(1).\n";

}  // namespace

std::optional<int> AnswerInformationOptions(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("perch %s\n", PerchVersion);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(Help, stdout);
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace perch
