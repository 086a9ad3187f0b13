// The share of the clock one move may use.

#include "apps/perch-uci/TimeManagement.h"

#include <algorithm>

namespace perch {

namespace {

constexpr int AssumedMovesToGo = 30;
// Iterations shorter than this are timed too coarsely to show their growth.
constexpr std::chrono::microseconds ShortestTimedIteration{200};
constexpr std::int64_t UnknownGrowth = 4, MinGrowth = 2, MaxGrowth = 8;

}  // namespace

MoveTime AllocateMoveTime(const GoCommand& go, bool whiteToMove, int moveOverheadMs) {
  using ms = MoveTime::ms;
  MoveTime result;
  const std::int64_t overhead = std::max(moveOverheadMs, 0);
  if (go.movetime && *go.movetime < NoTimeLimitMs) {
    const std::int64_t t = *go.movetime;
    result.hard = ms(std::max(t - overhead, t / 2));
  }
  const auto& time = whiteToMove ? go.wtime : go.btime;
  if (time && *time < NoTimeLimitMs) {
    const std::int64_t increment = std::min((whiteToMove ? go.winc : go.binc).value_or(0), NoTimeLimitMs);
    const int moves = std::max(go.movestogo.value_or(AssumedMovesToGo), 1);
    const std::int64_t left = std::max<std::int64_t>(*time - overhead, 0);
    const std::int64_t hard = std::min(3 * (left / moves + increment * 3 / 4), left * 3 / 4);
    const std::int64_t target = std::min(left / moves + increment * 3 / 4, hard);
    // Both a movetime and a clock: the tighter one holds.
    result.hard = result.hard ? std::min(*result.hard, ms(hard)) : ms(hard);
    result.target = ms(target);
  }
  return result;
}

std::chrono::microseconds PredictNextIteration(std::chrono::microseconds last,
                                               std::optional<std::chrono::microseconds> before) {
  if (!before || *before < ShortestTimedIteration) return last * UnknownGrowth;
  const std::int64_t growth = std::clamp<std::int64_t>(last / *before, MinGrowth, MaxGrowth);
  return last * growth;
}

std::optional<MoveTime::ms> StopTime(const MoveTime& time, bool bestMoveChanged) {
  if (!time.target || (bestMoveChanged && time.hard)) return time.hard;
  return time.hard ? std::min(*time.target, *time.hard) : *time.target;
}

}  // namespace perch
