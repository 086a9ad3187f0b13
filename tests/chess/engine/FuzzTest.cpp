// Random positions, however odd (many queens, no king, pawns on their last
// rank, rights and en passant squares that fit nothing), loaded and
// searched: no fault, an end, the board left as found, and the engine's
// kept state always equal to the square-by-square reading.

#include <gtest/gtest.h>

#include <random>

#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/EngineTestSupport.h"
#include "tests/chess/engine/ReferenceEngine.h"

using namespace perch;

using namespace engine;

namespace {

// Random letters at a random density, mostly one king each so that the
// search has legal play to explore; random side, rights and en passant.
void RandomPosition(std::mt19937& rng, TChessGame& game) {
  std::uniform_real_distribution<double> unit(0, 1);
  const double density = 0.05 + 0.6 * unit(rng);
  std::string position(64, ' ');
  for (char& c : position)
    if (unit(rng) < density) c = "PNBRQKpnbrqk"[rng() % 12];
  if (unit(rng) < 0.7) {
    position[rng() % 64] = 'K';
    position[rng() % 64] = 'k';
  }
  game.setPosition(position);
  game.setWhiteToMove(rng() % 2 == 0);
  game.setCastlingAllowed(CastleSet(static_cast<std::uint8_t>(rng() % 16)));
  if (rng() % 3 == 0) game.setEnPassant(SquareFromIndex(rng() % 2 ? 17 + rng() % 8 : 41 + rng() % 8));
}

// The kept bit sets and sums against a fresh count of the squares, and the
// attack tests and evaluation against the square-by-square reading.
void ExpectPrimitivesMatchReference(const TChessThread& e) {
  std::uint64_t pieces[2][6] = {}, sides[2] = {};
  int psq[2] = {0, 0};
  for (int s = 0; s < 64; ++s) {
    const int side = e.SquareSide(s), piece = e.SquarePiece(s);
    ASSERT_EQ(side == Empty, piece == Empty) << s;
    if (side == Empty) continue;
    ASSERT_LT(piece, Empty);
    pieces[side][piece] |= std::uint64_t{1} << s;
    sides[side] |= std::uint64_t{1} << s;
    psq[side] += e.PieceSquare(side, piece, s);
  }
  for (int side = 0; side < 2; ++side) {
    for (int p = 0; p < 6; ++p) ASSERT_EQ(e.PieceBits(side, p), pieces[side][p]);
    ASSERT_EQ(e.SideBits(side), sides[side]);
    ASSERT_EQ(e.PsqScore(side), psq[side]);
    ASSERT_EQ(e.KingAttacked(side), reference::KingAttacked(e, side));
    for (int q = 0; q < 64; ++q)
      ASSERT_EQ(e.SquareAttacked(q, side), reference::SquareAttacked(e, q, side)) << q;
  }
  ASSERT_EQ(e.Evaluate(), reference::Evaluate(e));
}

// A random walk of legal moves from the loaded position, checked at every
// step; the board must be as it was after taking everything back.
void RandomWalk(std::mt19937& rng, LinkedEngine& e, int length) {
  const std::string start = e.Snapshot();
  for (int made = 0; made < length && e->Ply() < TChessThread::MaxPly - 1; ++made) {
    ExpectPrimitivesMatchReference(*e);
    if (testing::Test::HasFatalFailure()) return;
    e->GenerateMoves();
    const int first = e->PlyFirst(e->Ply()), count = e->PlyEnd(e->Ply()) - first;
    bool moved = false;
    for (int tries = 0; tries < count && !moved; ++tries)
      moved = e->DoMove(e->MoveList(first + static_cast<int>(rng() % static_cast<unsigned>(count))).move);
    if (!moved) break;
  }
  while (e->Ply() > 0) e->UndoMove();
  EXPECT_EQ(e.Snapshot(), start);
}

}  // namespace

