// Piece-square tables and the static evaluation: worked examples with
// their exact scores. The sums kept by DoMove and UndoMove are held to a
// square-by-square reading in FuzzTest.cpp.

#include <gtest/gtest.h>

#include <tuple>

#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/EngineTestSupport.h"

using namespace perch;

using namespace engine;

TEST(Evaluation, WorkedExamples) {
  const std::pair<const char*, int> cases[] = {
      {StartFen, 0},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1", 0},
      {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", -28},
      // 112 for the pawn, -30 isolated on a file without enemy pawns, +224
      // passed; both kings on the end-game table at -5.
      {"4k3/8/8/4P3/8/8/8/4K3 w - - 0 1", 306},
      {"4k3/8/8/4P3/8/8/8/4K3 b - - 0 1", -306},
      // Doubled isolated passed pawns e4 (108) and e3 (104): each pays 5 and
      // 30 and gets twice its entry.
      {"4k3/8/8/8/4P3/4P3/8/4K3 w - - 0 1", (108 + 104) - 2 * 35 + 2 * (108 + 104)},
      // An enemy pawn on a neighbouring file stops "passed" but not
      // "isolated with no enemy pawn on its file": e3 104 - 30, d5 108 - 30.
      {"4k3/8/8/3p4/8/4P3/8/4K3 w - - 0 1", (104 - 30) - (108 - 30)},
      // Rooks: +15 on a file free of all pawns, +10 with only enemy pawns on it.
      {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", 515},
      {"4k3/p7/8/8/8/8/8/R3K3 w - - 0 1", 510 - (100 - 30 + 2 * 100)},
      // A king-less side gets no shield and its pieces still count.
      {"8/8/8/8/8/8/8/N7 w - - 0 1", 280},
  };
  for (const auto& [fen, score] : cases) {
    LinkedEngine e(fen);
    e->BuildPieceSquareTables();
    EXPECT_EQ(e->Evaluate(), score) << fen;
  }
}

TEST(Evaluation, KingTablesAndPawnShields) {
  // With more than 1,400 in enemy pieces a king is on the middle table and
  // one on a wing raises its pawns, 20 on the second rank and 10 on the
  // third; with less it is on the end-game table. Black's values mirror.
  const char* castled = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ1RK1 w kq - 0 1";
  const char* queenSide = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/1K1R1BNR w kq - 0 1";
  const char* ending = "4k3/8/8/8/8/8/5PPP/r5K1 w - - 0 1";
  // Side, piece, square, value.
  const std::tuple<const char*, int, int, int, int> cases[] = {
      {castled, White, Pawn, 53, 120},   {castled, White, Pawn, 45, 113},    // f2, f3
      {castled, White, King, 62, 10},    {castled, Black, Pawn, 11, 80},     // Kg1, d7
      {castled, Black, Pawn, 13, 100},   {StartFen, White, Pawn, 53, 100},   // no shield at e8 or e1
      {queenSide, White, Pawn, 48, 120}, {queenSide, White, Pawn, 53, 100},  // a2, f2
      {ending, White, King, 62, -5},     {ending, White, Pawn, 53, 100},
  };
  for (const auto& [fen, side, piece, square, value] : cases) {
    LinkedEngine e(fen);
    e->BuildPieceSquareTables();
    EXPECT_EQ(e->PieceSquare(side, piece, square), value) << fen << " square " << square;
  }
}
