#pragma once
// The companion program: one instance per user, a form that answers the
// controlling program, and the bird on the desktop. The program perch runs
// it with the character service; the tests run it with a recording one.

#include "agent/AgentControl.h"

#include <functional>
#include <memory>

namespace perch {

// Answers --help and --version, finds a display, and runs the companion
// until it is asked to quit; returns the program's exit status. makeAgent
// is called once the application exists.
int RunCompanion(int argc, char** argv, const std::function<std::unique_ptr<TAgent>()>& makeAgent);

}  // namespace perch
