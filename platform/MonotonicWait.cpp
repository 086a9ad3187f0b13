#include "platform/MonotonicWait.h"

namespace perch {

void WaitFor(std::chrono::milliseconds length, const std::atomic<bool>& quitting, const TWaitSteps& steps) {
  const auto deadline = steps.now() + length;
  while (!quitting.load()) {
    steps.processMessagesFor(WaitStep);
    if (steps.now() >= deadline) break;
  }
}

}  // namespace perch
