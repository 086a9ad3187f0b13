#pragma once
// The sub-commands of perchctl. Each returns the process's exit status.

#include <string>
#include <vector>

namespace perch {

using TArguments = std::vector<std::string>;

int RunRequest(const std::string& name, const TArguments& args);  // random, eat, ..., language M, request N
int RunSay(const TArguments& args);
int RunListen(const TArguments& args);

// The request code a command name stands for, or -1.
long long RequestCodeOf(const std::string& name);

// The request code of a language mode (written, english, chinese), or 0.
unsigned long long LanguageModeCode(const std::string& mode);

bool WantsHelp(const TArguments& args);

}  // namespace perch
