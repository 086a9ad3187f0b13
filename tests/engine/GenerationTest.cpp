// Engine board, move generation, making and taking back moves, perft.

#include <gtest/gtest.h>

#include "EngineTestSupport.h"
#include "chess/engine/BenchSuite.h"

using namespace engine;

namespace {

std::uint64_t PerftOf(const std::string& fen, int depth) {
  LinkedEngine e(fen);
  return e->Perft(depth);
}

}  // namespace

TEST(Generation, StartPositionListsPawnsThenKnightsThenCastlings) {
  LinkedEngine e(StartFen);
  e->GenerateMoves();
  const std::vector<std::string> expected = {
      "a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3", "d2d4", "e2e3", "e2e4", "f2f3",
      "f2f4", "g2g3", "g2g4", "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3", "e1g1", "e1c1"};
  EXPECT_EQ(e.ListedMoves(), expected);
  EXPECT_EQ(e->PlyFirst[1], 22);
  const std::string before = e.Snapshot();
  int legal = 0;
  for (int i = 0; i < 22; ++i) {
    if (e->DoMove(e->MoveList[i].move)) {
      ++legal;
      e->UndoMove();
    }
    EXPECT_EQ(e.Snapshot(), before) << "after trying " << EngineMoveName(e->MoveList[i].move);
  }
  EXPECT_EQ(legal, 20);
}

TEST(Generation, PromotionsComeAsKnightBishopRookQueenWithTheirScores) {
  LinkedEngine e("1r2k3/P7/P7/8/8/8/1p6/4K3 w - - 0 1");
  e->GenerateMoves();
  // a7 takes on b8 and steps to a8: four entries each; a6 to a7 is blocked.
  const std::vector<std::string> white = {"a7b8n", "a7b8b", "a7b8r", "a7b8q", "a7a8n", "a7a8b",
                                          "a7a8r", "a7a8q", "e1d2", "e1e2", "e1f2", "e1d1", "e1f1"};
  EXPECT_EQ(e.ListedMoves(), white);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(e->MoveList[i].move.flags, FlagPawnMove | FlagCapture | FlagPromotion);
    EXPECT_EQ(e->MoveList[i].score, 1000000 + 10 * (i + 1)) << "the captured rook is not counted";
    EXPECT_EQ(e->MoveList[4 + i].move.flags, FlagPawnMove | FlagPromotion);
  }

  // Black: b2-b1 promotes; a pawn reaching its seventh rank is ordinary.
  e.Load("4k3/8/8/8/8/p7/1p6/4K3 b - - 0 1");
  e->GenerateCaptures();
  EXPECT_EQ(e.ListedMoves(), (std::vector<std::string>{"b2b1n", "b2b1b", "b2b1r", "b2b1q"}));
  EXPECT_EQ(e.Find("a3a2").flags, FlagPawnMove);
}

TEST(Generation, CaptureOrderingAndEnPassantScores) {
  // After 1. e4 d5 2. e5 f5: exf6 en passant, and a capture of a pawn.
  LinkedEngine e("rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3");
  EXPECT_EQ(e->EpSquare, 21);
  e->GenerateCaptures();
  EXPECT_EQ(e.ListedMoves(), (std::vector<std::string>{"e5f6"}));
  EXPECT_EQ(e->MoveList[0].move.flags, FlagPawnMove | FlagEnPassant | FlagCapture);
  EXPECT_EQ(e->MoveList[0].score, 1000060);

  const std::string before = e.Snapshot();
  ASSERT_TRUE(e->DoMove(e->MoveList[0].move));
  EXPECT_EQ(e->SquareSide[29], Empty) << "the pawn behind the target is taken";
  EXPECT_EQ(e->SquarePiece[21], Pawn);
  e->UndoMove();
  EXPECT_EQ(e.Snapshot(), before);
  EXPECT_EQ(e->SquarePiece[29], Pawn);
  EXPECT_EQ(e->SquareSide[29], Black);

  // Knight takes queen: 1,000,000 + 10 x queen - knight.
  e.Load("4k3/8/8/3q4/8/4N3/8/4K3 w - - 0 1");
  e->GenerateCaptures();
  ASSERT_EQ(e.ListedMoves(), (std::vector<std::string>{"e3d5"}));
  EXPECT_EQ(e->MoveList[0].score, 1000039);
}

