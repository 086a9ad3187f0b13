#pragma once
// The limits of a `go` command, as the chess program sent them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace perch {

inline constexpr std::size_t MaxSearchMoves = 256;

struct GoCommand {
  std::optional<int> depth;
  std::optional<std::int64_t> movetime;                  // ms
  std::optional<std::int64_t> wtime, btime, winc, binc;  // ms
  std::optional<int> movestogo;
  std::optional<std::uint64_t> nodes;
  std::optional<int> mate;  // moves
  std::optional<int> perft;
  // The root moves to search, as written; empty for all. At most
  // MaxSearchMoves are kept.
  std::vector<std::string> searchmoves;
  bool infinite = false;
  bool ponder = false;

  // True when nothing bounds the search but a depth or the default depth.
  bool HasNoLimit() const { return !movetime && !wtime && !btime && !nodes && !mate && !infinite; }
  // The same for the side to move: the other side's clock sets no limit.
  bool HasNoLimitFor(bool whiteToMove) const {
    return !movetime && !(whiteToMove ? wtime : btime) && !nodes && !mate && !infinite;
  }
};

// Reads `go ...` (the words after "go"). Malformed or unknown words are
// reported in `errors`, one phrase each, and skipped: a chess program that
// sent `go` waits for a best move whatever else it sent.
GoCommand ParseGo(const std::vector<std::string>& words, std::vector<std::string>& errors);

}  // namespace perch
