#include "apps/common/ProgramInfo.h"

#include "PerchRelease.h"

#include <cstdio>
#include <cstring>

namespace perch {

std::optional<int> AnswerInformationOptions(int argc, const char* const* argv, const char* program,
                                            const char* help) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s %s\n", program, PerchVersion);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(help, stdout);
      return 0;
    }
  }
  return std::nullopt;
}

}  // namespace perch