TEST(Generation, DoubleStepSetsEnPassantSquareEvenWithNoTaker) {
  LinkedEngine e(StartFen);
  ASSERT_TRUE(e->DoMove(e.Find("e2e4")));
  EXPECT_EQ(e->EpSquare, 44);
  ASSERT_TRUE(e->DoMove(e.Find("g8f6")));
  EXPECT_EQ(e->EpSquare, -1);
  e->UndoMove();
  EXPECT_EQ(e->EpSquare, 44);
}

TEST(Castling, RejectedInCheckThroughPiecesOrAcrossAttackedSquares) {
  struct Case {
    const char* fen;
    const char* move;
    bool legal;
  };
  const Case cases[] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1g1", true},
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", true},
      {"r3k2r/8/8/8/4r3/8/8/R3K2R w KQkq - 0 1", "e1g1", false},   // in check
      {"r3k2r/8/8/8/8/8/8/R3KB1R w KQkq - 0 1", "e1g1", false},    // f1 occupied
      {"r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", "e1c1", false},    // b1 occupied
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", "e1c1", true},
      {"r3k2r/8/8/8/5r2/8/8/R3K2R w KQkq - 0 1", "e1g1", false},   // f1 attacked
      {"r3k2r/8/8/8/6r1/8/8/R3K2R w KQkq - 0 1", "e1g1", false},   // g1 attacked
      {"r3k2r/8/8/8/1r6/8/8/R3K2R w KQkq - 0 1", "e1c1", true},    // only b1 attacked
      {"r3k2r/8/8/8/3r4/8/8/R3K2R w KQkq - 0 1", "e1c1", false},   // d1 attacked
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8g8", true},
      {"r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", "e8c8", true},
      {"r3k2r/8/8/8/8/5R2/8/4K3 b kq - 0 1", "e8g8", false},       // f8 attacked
      {"r3k2r/8/8/8/8/2R5/8/4K3 b kq - 0 1", "e8c8", false},       // c8 attacked
  };
  for (const Case& c : cases) {
    LinkedEngine e(c.fen);
    const std::string before = e.Snapshot();
    const bool made = e->DoMove(e.Find(c.move));
    EXPECT_EQ(made, c.legal) << c.fen << " " << c.move;
    if (made) {
      const int rook = std::string(c.move) == "e1g1" ? 61 : std::string(c.move) == "e1c1" ? 59
                       : std::string(c.move) == "e8g8" ? 5 : 3;
      EXPECT_EQ(e->SquarePiece[rook], Rook) << c.move;
      e->UndoMove();
    }
    EXPECT_EQ(e.Snapshot(), before) << c.fen << " " << c.move;
  }
}

