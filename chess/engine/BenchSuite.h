#pragma once
// The fixed positions on which the engine's speed is measured, and timed
// runs of perft and of the search on them. Shared by the benchmarks,
// `perch-uci bench` and the tests that pin the suite's results.

#include <cstdint>
#include <string>

#include "chess/engine/TChessThread.h"

namespace perch {

struct BenchPosition {
  const char* name;
  const char* fen;
};

inline constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
inline constexpr const char* KiwipeteFen =
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

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

// The engine's own speed figures, as `perch-uci bench` and the benchmarks
// print them: perft 5 from the start and perft 4 of Kiwipete (leaves per
// second, best of `repeats` runs), and the search suite at depth 5.
struct EngineFigures {
  PerftRun start5;
  PerftRun kiwipete4;
  std::uint64_t suiteNodes = 0;
  double suiteSeconds = 0;
};
EngineFigures MeasureEngine(TChessThread& engine, int repeats);

// One line per figure: "perft start 5: ...", "perft kiwipete 4: ...",
// "search suite depth 5: ...".
std::string PerftLine(const char* name, int depth, const PerftRun& run);
std::string SearchSuiteLine(std::uint64_t nodes, double seconds);

}  // namespace perch
