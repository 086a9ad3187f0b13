// The companion program perch, with Perch's character service.

#include "agent/ServiceAgent.h"
#include "companion/CompanionMain.h"

int main(int argc, char** argv) {
  return perch::RunCompanion(argc, argv, [] { return std::make_unique<perch::TServiceAgent>(); });
}
