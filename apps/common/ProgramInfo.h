#pragma once
// --version and --help, answered by every program before it reads its other
// arguments, opens a display or touches any settings: they work in a
// terminal without a desktop and never wait for input.

#include <optional>

namespace perch {

// When the command line holds --version (prints "PROGRAM VERSION") or
// --help / -h (prints help), prints that on stdout and returns the exit
// status 0; otherwise returns nothing and the program goes on as usual with
// all its arguments. Whichever of the two comes first is answered.
std::optional<int> AnswerInformationOptions(int argc, const char* const* argv, const char* program,
                                            const char* help);

}  // namespace perch
