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
