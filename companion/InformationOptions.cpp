#include "companion/InformationOptions.h"

#include "apps/common/ProgramInfo.h"

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
  return AnswerInformationOptions(argc, argv, "perch", Help);
}

}  // namespace perch
