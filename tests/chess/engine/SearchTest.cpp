// The search: chosen moves and scores of each iteration, mates and
// stalemates, the capture search, the stop request. Move ordering is held
// by the pinned results of the benchmark suite.

#include <gtest/gtest.h>

#include <tuple>

#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/EngineTestSupport.h"

using namespace perch;

using namespace engine;

namespace {

// Searches to the depth; each iteration's best move and score as
// "move:score", space-separated.
std::string Iterations(LinkedEngine& e, int depth) {
  std::string text;
  e->setSearchDepth(depth);
  e->OnIteration = [&](int, int score, std::uint64_t) {
    text += (text.empty() ? "" : " ") + EngineMoveName(e->BestLine(0)[0]) + ":" + std::to_string(score);
  };
  e->SearchBestMove();
  e->OnIteration = nullptr;
  return text;
}

}  // namespace

TEST(Search, IterationsOfWorkedExamples) {
  // Searched to the depth by a new engine.
  const std::tuple<const char*, int, const char*> cases[] = {
      // e2e4 scores the same as d2d4 but is generated later.
      {StartFen, 3, "d2d4:28 d2d4:0 d2d4:25"},
      {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", 3, "d7d5:0 d7d5:-25 g8f6:-2"},
      {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 1, "a1a8:9999"},
      // Mate scores ply - 10,000 from the far end of the line.
      {"rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2", 2, "d8h4:9999 d8h4:9999"},
      // No legal move at the root: stalemate 0, mated -10,000, and a newly
      // created engine keeps its all-zero move (a8 to a8).
      {"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", 2, "a8a8:0 a8a8:0"},
      {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3", 2, "a8a8:-10000 a8a8:-10000"},
  };
  for (const auto& [fen, depth, iterations] : cases) {
    LinkedEngine e(fen);
    EXPECT_EQ(Iterations(e, depth), iterations) << fen;
  }
}

TEST(Search, NoLegalMoveLeavesTheBestLineAlone) {
  LinkedEngine e(StartFen);
  Iterations(e, 1);
  e.Load("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  EXPECT_EQ(Iterations(e, 2), "d2d4:0 d2d4:0");
  EXPECT_EQ(e->BestLineLength(0), 0);
}

TEST(Search, CaptureSearchAnswersChecksAndIgnoresStalemate) {
  // In check with no legal move: mated, even without captures.
  LinkedEngine e("R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1");
  e->BuildPieceSquareTables();
  EXPECT_EQ(e->CaptureSearch(-10000, 10000), -10000);

  // Stalemated, not in check: the capture search keeps the evaluation,
  // the full-width search scores 0.
  e.Load("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  e->BuildPieceSquareTables();
  EXPECT_NE(e->Evaluate(), 0);
  EXPECT_EQ(e->CaptureSearch(-10000, 10000), e->Evaluate());
  EXPECT_EQ(e->SearchNode(-10000, 10000, 1), 0);

  // In check with quiet evasions only: they are searched and one becomes
  // the best line; standing pat would have left the line empty.
  e.Load("4k3/8/8/8/8/8/8/r3K3 w - - 0 1");
  e->BuildPieceSquareTables();
  EXPECT_GT(e->CaptureSearch(-10000, 10000), -9000);
  ASSERT_EQ(e->BestLineLength(0), 1);
  EXPECT_EQ(EngineMoveName(e->BestLine(0)[0]).substr(0, 2), "e1") << "an evasion";
}

TEST(Search, StopRequestLeavesLaterIterationsUndone) {
  LinkedEngine e(StartFen);
  const std::string before = e.Snapshot();
  e->setSearchDepth(8);
  int iterations = 0;
  e->OnIteration = [&](int depth, int, std::uint64_t) {
    ++iterations;
    if (depth == 2) e->StopSearch = true;
  };
  e->SearchBestMove();
  EXPECT_EQ(iterations, 2);
  EXPECT_EQ(e.Snapshot(), before);
}
