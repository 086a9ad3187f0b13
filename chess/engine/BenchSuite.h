#pragma once
// The fixed positions on which the engine's speed is measured, and timed
// runs of perft and of the search on them. Shared by the benchmarks,
// `perch-uci bench` and the tests that pin the suite's results.

#include <cstdint>

#include "TChessThread.h"

struct BenchPosition {
  const char* name;
  const char* fen;
};

inline constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
inline constexpr const char* KiwipeteFen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

// Eight positions searched at SearchSuiteDepth for the search speed figure.
inline constexpr int SearchSuiteDepth = 5;
extern const BenchPosition SearchSuite[8];

struct PerftRun {
  std::uint64_t leaves = 0;
  double seconds = 0;
};

struct SearchRun {
  std::uint64_t nodes = 0;
  double seconds = 0;
  TEngineMove best;
  int score = 0;  // of the last iteration
};

// Loads a FEN (which must be valid) into the engine through a game of its
// own. The engine stays linked to that game until the next call.
void LoadFen(TChessThread& engine, const char* fen);

PerftRun RunPerft(TChessThread& engine, const char* fen, int depth);

// Searches with a newly cleared engine, so that the result does not depend
// on earlier searches.
SearchRun RunSearch(TChessThread& engine, const char* fen, int depth);
