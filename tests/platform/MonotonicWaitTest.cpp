#include "platform/MonotonicWait.h"

#include <gtest/gtest.h>

using namespace perch;

using namespace std::chrono_literals;

namespace {

// A monotonic clock that moves only when a step of the wait runs.
struct TFakeClock {
  std::chrono::steady_clock::time_point now{};
  int steps = 0;
  std::function<void()> duringStep;

  perch::TWaitSteps Steps() {
    return {[this] { return now; },
            [this](std::chrono::milliseconds time) {
              ++steps;
              if (duringStep) duringStep();
              now += time;
            }};
  }
};

}  // namespace

TEST(MonotonicWait, LastsItsLengthInStepsOfATenthOfASecondUnlessQuitting) {
  struct Case {
    std::chrono::milliseconds length;
    int quitAtStep;  // 0: quitting before the wait starts, -1: never
    int steps;
  };
  // Messages are processed once before the first test of the end; quitting
  // ends the wait at its next test.
  for (const Case& c : {Case{20s, -1, 200}, Case{0s, -1, 1}, Case{10000s, 5, 5}, Case{10s, 0, 0}}) {
    std::atomic<bool> quitting{c.quitAtStep == 0};
    TFakeClock clock;
    clock.duringStep = [&] { quitting = quitting || clock.steps == c.quitAtStep; };
    perch::WaitFor(c.length, quitting, clock.Steps());
    EXPECT_EQ(clock.steps, c.steps) << c.length.count();
  }
}

TEST(MonotonicWait, ANestedWaitKeepsTheOuterDeadline) {
  std::atomic<bool> quitting{false};
  TFakeClock clock;
  int nestedEnd = 0;
  clock.duringStep = [&] {
    if (clock.steps == 2 && nestedEnd == 0) {
      perch::WaitFor(3s, quitting, clock.Steps());  // runs inside the outer wait
      nestedEnd = clock.steps;
    }
  };
  perch::WaitFor(1s, quitting, clock.Steps());
  // The nested wait takes 30 steps; the outer one has run out by then and
  // ends at its next test, without another step.
  EXPECT_EQ(nestedEnd, 32);
  EXPECT_EQ(clock.steps, 32);
}
