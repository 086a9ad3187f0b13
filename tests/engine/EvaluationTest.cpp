// Piece-square tables and the static evaluation.

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "chess/engine/BenchSuite.h"

using namespace engine;

namespace {

int EvaluateFen(const std::string& fen) {
  LinkedEngine e(fen);
  e->BuildPieceSquareTables();
  return e->Evaluate();
}

}  // namespace

TEST(Evaluation, SymmetricStartIsZeroForEitherSide) {
  EXPECT_EQ(EvaluateFen(StartFen), 0);
  EXPECT_EQ(EvaluateFen("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1"), 0);
}

TEST(Evaluation, AfterE4ForBlackAndTablesFromTheRootStay) {
  EXPECT_EQ(EvaluateFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"), -28);

  // The same through DoMove: the tables built at the start stay in force and
  // the kept sums agree with a fresh load.
  LinkedEngine e(StartFen);
  e->BuildPieceSquareTables();
  ASSERT_TRUE(e->DoMove(e.Find("e2e4")));
  EXPECT_EQ(e->Evaluate(), -28);
  e->UndoMove();
  EXPECT_EQ(e->Evaluate(), 0);
}

TEST(Evaluation, LonePassedIsolatedPawnInTheEnding) {
  // 112 for the pawn, -30 isolated on a file without enemy pawns, +224
  // passed; both kings on the end-game table at -5.
  EXPECT_EQ(EvaluateFen("4k3/8/8/4P3/8/8/8/4K3 w - - 0 1"), 306);
  EXPECT_EQ(EvaluateFen("4k3/8/8/4P3/8/8/8/4K3 b - - 0 1"), -306);
}

TEST(Evaluation, KingWingShieldsAndMirroredBlackValues) {
  // Black keeps more than 1,400 in pieces: White's king is on the middle
  // table and a king on g1 raises the pawns in front of it.
  const std::string heavy = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1RK1 w kq - 0 1";
  LinkedEngine e(heavy);
  e->BuildPieceSquareTables();
  EXPECT_EQ(e->PieceSquare[White][Pawn][53], 120);  // f2
  EXPECT_EQ(e->PieceSquare[White][Pawn][54], 120);  // g2
  EXPECT_EQ(e->PieceSquare[White][Pawn][55], 120);  // h2
  EXPECT_EQ(e->PieceSquare[White][Pawn][45], 113);  // f3: 3 + 10 + 100
  EXPECT_EQ(e->PieceSquare[White][King][62], 10);
  EXPECT_EQ(e->PieceSquare[Black][Pawn][11], 80) << "d7 mirrors d2";
  EXPECT_EQ(e->PieceSquare[Black][Pawn][13], 100) << "Black's king on e8 has no shield";

  e.Load(StartFen);
  e->BuildPieceSquareTables();
  EXPECT_EQ(e->PieceSquare[White][Pawn][53], 100) << "a king on e1 has no shield";

  // Queen side: a king on b1 shields a2, b2, c2.
  e.Load("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/1K1R1BNR w kq - 0 1");
  e->BuildPieceSquareTables();
  EXPECT_EQ(e->PieceSquare[White][Pawn][48], 120);
  EXPECT_EQ(e->PieceSquare[White][Pawn][53], 100);

  // With 1,400 or less against it a king uses the end-game table.
  e.Load("4k3/8/8/8/8/8/5PPP/r5K1 w - - 0 1");
  e->BuildPieceSquareTables();
  EXPECT_EQ(e->PieceSquare[White][King][62], -5);
  EXPECT_EQ(e->PieceSquare[White][Pawn][53], 100);
}

TEST(Evaluation, PawnStructureAndRookFiles) {
  // Doubled isolated pawns against a lone king: each pays 5 and 30, each is
  // passed (twice its entry). e4 = 108, e3 = 104.
  const int doubled = EvaluateFen("4k3/8/8/8/4P3/4P3/8/4K3 w - - 0 1");
  EXPECT_EQ(doubled, (108 + 104) - 2 * 35 + 2 * (108 + 104));

  // An enemy pawn on a neighbouring file stops "passed" but not "isolated
  // with no enemy pawn on its file" (-30).
  const int blockedNeighbour = EvaluateFen("4k3/8/8/3p4/8/4P3/8/4K3 w - - 0 1");
  // White e3: 104 - 30; Black d5 (d4 seen from White): 108 - 30.
  EXPECT_EQ(blockedNeighbour, (104 - 30) - (108 - 30));

  // Rooks: +15 on a file free of all pawns, +10 with only enemy pawns on it.
  EXPECT_EQ(EvaluateFen("4k3/8/8/8/8/8/8/R3K3 w - - 0 1"), 515);
  EXPECT_EQ(EvaluateFen("4k3/p7/8/8/8/8/8/R3K3 w - - 0 1"), 510 - (100 - 30 + 2 * 100));
  // A king-less side gets no shield and its pieces still count.
  EXPECT_EQ(EvaluateFen("8/8/8/8/8/8/8/N7 w - - 0 1"), 280);
}
