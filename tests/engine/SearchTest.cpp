// The search: chosen moves, scores, best lines, ordering quirks.

#include <gtest/gtest.h>

#include <vector>

#include "EngineTestSupport.h"
#include "chess/engine/BenchSuite.h"

using namespace engine;

namespace {

struct Iteration {
  int depth;
  int score;
  std::string best;
};

std::vector<Iteration> Search(LinkedEngine& e, int depth) {
  std::vector<Iteration> iterations;
  iterations.reserve(16);
  e->setSearchDepth(depth);
  e->OnIteration = [&](int d, int score, std::uint64_t) {
    iterations.push_back({d, score, EngineMoveName(e->BestLine[0][0])});
  };
  e->SearchBestMove();
  e->OnIteration = nullptr;
  return iterations;
}

std::string Line(TChessThread& t) {
  std::string text;
  for (int j = 0; j < t.BestLineLength[0]; ++j) text += (j ? " " : "") + EngineMoveName(t.BestLine[0][j]);
  return text;
}

}  // namespace

TEST(Search, StartPositionPrefersTheFirstOfEqualMoves) {
  LinkedEngine e(StartFen);
  auto once = Search(e, 1);
  ASSERT_EQ(once.size(), 1u);
  EXPECT_EQ(once[0].score, 28);
  EXPECT_EQ(once[0].best, "d2d4") << "e2e4 scores the same but is generated later";

  LinkedEngine fresh(StartFen);
  auto three = Search(fresh, 3);
  ASSERT_EQ(three.size(), 3u);
  EXPECT_EQ(three[0].score, 28);
  EXPECT_EQ(three[1].score, 0);
  EXPECT_EQ(three[2].score, 25);
  for (const Iteration& it : three) EXPECT_EQ(it.best, "d2d4") << "iteration " << it.depth;
}