TEST(Castling, RightsFollowTheMaskAndComeBackOnUndo) {
  LinkedEngine e("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
  ASSERT_TRUE(e->DoMove(e.Find("h1h8")));  // takes the rook on its corner
  EXPECT_EQ(e->CastleRights, 2 | 8);
  e->UndoMove();
  EXPECT_EQ(e->CastleRights, 15);
  ASSERT_TRUE(e->DoMove(e.Find("e1d1")));
  EXPECT_EQ(e->CastleRights, 4 | 8);
  e->UndoMove();
  ASSERT_TRUE(e->DoMove(e.Find("a1b1")));
  EXPECT_EQ(e->CastleRights, 1 | 4 | 8);
}

TEST(Castling, RightsWithoutTheirRookOrKingAreDroppedOnLoad) {
  // A bishop takes the rook on h8: the board keeps Black's king-side right
  // (a capture on the corner takes none away). Castling on it would empty
  // h8, take the bishop off and bring back a Black rook on undo.
  LinkedEngine e("r3k2r/6B1/8/8/8/8/8/R3K3 w KQkq - 0 1");
  ASSERT_TRUE(e.game->MakeMove(Square::G7, Square::H8));
  ASSERT_TRUE(e.game->CastlingAllowed().Contains(CanStillCastle::BlackKingSide));
  e->LoadPosition();
  EXPECT_EQ(e->CastleRights, 2 | 8);
  e->GenerateMoves();
  for (const std::string& name : e.ListedMoves()) EXPECT_NE(name, "e8g8");

  const std::string before = e.Snapshot();
  e->setSearchDepth(3);
  e->SearchBestMove();
  EXPECT_EQ(e.Snapshot(), before);

  e.Load("4k3/8/8/8/8/8/8/R2K3R w KQ - 0 1");  // king off e1
  EXPECT_EQ(e->CastleRights, 0);
}

TEST(Castling, InconsistentEnPassantSquareIsDroppedOnLoad) {
  // The square is kept for the side that may capture onto it...
  LinkedEngine e("4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1");
  EXPECT_EQ(e->EpSquare, 44);
  // ...but not once the side to move was changed behind the double step.
  e.Load("4k3/8/8/8/3pP3/8/8/4K3 w - e3 0 1");
  EXPECT_EQ(e->EpSquare, -1);
  // Nor when the pawn that passed over it is gone.
  e.Load("4k3/8/8/8/3p4/8/8/4K3 b - e3 0 1");
  EXPECT_EQ(e->EpSquare, -1);
}

TEST(Attacks, KingAttackedNeedsAKingAndFindsEachKindOfAttacker) {
  LinkedEngine e("8/8/8/8/8/8/8/R7 w - - 0 1");
  EXPECT_FALSE(e->KingAttacked(White));
  EXPECT_FALSE(e->KingAttacked(Black));

  struct Case {
    const char* fen;
    bool attacked;
  };
  const Case cases[] = {
      {"8/8/8/8/8/8/3p4/4K2k w - - 0 1", true},   // black pawn d2 hits e1
      {"8/8/8/8/8/8/4p3/4K2k w - - 0 1", false},  // straight ahead is no attack
      {"8/8/8/8/8/3n4/8/4K2k w - - 0 1", true},
      {"8/8/8/8/8/8/8/4Kk2 w - - 0 1", true},
      {"8/8/8/b7/8/8/8/4K2k w - - 0 1", true},
      {"8/8/8/b7/8/2P5/8/4K2k w - - 0 1", false},
      {"4r3/8/8/8/8/8/8/4K2k w - - 0 1", true},
      {"4r3/8/8/8/4N3/8/8/4K2k w - - 0 1", false},
      {"8/8/8/8/8/8/8/q3K2k w - - 0 1", true},
      {"8/8/8/8/8/8/8/r2BK2k w - - 0 1", false},
  };
  for (const Case& c : cases) {
    e.Load(c.fen);
    EXPECT_EQ(e->KingAttacked(White), c.attacked) << c.fen;
  }
  // White pawns attack upwards.
  e.Load("3k4/4P3/8/8/8/8/8/4K3 b - - 0 1");
  EXPECT_TRUE(e->KingAttacked(Black));
}

TEST(Perft, CountsOfTheStartAndKiwipetePositions) {
  EXPECT_EQ(PerftOf(StartFen, 1), 20u);
  EXPECT_EQ(PerftOf(StartFen, 2), 400u);
  EXPECT_EQ(PerftOf(StartFen, 3), 8902u);
  EXPECT_EQ(PerftOf(StartFen, 4), 197281u);
  EXPECT_EQ(PerftOf(KiwipeteFen, 1), 48u);
  EXPECT_EQ(PerftOf(KiwipeteFen, 2), 2039u);
  EXPECT_EQ(PerftOf(KiwipeteFen, 3), 97862u);
}

TEST(Perft, LeavesTheEngineBoardAsItWas) {
  LinkedEngine e(KiwipeteFen);
  const std::string before = e.Snapshot();
  e->Perft(3);
  EXPECT_EQ(e.Snapshot(), before);
}
