#pragma once
// The companion's timed wait: it keeps processing messages while a routine
// holds itself, and ends on the monotonic clock, so a change of the date,
// time or daylight-saving time neither stretches nor cuts it short.

#include <atomic>
#include <chrono>
#include <functional>

namespace perch {

inline constexpr std::chrono::milliseconds WaitStep{100};

struct TWaitSteps {
  // The monotonic clock; tests pass a clock of their own.
  std::function<std::chrono::steady_clock::time_point()> now = [] {
    return std::chrono::steady_clock::now();
  };
  // Processes messages as they arrive for about the given time.
  std::function<void(std::chrono::milliseconds)> processMessagesFor;
};

// Processes messages in steps of 100 ms and tests its end after each step:
// it lasts at least `length`, unless `quitting` becomes true, which ends it
// at its next test.
void WaitFor(std::chrono::milliseconds length, const std::atomic<bool>& quitting, const TWaitSteps& steps);

}  // namespace perch
