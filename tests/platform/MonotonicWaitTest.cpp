#include "MonotonicWait.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

namespace {

// A monotonic clock that moves only when a step of the wait runs.
struct TFakeClock {
  std::chrono::steady_clock::time_point now{};
  int steps = 0;
  std::function<void()> duringStep;

  perch::TWaitSteps Steps() {
    perch::TWaitSteps steps;
    steps.now = [this] { return now; };
    steps.processMessagesFor = [this](std::chrono::milliseconds time) {
      ++this->steps;
      if (duringStep) duringStep();
      now += time;
    };
    return steps;
  }
};

}  // namespace

TEST(MonotonicWait, LastsItsLengthInStepsOfATenthOfASecond) {
  std::atomic<bool> quitting{false};
  TFakeClock clock;
  perch::WaitFor(20s, quitting, clock.Steps());
  EXPECT_EQ(clock.steps, 200);

  TFakeClock zero;
  perch::WaitFor(0s, quitting, zero.Steps());
  EXPECT_EQ(zero.steps, 1) << "messages are processed once before the first test";
}

TEST(MonotonicWait, QuittingEndsItAtTheNextTest) {
  std::atomic<bool> quitting{false};
  TFakeClock clock;
  clock.duringStep = [&] {
    if (clock.steps == 5) quitting = true;
  };
  perch::WaitFor(10000s, quitting, clock.Steps());
  EXPECT_EQ(clock.steps, 5);

  TFakeClock idle;
  perch::WaitFor(10s, quitting, idle.Steps());
  EXPECT_EQ(idle.steps, 0) << "no wait runs once quitting";
}

TEST(MonotonicWait, ANestedWaitKeepsTheOuterDeadline) {
  std::atomic<bool> quitting{false};
  TFakeClock clock;
  bool nested = false;
  std::vector<int> ends;
  clock.duringStep = [&] {
    if (clock.steps == 2 && !nested) {
      nested = true;
      perch::WaitFor(3s, quitting, clock.Steps());  // runs inside the outer wait
      ends.push_back(clock.steps);
    }
  };
  perch::WaitFor(1s, quitting, clock.Steps());
  ends.push_back(clock.steps);
  // The nested wait takes 30 steps; the outer one has run out by then and
  // ends at its next test, without another step.
  ASSERT_EQ(ends.size(), 2u);
  EXPECT_EQ(ends[0], 32);
  EXPECT_EQ(ends[1], 32);
}
