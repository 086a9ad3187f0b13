#pragma once
// The only options perch answers: --version and --help. They are answered
// before Qt starts, so they need no display and touch no settings.

#include <optional>

namespace perch {

// The exit status when the command line asked for the version or the help
// (printed on stdout), else nothing: the companion then starts as usual and
// its other arguments are left alone.
std::optional<int> AnswerInformationOptions(int argc, char** argv);

}  // namespace perch
