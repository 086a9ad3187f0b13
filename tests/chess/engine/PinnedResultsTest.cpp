// Pinned results: no change made for speed may alter a perft count or the
// chosen move, the score or the node count of a benchmark search.

#include <gtest/gtest.h>

#include <tuple>

#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/EngineTestSupport.h"

using namespace perch;

TEST(Perft, KnownCountsAndTheBoardLeftAsItWas) {
  const std::tuple<const char*, int, std::uint64_t> cases[] = {
      {StartFen, 5, 4865609u},  // the benchmark runs
      {KiwipeteFen, 4, 4085603u},
      {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 4, 43238u},
      {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467u},
      {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", 3, 62379u},
  };
  auto engine = std::make_unique<TChessThread>();
  for (const auto& [fen, depth, leaves] : cases) {
    EXPECT_EQ(RunPerft(*engine, fen, depth).leaves, leaves) << fen;
    const std::string after = Snapshot(*engine);
    LoadFen(*engine, fen);
    EXPECT_EQ(Snapshot(*engine), after) << fen;
  }
}

TEST(Pinned, SearchSuiteAtDepthFive) {
  // Name, nodes, best move and score; each searched by a newly cleared engine.
  const std::tuple<const char*, std::uint64_t, const char*, int> results[8] = {
      {"start", 64358u, "e2e4", 25},         {"kiwipete", 2238492u, "e2a6", -10},
      {"italian", 308345u, "b1c3", 14},      {"middlegame", 444511u, "c3d5", 46},
      {"promotions", 221085u, "d7c8q", 407}, {"tactics", 347447u, "c4c5", -482},
      {"rook-ending", 41030u, "b4c4", -33},  {"pawn-ending", 5939u, "d5d6", 676},
  };
  auto engine = std::make_unique<TChessThread>();
  for (int i = 0; i < 8; ++i) {
    const auto& [name, nodes, best, score] = results[i];
    ASSERT_STREQ(SearchSuite[i].name, name);
    const SearchRun run = RunSearch(*engine, SearchSuite[i].fen, SearchSuiteDepth);
    EXPECT_EQ(run.nodes, nodes) << name;
    EXPECT_EQ(EngineMoveName(run.best), best) << name;
    EXPECT_EQ(run.score, score) << name;
  }
}
