#pragma once
// How long one move may take under a `go` command's clock.
//
// With `movetime T` the search stops after T less the move overhead (at
// least T/2). With a clock it takes a share of what is left plus most of the
// increment:
//   left   = time − overhead (not below 0)
//   target = left / moves + 3/4 × increment, moves = movestogo, else 30
//   hard   = min(3 × target, 3/4 × left); target is capped at hard
// The search spends its target, not more: no iteration starts that the last
// one's growth says cannot end by the target, and the one running then is
// stopped at the target, unless the best move has just changed: then it may
// go on to `hard`. With a movetime alone there is no target and the search
// stops at `hard`. Since hard never exceeds three quarters of what is left
// after the overhead, a quarter stays in reserve and the clock never runs
// out from this side.
//
// A movetime or clock of NoTimeLimitMs or more (some 31 years) sets no
// time at all: the search runs to its depth, or until stop. Increments are
// capped at the same figure, so that no sum here, nor the deadline counted
// from the start, can overflow.

#include <chrono>
#include <cstdint>
#include <optional>

#include "apps/perch-uci/GoCommand.h"

namespace perch {

// Times from here on mean "no limit".
inline constexpr std::int64_t NoTimeLimitMs = 1'000'000'000'000;

struct MoveTime {
  using ms = std::chrono::milliseconds;
  std::optional<ms> target;  // no new iteration after this
  std::optional<ms> hard;    // the search is stopped here
};

// The times of the side to move; nothing when the command sets no time.
MoveTime AllocateMoveTime(const GoCommand& go, bool whiteToMove, int moveOverheadMs);

// How long the next iteration will take, from the last two: the last one
// times its growth over the one before (between 2 and 8 times; 4 when the
// one before is unknown or too short to tell).
std::chrono::microseconds PredictNextIteration(std::chrono::microseconds last,
                                               std::optional<std::chrono::microseconds> before);

// When a running iteration is stopped, counted like the times themselves:
// at the target, or at the hard limit while the best move has just changed;
// nothing for no limit.
std::optional<MoveTime::ms> StopTime(const MoveTime& time, bool bestMoveChanged);

}  // namespace perch
