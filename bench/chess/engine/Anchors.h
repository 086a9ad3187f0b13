#pragma once
// The independent programs the engine's speed is compared with, measured
// on the same machine in the same run: Stockfish's perft time and GNU
// Chess's reported search speed. Each gives nothing when the program is
// missing or does not answer.

#include <cstdint>
#include <optional>

// Seconds Stockfish needs for `go perft depth` from the FEN (best of runs).
std::optional<double> StockfishPerftSeconds(const char* fen, int depth, int runs, std::uint64_t* nodes);

// GNU Chess's nodes per second on a search of the starting position, from
// the nodes and time it reports for its last iteration.
std::optional<double> GnuChessNodesPerSecond();

// GNU Chess searching the FEN for a fixed time per move (`st`): the depth
// of its last thinking line and the nodes per second of that line.
struct TimedSearch {
  int depth = 0;
  double nodesPerSecond = 0;
};
std::optional<TimedSearch> GnuChessAtMoveTime(const char* fen, int seconds);
