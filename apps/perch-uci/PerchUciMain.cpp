// perch-uci: the engine as a UCI program on standard input and output.
// This thread reads the commands; a search runs on a thread of its own.

#include <iostream>
#include <string>

#include "apps/common/ProgramInfo.h"
#include "apps/perch-uci/UciSession.h"

using namespace perch;

namespace {

constexpr const char* Help =
    "usage: perch-uci [--version | --help]\n"
    "\n"
    "Perch's chess engine as a UCI program: started without arguments, it reads\n"
    "UCI commands (uci, isready, position, go, stop, quit, ...) on standard\n"
    "input and answers on standard output, for a chess program such as a GUI,\n"
    "a match runner or a script. See perch-uci(6).\n";

}  // namespace

int main(int argc, char** argv) {
  if (const auto status = AnswerInformationOptions(argc, argv, "perch-uci", Help)) return *status;
  std::ios::sync_with_stdio(false);
  // Reading must not flush the output behind the search thread's back:
  // every answer is flushed, under the output's lock, as it is written.
  std::cin.tie(nullptr);
  UciSession session(std::cout);
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    try {
      if (!session.Handle(line)) return 0;
    } catch (const std::exception& e) {
      session.Error(e.what());
    }
  }
  session.EndOfInput();
  return 0;
}
