// The results of the benchmark positions, pinned: no change made for speed
// may alter the chosen move, the score or the node count of a search.

#include <gtest/gtest.h>

#include <memory>

#include "chess/engine/BenchSuite.h"
#include "chess/engine/Fen.h"

namespace {

struct Pinned {
  const char* name;
  std::uint64_t nodes;
  const char* best;
  int score;
};

// Depth 5, each searched by a newly cleared engine.
constexpr Pinned kSuiteResults[8] = {
    {"start", 64358u, "e2e4", 25},
    {"kiwipete", 2238492u, "e2a6", -10},
    {"italian", 308345u, "b1c3", 14},
    {"middlegame", 444511u, "c3d5", 46},
    {"promotions", 221085u, "d7c8q", 407},
    {"tactics", 347447u, "c4c5", -482},
    {"rook-ending", 41030u, "b4c4", -33},
    {"pawn-ending", 5939u, "d5d6", 676},
};

}  // namespace

TEST(Pinned, SearchSuiteAtDepthFive) {
  auto engine = std::make_unique<TChessThread>();
  for (int i = 0; i < 8; ++i) {
    ASSERT_STREQ(SearchSuite[i].name, kSuiteResults[i].name);
    const SearchRun run = RunSearch(*engine, SearchSuite[i].fen, SearchSuiteDepth);
    EXPECT_EQ(run.nodes, kSuiteResults[i].nodes) << SearchSuite[i].name;
    EXPECT_EQ(EngineMoveName(run.best), kSuiteResults[i].best) << SearchSuite[i].name;
    EXPECT_EQ(run.score, kSuiteResults[i].score) << SearchSuite[i].name;
  }
}

TEST(Pinned, PerftOfTheBenchmarkRuns) {
  auto engine = std::make_unique<TChessThread>();
  EXPECT_EQ(RunPerft(*engine, StartFen, 5).leaves, 4865609u);
  EXPECT_EQ(RunPerft(*engine, KiwipeteFen, 4).leaves, 4085603u);
}
