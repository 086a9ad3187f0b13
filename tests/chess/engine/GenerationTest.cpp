// Move generation order and ordering scores, castling, loading the engine
// board. Perft against known counts is in PinnedResultsTest.cpp, against
// stockfish in UciTest.cpp.

#include <gtest/gtest.h>

#include <tuple>

#include "chess/engine/BenchSuite.h"
#include "tests/chess/engine/EngineTestSupport.h"

using namespace perch;

using namespace engine;

TEST(Generation, MovesInOrderWithTheirOrderingScores) {
  // All moves or captures only, as "move:score" in list order.
  const std::tuple<const char*, bool, const char*> cases[] = {
      // Square by square from a8; castlings last, from the rights alone.
      {StartFen, false,
       "a2a3:0 a2a4:0 b2b3:0 b2b4:0 c2c3:0 c2c4:0 d2d3:0 d2d4:0 e2e3:0 e2e4:0 f2f3:0 f2f4:0 g2g3:0 g2g4:0 "
       "h2h3:0 h2h4:0 b1a3:0 b1c3:0 g1f3:0 g1h3:0 e1g1:0 e1c1:0"},
      // Promotions come knight to queen, scored by the piece alone: the
      // captured rook on b8 is not counted.
      {"1r2k3/P7/P7/8/8/8/1p6/4K3 w - - 0 1", true,
       "a7b8n:1000010 a7b8b:1000020 a7b8r:1000030 a7b8q:1000040 "
       "a7a8n:1000010 a7a8b:1000020 a7a8r:1000030 a7a8q:1000040"},
      // Black's promotions; a pawn stepping to its seventh rank is no capture.
      {"4k3/8/8/8/8/p7/1p6/4K3 b - - 0 1", true, "b2b1n:1000010 b2b1b:1000020 b2b1r:1000030 b2b1q:1000040"},
      // En passant: the target square is empty (code 6).
      {"rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3", true, "e5f6:1000060"},
      // 1,000,000 + 10 x queen - knight.
      {"4k3/8/8/3q4/8/4N3/8/4K3 w - - 0 1", true, "e3d5:1000039"},
  };
  for (const auto& [fen, capturesOnly, expected] : cases) {
    LinkedEngine e(fen);
    capturesOnly ? e->GenerateCaptures() : e->GenerateMoves();
    std::string listed;
    for (int i = e->PlyFirst(0); i < e->PlyEnd(0); ++i)
      listed +=
          (i ? " " : "") + EngineMoveName(e->MoveList(i).move) + ":" + std::to_string(e->MoveList(i).score);
    EXPECT_EQ(listed, expected) << fen;
  }
}

TEST(Castling, RejectedInCheckThroughPiecesOrAcrossAttackedSquares) {
  // The move and where the rook lands, -1 when the move is refused.
  const std::tuple<const char*, const char*, int> cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", 61},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", 59},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", 5},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", 3},
      {"r3k2r/8/8/8/4r3/8/8/R3K2R w KQkq - 0 1", "e1g1", -1},  // in check
      {"r3k2r/8/8/8/8/8/8/R3KB1R w KQkq - 0 1", "e1g1", -1},   // f1 occupied
      {"r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", "e1c1", -1},   // b1 occupied
      {"r3k2r/8/8/8/5r2/8/8/R3K2R w KQkq - 0 1", "e1g1", -1},  // f1 attacked
      {"r3k2r/8/8/8/6r1/8/8/R3K2R w KQkq - 0 1", "e1g1", -1},  // g1 attacked
      {"r3k2r/8/8/8/1r6/8/8/R3K2R w KQkq - 0 1", "e1c1", 59},  // only b1 attacked
      {"r3k2r/8/8/8/3r4/8/8/R3K2R w KQkq - 0 1", "e1c1", -1},  // d1 attacked
      {"r3k2r/8/8/8/8/5R2/8/4K3 b kq - 0 1", "e8g8", -1},      // f8 attacked
      {"r3k2r/8/8/8/8/2R5/8/4K3 b kq - 0 1", "e8c8", -1},      // c8 attacked
  };
  for (const auto& [fen, move, rookTo] : cases) {
    SCOPED_TRACE(std::string(fen) + " " + move);
    LinkedEngine e(fen);
    const std::string before = e.Snapshot();
    const bool made = e->DoMove(e.Find(move));
    EXPECT_EQ(made, rookTo >= 0);
    if (made) {
      EXPECT_EQ(e->SquarePiece(rookTo), Rook);
      e->UndoMove();
    }
    EXPECT_EQ(e.Snapshot(), before);
  }
}

TEST(Load, RightsAndEnPassantSquaresThatFitNothingAreDropped) {
  // The rights and en passant square the engine board keeps.
  const std::tuple<const char*, int, int> cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 15, -1},
      {"4k3/8/8/8/8/8/8/R2K3R w KQ - 0 1", 0, -1},   // king off e1
      {"4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", 0, 44},  // kept for the side that may take
      {"4k3/8/8/8/3pP3/8/8/4K3 w - e3 0 1", 0, -1},  // side to move changed after the double step
      {"4k3/8/8/8/3p4/8/8/4K3 b - e3 0 1", 0, -1},   // the pawn that passed over it is gone
  };
  for (const auto& [fen, rights, ep] : cases) {
    LinkedEngine e(fen);
    EXPECT_EQ(e->CastleRights(), rights) << fen;
    EXPECT_EQ(e->EpSquare(), ep) << fen;
  }

  // A bishop takes the rook on h8: the board keeps Black's king-side right
  // (a capture on the corner takes none away). Castling on it would empty
  // h8, take the bishop off and bring back a Black rook on undo.
  LinkedEngine e("r3k2r/6B1/8/8/8/8/8/R3K3 w KQkq - 0 1");
  ASSERT_TRUE(e.game->MakeMove(Square::G7, Square::H8));
  ASSERT_TRUE(e.game->CastlingAllowed().Contains(CanStillCastle::BlackKingSide));
  e->LoadPosition();
  EXPECT_EQ(e->CastleRights(), 2 | 8);
  const std::string before = e.Snapshot();
  e->setSearchDepth(3);
  e->SearchBestMove();
  EXPECT_EQ(e.Snapshot(), before);
}
