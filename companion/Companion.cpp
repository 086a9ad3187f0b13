#include "companion/Companion.h"

#include "platform/LinkWindow.h"
#include "platform/PlatformError.h"
#include "platform/qt/MessagePump.h"

#include <cstdio>

namespace perch {

std::atomic<bool> Quitting{false};
TActor* Actor = nullptr;

perch::TWaitSteps& CompanionWaitSteps() {
  static perch::TWaitSteps steps{.now = [] { return std::chrono::steady_clock::now(); },
                                 .processMessagesFor = perch::ProcessMessagesFor};
  return steps;
}

void WaitSeconds(int n) { perch::WaitFor(std::chrono::seconds(n), Quitting, CompanionWaitSteps()); }

void NotifyController(std::uint64_t code) {
  try {
    perch::PostMessageTo(perch::ControllerClass, perch::WM_COMPANION, code, 0);
  } catch (const perch::TPlatformError& error) {
    // Without a safe endpoint folder there is no controller to tell.
    std::fprintf(stderr, "perch: notice %llu not posted: %s\n", static_cast<unsigned long long>(code),
                 error.what());
  }
}

int HalfRoundedToEven(int length) {
  const int half = length / 2;
  if (length % 2 == 0) return half;
  // length / 2 truncates toward zero; of the two neighbours pick the even one.
  const int other = length > 0 ? half + 1 : half - 1;
  return half % 2 == 0 ? half : other;
}

}  // namespace perch