TEST(Fuzz, KeptStateAndFastPrimitivesAgreeWithTheSquareBySquareReading) {
  std::mt19937 rng(20261209);
  LinkedEngine e;
  for (const BenchPosition& p : SearchSuite) {
    e.Load(p.fen);
    e->BuildPieceSquareTables();
    for (int walk = 0; walk < 20; ++walk) RandomWalk(rng, e, 60);
  }
  for (int n = 0; n < 200 && !HasFatalFailure(); ++n) {
    RandomPosition(rng, *e.game);
    e->LoadPosition();
    e->BuildPieceSquareTables();
    RandomWalk(rng, e, 30);
  }
}

TEST(Fuzz, RandomPositionsSearchToDepthThreeAndEnd) {
  std::mt19937 rng(7);
  LinkedEngine e;
  e->setSearchDepth(3);
  // A smaller budget than the default keeps the test short under the
  // sanitizers; the positions that use it up prove that it ends a search.
  e->setOddPositionNodeBudget(10000);
  int exhausted = 0, ordinary = 0;
  for (int n = 0; n < 250; ++n) {
    RandomPosition(rng, *e.game);
    e->LoadPosition();
    const std::string before = e.Snapshot();
    const bool isOrdinary = TChessThread::IsOrdinaryPosition(*e);
    ordinary += isOrdinary;
    e->SearchBestMove();
    ASSERT_EQ(e.Snapshot(), before) << "position " << n << ": " << e.game->Position();
    // Past the budget each open node makes one more call before it returns.
    if (!isOrdinary) {
      ASSERT_LE(e->Nodes(), e->OddPositionNodeBudget() + TChessThread::MaxPly) << "ran past its budget";
    }
    exhausted += e->BudgetExhausted();
    TEngineMove any{};
    if (e->FirstLegalMove(any)) {
      ASSERT_TRUE(e->IsLegalMove(e->BestLine(0)[0])) << "position " << n;
    }
  }
  EXPECT_GT(exhausted, 0);
  EXPECT_GT(ordinary, 0);
}

TEST(Fuzz, OrdinaryPositionsHaveNoBudget) {
  LinkedEngine e(KiwipeteFen);
  EXPECT_TRUE(TChessThread::IsOrdinaryPosition(*e));
  e->setOddPositionNodeBudget(10);
  e->setSearchDepth(3);
  e->SearchBestMove();
  EXPECT_FALSE(e->BudgetExhausted());
  EXPECT_GT(e->Nodes(), 10u);
  // A budget used up before the first root move is scored still hands over
  // a move of this position, not the line of the last search.
  const TEngineMove stale = e->BestLine(0)[0];
  e.Load("k7/8/8/8/8/8/8/K6K w - - 0 1");
  e->setOddPositionNodeBudget(0);
  e->SearchBestMove();
  ASSERT_TRUE(e->BudgetExhausted());
  EXPECT_FALSE(e->BestLine(0)[0] == stale);
  EXPECT_TRUE(e->IsLegalMove(e->BestLine(0)[0]));
  // No king, two kings, a pawn on its last rank, too many promoted pieces.
  for (const char* fen : {"8/8/8/8/8/8/8/R6k w - - 0 1", "k7/8/8/8/8/8/8/K6K w - - 0 1",
                          "P6k/8/8/8/8/8/8/K7 w - - 0 1", "k7/8/8/8/8/8/PPPPPPPP/KQQ5 w - - 0 1"}) {
    e.Load(fen);
    EXPECT_FALSE(TChessThread::IsOrdinaryPosition(*e)) << fen;
  }
}

TEST(Invariants, CheckedOnEveryMoveInDebugBuilds) {
#ifdef NDEBUG
  GTEST_SKIP() << "the engine's invariant checks are compiled out with NDEBUG";
#else
  // Taking back a move that was never made would read below the undo
  // stack; a debug build stops there instead.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  LinkedEngine e(StartFen);
  EXPECT_DEATH(e->UndoMove(), "ply_ > 0");
#endif
}
