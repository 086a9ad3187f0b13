#pragma once
// How long one move may take under a `go` command's clock.
//
// With `movetime T` the search stops after T less the move overhead (at
// least T/2). With a clock it takes a share of what is left plus most of the
// increment:
//   left   = time − overhead (not below 0)
//   target = left / moves + 3/4 × increment, moves = movestogo, else 30
//   hard   = min(3 × target, 3/4 × left); target is capped at hard
// No iteration starts after `target`; a running one is stopped at `hard`.
// Since hard never exceeds three quarters of what is left after the
// overhead, the clock never runs out from this side.
//
// A movetime or clock of NoTimeLimitMs or more (some 31 years) sets no
// time at all: the search runs to its depth, or until stop. Increments are
// capped at the same figure, so that no sum here, nor the deadline counted
// from the start, can overflow.

#include <chrono>
#include <cstdint>
#include <optional>

#include "tools/perch-uci/GoCommand.h"

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

}  // namespace perch
