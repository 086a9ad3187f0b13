#pragma once
// The sub-commands of perchctl. Each returns the process's exit status.

#include <string>
#include <vector>

namespace perch {

using TArguments = std::vector<std::string>;

// random, eat, ..., language M, size S, volume N, request N
int RunRequest(const std::string& name, const TArguments& args);
int RunSay(const TArguments& args);
int RunListen(const TArguments& args);

// The request code a command name stands for, or -1.
long long RequestCodeOf(const std::string& name);

// The request code of a language mode (written, english, chinese), or 0.
unsigned long long LanguageModeCode(const std::string& mode);

// The request code of a size (small, normal, large), or 0.
unsigned long long SizeCode(const std::string& size);

bool WantsHelp(const TArguments& args);

}  // namespace perch
