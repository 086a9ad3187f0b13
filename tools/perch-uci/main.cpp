// perch-uci: the engine as a UCI program on standard input and output.

#include <iostream>
#include <string>

#include "UciSession.h"

int main() {
  std::ios::sync_with_stdio(false);
  UciSession session(std::cout);
  for (std::string line; std::getline(std::cin, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    try {
      if (!session.Handle(line)) break;
    } catch (const std::exception& e) {
      std::cout << "info string error: " << e.what() << std::endl;
    }
  }
  return 0;
}
