#pragma once
// The priority of the engine thread while it searches.

#include <cstdint>

#include "chess/engine/SearchPriority.h"

namespace perch {

enum class TThreadPriority : std::uint8_t {
  tpIdle,
  tpLowest,
  tpLower,
  tpNormal,
  tpHigher,
  tpHighest,
  tpTimeCritical,
};

// The engine's own name for each level (SearchPriority.h says what each
// means on Linux).
constexpr TSearchPriority SearchPriorityOf(TThreadPriority p) {
  return static_cast<TSearchPriority>(static_cast<int>(p));
}

}  // namespace perch
