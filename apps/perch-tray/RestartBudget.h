#pragma once
// How often a companion that keeps dying is started again: at most a number
// of restarts within a sliding window of time, then no more.

#include <chrono>
#include <deque>

namespace perch {

class TRestartBudget {
 public:
  using TTime = std::chrono::steady_clock::time_point;

  explicit TRestartBudget(int maxRestarts = 3, std::chrono::seconds window = std::chrono::seconds{60})
      : maxRestarts_(maxRestarts), window_(window) {}

  // True, and counted, when a restart at `now` stays within the budget.
  bool TryRestart(TTime now);

 private:
  int maxRestarts_;
  std::chrono::seconds window_;
  std::deque<TTime> restarts_;
};

}  // namespace perch