TEST(Search, BlackAfterE4ChangesItsMindInTheThirdIteration) {
  LinkedEngine e("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  auto it = Search(e, 3);
  ASSERT_EQ(it.size(), 3u);
  EXPECT_EQ(it[0].best, "d7d5");
  EXPECT_EQ(it[0].score, 0);
  EXPECT_EQ(it[1].best, "d7d5");
  EXPECT_EQ(it[1].score, -25);
  EXPECT_EQ(it[2].best, "g8f6");
  EXPECT_EQ(it[2].score, -2);
  EXPECT_EQ(e->BestLineLength[0] > 0, true);
  EXPECT_EQ(EngineMoveName(e->BestLine[0][0]), "g8f6");
}

TEST(Search, MateInOneIsSeenAtDepthOne) {
  // Back-rank mate: Ra1-a8.
  LinkedEngine e("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1");
  auto it = Search(e, 1);
  EXPECT_EQ(it[0].best, "a1a8");
  EXPECT_EQ(it[0].score, 9999);

  // Fool's mate for Black: the mated side at the root scores ply - 10,000
  // from the far end of the line.
  LinkedEngine f("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2");
  auto mate = Search(f, 2);
  EXPECT_EQ(mate.back().best, "d8h4");
  EXPECT_EQ(mate.back().score, 9999);
}

TEST(Search, NoLegalMoveLeavesTheBestLineAlone) {
  LinkedEngine e(StartFen);
  Search(e, 1);
  const TEngineMove before = e->BestLine[0][0];

  // Stalemate and mate at the root: the previous choice stays.
  e.Load("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  auto stale = Search(e, 2);
  EXPECT_EQ(stale.back().score, 0);
  EXPECT_EQ(e->BestLine[0][0], before);
  EXPECT_EQ(e->BestLineLength[0], 0);

  e.Load("rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3");
  auto mated = Search(e, 3);
  EXPECT_EQ(mated.back().score, -10000 + 0) << "mated at the root: ply 0";
  EXPECT_EQ(e->BestLine[0][0], before);

  // A newly created engine keeps its all-zero record (a8 to a8).
  LinkedEngine fresh("7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
  Search(fresh, 1);
  EXPECT_EQ(fresh->BestLine[0][0], TEngineMove{});
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
  const int eval = e->Evaluate();
  EXPECT_NE(eval, 0);
  EXPECT_EQ(e->CaptureSearch(-10000, 10000), eval);
  EXPECT_EQ(e->SearchNode(-10000, 10000, 1), 0);

  // In check with quiet evasions only: they are searched, and one of them
  // becomes the best line; standing pat would have left the line empty.
  e.Load("4k3/8/8/8/8/8/8/r3K3 w - - 0 1");
  e->BuildPieceSquareTables();
  const int inCheck = e->CaptureSearch(-10000, 10000);
  EXPECT_GT(inCheck, -9000) << "evasions are searched";
  EXPECT_EQ(e->BestLineLength[0], 1);
  const std::string evasion = EngineMoveName(e->BestLine[0][0]);
  EXPECT_TRUE(evasion == "e1d2" || evasion == "e1e2" || evasion == "e1f2") << evasion;
}

TEST(Search, KnightFirstAmongEqualPromotionsGetsTheBestLineBonus) {
  LinkedEngine e("8/P6k/8/8/8/8/8/K7 w - - 0 1");
  e->BestLine[0][0] = e.Find("a7a8q");
  e->Ply = 0;
  e->GenerateMoves();
  e->MarkPvMove();
  EXPECT_TRUE(e->FollowBestLine);
  EXPECT_EQ(EngineMoveName(e->MoveList[0].move), "a7a8n");
  EXPECT_EQ(e->MoveList[0].score, 10000000 + 1000010);
  EXPECT_EQ(e->MoveList[3].score, 1000040);

  // A best-line move that is not generated turns following off.
  e->BestLine[0][0] = TEngineMove{10, 20, 0, 0};
  e->GenerateMoves();
  e->MarkPvMove();
  EXPECT_FALSE(e->FollowBestLine);
}

TEST(Search, SelectNextMoveTakesTheFirstOfEqualScoresAndSwaps) {
  LinkedEngine e(StartFen);
  e->GenerateMoves();
  e->MoveList[5].score = 7;
  e->MoveList[9].score = 7;
  e->SelectNextMove(0);
  EXPECT_EQ(EngineMoveName(e->MoveList[0].move), "c2c4");
  EXPECT_EQ(EngineMoveName(e->MoveList[5].move), "a2a3") << "the old entry 0 takes the chosen one's place";
  e->SelectNextMove(1);
  EXPECT_EQ(EngineMoveName(e->MoveList[1].move), "e2e4");
}

TEST(Search, BestLineIsKeptAcrossSearchesUntilCleared) {
  // The same position searched twice: the second search starts from the
  // first one's best line, which changes its order and so its node count,
  // but not its choice. ClearSearchMemory makes it as new again.
  LinkedEngine e(KiwipeteFen);
  Search(e, 3);
  const std::uint64_t firstNodes = e->Nodes;
  const TEngineMove firstMove = e->BestLine[0][0];
  const std::string firstLine = Line(*e);
  Search(e, 3);
  EXPECT_EQ(e->BestLine[0][0], firstMove);
  e->ClearSearchMemory();
  Search(e, 3);
  EXPECT_EQ(e->Nodes, firstNodes);
  EXPECT_EQ(Line(*e), firstLine);
}

TEST(Search, StopRequestLeavesLaterIterationsUndone) {
  LinkedEngine e(StartFen);
  e->setSearchDepth(8);
  int iterations = 0;
  e->OnIteration = [&](int depth, int, std::uint64_t) {
    ++iterations;
    if (depth == 2) e->StopSearch = true;
  };
  const std::string before = e.Snapshot();
  e->SearchBestMove();
  EXPECT_EQ(iterations, 2);
  EXPECT_EQ(e.Snapshot(), before);
  e->StopSearch = false;
}

TEST(Search, SearchLeavesTheBoardAsItFoundIt) {
  for (const BenchPosition& p : SearchSuite) {
    LinkedEngine e(p.fen);
    const std::string before = e.Snapshot();
    Search(e, 3);
    EXPECT_EQ(e.Snapshot(), before) << p.name;
  }
}
