// Legality of moves: movement of each piece, castling, en passant, the test
// of the own king, positions without kings and the repetition test.

#include <gtest/gtest.h>

#include "ModelTestSupport.h"

namespace {

bool Legal(const TChessGame& game, const char* from, const char* to) {
  return game.IsLegalMove(Sq(from), Sq(to));
}

TEST(Rules, MovesThatNeverStart) {
  TChessGame game;
  EXPECT_FALSE(Legal(game, "e4", "e5"));   // empty origin
  EXPECT_FALSE(Legal(game, "e7", "e5"));   // Black is not to move
  EXPECT_FALSE(Legal(game, "a1", "a2"));   // onto its own piece
  EXPECT_FALSE(Legal(game, "e2", "e2"));   // staying put
  EXPECT_FALSE(game.IsLegalMove(Square::None, Square::E4));
  EXPECT_FALSE(game.IsLegalMove(Square::E2, static_cast<Square>(70)));
  EXPECT_TRUE(Legal(game, "e2", "e4"));
  EXPECT_TRUE(Legal(game, "g1", "f3"));
}

TEST(Rules, PawnSteps) {
  TChessGame game;
  game.setPosition(PositionWith({{"e1", 'K'}, {"e8", 'k'}, {"c2", 'P'}, {"c3", 'n'},
                                 {"d2", 'P'}, {"d4", 'b'}, {"f4", 'P'}, {"f5", 'p'},
                                 {"g2", 'P'}, {"h7", 'p'}, {"h6", 'N'}}));
  EXPECT_FALSE(Legal(game, "c2", "c4"));  // piece on the square passed over
  EXPECT_FALSE(Legal(game, "c2", "c3"));  // no capture straight ahead
  EXPECT_FALSE(Legal(game, "d2", "d4"));  // piece on the target
  EXPECT_TRUE(Legal(game, "d2", "d3"));
  EXPECT_TRUE(Legal(game, "d2", "c3"));   // diagonal capture
  EXPECT_FALSE(Legal(game, "g2", "h3"));  // diagonal onto an empty square
  EXPECT_FALSE(Legal(game, "f4", "f5"));
  EXPECT_FALSE(Legal(game, "g2", "g5"));
  EXPECT_FALSE(Legal(game, "g2", "g1"));  // never backwards
  game.setWhiteToMove(false);
  EXPECT_FALSE(Legal(game, "h7", "h5"));  // the knight on h6 is in the way
  EXPECT_FALSE(Legal(game, "f5", "f4"));
  EXPECT_FALSE(Legal(game, "h7", "g6"));
  EXPECT_TRUE(Legal(game, "f5", "e4") == false && Legal(game, "h7", "h6") == false);
}

TEST(Rules, SlidersStopAtPiecesAndNeverWrap) {
  TChessGame game;
  game.setPosition(PositionWith({{"a1", 'B'}, {"h8", 'r'}, {"c3", 'p'}, {"e1", 'K'},
                                 {"e8", 'k'}, {"h4", 'R'}, {"h5", 'Q'}}));
  EXPECT_FALSE(Legal(game, "a1", "h8"));
  EXPECT_TRUE(Legal(game, "a1", "c3"));
  game.setPosition(PositionWith({{"a1", 'B'}, {"h8", 'r'}, {"e1", 'K'}, {"e8", 'k'},
                                 {"h4", 'R'}, {"h5", 'Q'}}));
  EXPECT_TRUE(Legal(game, "a1", "h8"));
  // Squares next to each other by number but on opposite edges.
  EXPECT_FALSE(Legal(game, "h4", "a3"));
  EXPECT_FALSE(Legal(game, "h5", "a4"));
  EXPECT_FALSE(Legal(game, "h4", "h6"));  // the queen on h5 blocks
  EXPECT_TRUE(Legal(game, "h4", "a4"));
  EXPECT_TRUE(Legal(game, "h5", "d1"));
  EXPECT_FALSE(game.KnightMoveOk(Square::H4, Square::A3));
  EXPECT_TRUE(game.KnightMoveOk(Square::H4, Square::G2));
}

class Castling : public ::testing::Test {
 protected:
  void SetUp() override {
    game.setPosition(PositionWith({{"e1", 'K'}, {"a1", 'R'}, {"h1", 'R'}, {"e8", 'k'}}));
  }
  void Add(const char* square, char piece) {
    std::string text = game.Position();
    text[SquareIndex(Sq(square)) - 1] = piece;
    game.setPosition(text);
  }
  TChessGame game;
};

TEST_F(Castling, KingSideNeedsRightRookEmptyAndSafeSquares) {
  EXPECT_TRUE(Legal(game, "e1", "g1"));
  Add("a6", 'b');  // attacks f1
  EXPECT_FALSE(Legal(game, "e1", "g1"));
  SetUp();
  Add("e4", 'r');  // check
  EXPECT_FALSE(Legal(game, "e1", "g1"));
  EXPECT_FALSE(Legal(game, "e1", "c1"));
  SetUp();
  Add("g1", 'N');
  EXPECT_FALSE(Legal(game, "e1", "g1"));
  SetUp();
  CastleSet rights = CastleSet::All();
  rights.Exclude(CanStillCastle::WhiteKingSide);
  game.setCastlingAllowed(rights);
  EXPECT_FALSE(Legal(game, "e1", "g1"));
  EXPECT_TRUE(Legal(game, "e1", "c1"));
}

TEST_F(Castling, QueenSideMayPassAnAttackedKnightSquare) {
  Add("b5", 'r');  // attacks b1 only
  EXPECT_TRUE(Legal(game, "e1", "c1"));
  SetUp();
  Add("d5", 'r');
  EXPECT_FALSE(Legal(game, "e1", "c1"));
  SetUp();
  Add("b1", 'N');
  EXPECT_FALSE(Legal(game, "e1", "c1"));
}

TEST_F(Castling, OnlyTheRookLetterOnTheCornerCounts) {
  Add("h1", ' ');
  EXPECT_FALSE(Legal(game, "e1", "g1"));
  // The rook is taken on its corner, which takes no right away, and the
  // other rook that retakes there may castle.
  TChessGame other;
  other.setPosition(PositionWith({{"e1", 'K'}, {"h1", 'R'}, {"h2", 'R'}, {"g2", 'b'},
                                  {"e8", 'k'}, {"a8", 'r'}}));
  other.setWhiteToMove(false);
  ASSERT_EQ(Play(other, "g2h1 h2h1 a8a7"), 3);
  EXPECT_TRUE(other.CastlingAllowed().Contains(CanStillCastle::WhiteKingSide));
  EXPECT_TRUE(other.IsLegalMove(Square::E1, Square::G1));
}

TEST_F(Castling, BlackMirrorsWhite) {
  game.setPosition(PositionWith({{"e1", 'K'}, {"a8", 'r'}, {"h8", 'r'}, {"e8", 'k'},
                                 {"c4", 'B'}}));
  game.setWhiteToMove(false);
  EXPECT_TRUE(Legal(game, "e8", "c8"));
  EXPECT_FALSE(Legal(game, "e8", "g8"));  // the bishop watches g8
  game.setPosition(PositionWith({{"e1", 'K'}, {"a8", 'r'}, {"h8", 'r'}, {"e8", 'k'}}));
  EXPECT_TRUE(Legal(game, "e8", "g8"));
}

TEST_F(Castling, ABlackKingOnE1DoesNotUseWhitesRights) {
  game.setPosition(PositionWith({{"e1", 'k'}, {"h1", 'R'}, {"a8", 'K'}}));
  game.setWhiteToMove(false);
  EXPECT_FALSE(Legal(game, "e1", "g1"));
  EXPECT_TRUE(Legal(game, "e1", "e2"));
}

class EnPassant : public ::testing::Test {
 protected:
  // White pawn on e5 with the Black pawn just arrived on d5 by a double step.
  void Arrange(const char* whiteKing, const char* blackRook) {
    game.setPosition(PositionWith({{whiteKing, 'K'}, {"e8", 'k'}, {"e5", 'P'}, {"d7", 'p'},
                                   {blackRook, 'r'}}));
    game.setWhiteToMove(false);
    ASSERT_EQ(Play(game, "d7d5"), 1);
    ASSERT_EQ(game.EnPassant(), Square::D6);
  }
  TChessGame game;
};

TEST_F(EnPassant, OnlyRightAfterTheDoubleStep) {
  Arrange("e1", "a8");
  EXPECT_TRUE(Legal(game, "e5", "d6"));
  EXPECT_FALSE(Legal(game, "e5", "f6"));
  ASSERT_EQ(Play(game, "e1e2 a8a7"), 2);
  EXPECT_FALSE(Legal(game, "e5", "d6"));
}

TEST_F(EnPassant, APawnPinnedAlongItsRankMayNotTake) {
  // Taking would empty both pawns' squares between the king and the rook.
  Arrange("a5", "h5");
  EXPECT_FALSE(Legal(game, "e5", "d6"));
  EXPECT_TRUE(Legal(game, "e5", "e6"));
  EXPECT_TRUE(game.HasLegalMove());
}

TEST_F(EnPassant, TakingTheCheckingPawnIsLegal) {
  game.setPosition(PositionWith({{"e4", 'K'}, {"e8", 'k'}, {"e5", 'P'}, {"d7", 'p'}}));
  game.setWhiteToMove(false);
  ASSERT_EQ(Play(game, "d7d5"), 1);  // gives check to e4
  EXPECT_TRUE(game.WhiteInCheckAfter(Square::A1, Square::A1));
  EXPECT_TRUE(Legal(game, "e5", "d6"));
  EXPECT_FALSE(Legal(game, "e5", "e6"));
}

TEST(AttackTest, PiecesAttackTheirWay) {
  TChessGame game;
  auto whiteAttacked = [&](std::initializer_list<std::pair<const char*, char>> pieces) {
    game.setPosition(PositionWith(pieces));
    return game.WhiteInCheckAfter(Square::E4, Square::E4);
  };
  EXPECT_TRUE(whiteAttacked({{"e4", 'K'}, {"d5", 'p'}}));
  EXPECT_FALSE(whiteAttacked({{"e4", 'K'}, {"d3", 'p'}}));  // pawns attack forward only
  EXPECT_FALSE(whiteAttacked({{"e4", 'K'}, {"e5", 'p'}}));
  EXPECT_TRUE(whiteAttacked({{"e4", 'K'}, {"f6", 'n'}}));
  EXPECT_FALSE(whiteAttacked({{"e4", 'K'}, {"f6", 'N'}}));
  EXPECT_TRUE(whiteAttacked({{"e4", 'K'}, {"h7", 'b'}}));
  EXPECT_FALSE(whiteAttacked({{"e4", 'K'}, {"h7", 'b'}, {"f5", 'P'}}));
  EXPECT_TRUE(whiteAttacked({{"e4", 'K'}, {"e8", 'q'}}));
  EXPECT_TRUE(whiteAttacked({{"e4", 'K'}, {"a4", 'r'}}));
  EXPECT_FALSE(whiteAttacked({{"e4", 'K'}, {"a5", 'r'}}));
  EXPECT_TRUE(whiteAttacked({{"e4", 'K'}, {"f3", 'k'}}));
  EXPECT_FALSE(whiteAttacked({{"e4", 'K'}, {"g2", 'k'}}));
  // A rook on the h-file does not reach round the edge to the a-file.
  EXPECT_FALSE(whiteAttacked({{"a4", 'K'}, {"h5", 'r'}}));

  game.setPosition(PositionWith({{"e5", 'k'}, {"d4", 'P'}}));
  EXPECT_TRUE(game.BlackInCheckAfter(Square::E5, Square::E5));
  game.setPosition(PositionWith({{"e5", 'k'}, {"d6", 'P'}}));
  EXPECT_FALSE(game.BlackInCheckAfter(Square::E5, Square::E5));
}

TEST(AttackTest, LooksAtTheMoveOnACopyOnly) {
  TChessGame game;
  game.setPosition(PositionWith({{"e1", 'K'}, {"e2", 'B'}, {"e8", 'r'}, {"a8", 'k'}}));
  const std::string before = game.Position();
  EXPECT_TRUE(game.WhiteInCheckAfter(Square::E2, Square::D3));   // uncovers the king
  EXPECT_FALSE(game.WhiteInCheckAfter(Square::E1, Square::D1));  // the king steps away
  EXPECT_FALSE(game.WhiteInCheckAfter(Square::E1, Square::E1));
  EXPECT_EQ(game.Position(), before);
  EXPECT_FALSE(Legal(game, "e2", "d3"));
}

TEST(MissingKings, BlackWithoutKingCannotMoveWhiteWithoutKingMovesFreely) {
  TChessGame game;
  game.setPosition(PositionWith({{"a1", 'R'}, {"h8", 'r'}, {"e1", 'K'}}));
  game.setWhiteToMove(false);
  EXPECT_TRUE(game.BlackInCheckAfter(Square::H8, Square::H8));
  EXPECT_FALSE(Legal(game, "h8", "h1"));
  EXPECT_FALSE(game.HasLegalMove());

  game.setPosition(PositionWith({{"a1", 'R'}, {"h8", 'r'}, {"e8", 'k'}}));
  game.setWhiteToMove(true);
  EXPECT_FALSE(game.WhiteInCheckAfter(Square::A1, Square::A1));
  EXPECT_TRUE(Legal(game, "a1", "a8"));
  EXPECT_TRUE(game.HasLegalMove());
}

TEST(Repetition, BothSidesTurnsCountAndAllMovesStopAtThree) {
  TChessGame game;
  // Knights out and back: the starting board returns at White's turn 3
  // (the third time), and every move is refused from then on.
  ASSERT_EQ(Play(game, "g1f3 g8f6 f3g1 f6g8"), 4);
  EXPECT_FALSE(game.IsThreefold());
  ASSERT_EQ(Play(game, "g1f3 g8f6 f3g1 f6g8"), 4);
  EXPECT_TRUE(game.IsThreefold());
  EXPECT_FALSE(game.HasLegalMove());
  for (int f = 1; f <= 64; ++f)
    for (int t = 1; t <= 64; ++t)
      ASSERT_FALSE(game.IsLegalMove(SquareFromIndex(f), SquareFromIndex(t)));

  // The same board at White's turn 1 and at Black's turns 3 and 5: the
  // kings lose a tempo by walking round a triangle.
  TChessGame sides;
  sides.setPosition(PositionWith({{"e1", 'K'}, {"e8", 'k'}, {"a1", 'R'}}));
  const std::string moves = "e1d1 e8d8 d1d2 d8e8 d2e1 e8d8 a1b1 d8e8";
  ASSERT_EQ(Play(sides, moves), CountMoves(moves));
  EXPECT_FALSE(sides.IsThreefold());
  ASSERT_EQ(Play(sides, "b1a1"), 1);
  EXPECT_FALSE(sides.WhiteToMove());
  EXPECT_TRUE(sides.IsThreefold());
}

}  // namespace
