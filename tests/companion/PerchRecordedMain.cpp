// The companion program with the recording stand-in in place of the
// character service, for the end-to-end checks of what it asks of the bird.

#include "companion/CompanionMain.h"
#include "tests/companion/RecordingAgent.h"

int main(int argc, char** argv) {
  return perch::RunCompanion(argc, argv, [] { return std::make_unique<perch::TRecordingAgent>(); });
}
