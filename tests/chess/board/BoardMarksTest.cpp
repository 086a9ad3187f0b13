// The marked squares (the last move, a hint, the selected piece) on the
// board's canvas, and moves made by clicking instead of dragging.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chess/board/TChessBrd.h"
#include "tests/chess/board/BoardTestSupport.h"

using namespace boardtest;

namespace {

QRect Box(const TChessBrd& board, Square s) { return {board.SquareOrigin(s), QSize(40, 40)}; }

// The corner pixel of a square: outside every piece's silhouette, inside
// the frame a mark draws.
QRgb Corner(const TChessBrd& board, Square s) { return board.Canvas().pixel(board.SquareOrigin(s)); }

class Marks : public ::testing::Test {
 protected:
  TChessBrd board;
  std::vector<Square> illegal;
  void SetUp() override {
    board.setAnimateMoves(false);
    board.Paint();
    board.OnIllegalMove = [this](TChessGame*, Square s) { illegal.push_back(s); };
  }
  // The canvas of a board that shows no marks, in the same game.
  QImage Unmarked(bool whiteOnTop = false) const {
    TChessBrd plain;
    plain.setWhiteOnTop(whiteOnTop);
    plain.setPosition(board.Position());
    plain.setWhiteToMove(board.WhiteToMove());
    plain.Paint();
    return plain.Canvas();
  }
  void Click(Square s) {
    Press(board, Centre(board, s));
    Release(board, Centre(board, s));
  }
};

TEST_F(Marks, TheLastMoveIsMarkedOnlyWhenAskedAndFollowsTheGame) {
  ASSERT_TRUE(board.UserMove(Square::E2, Square::E4));
  EXPECT_EQ(board.Canvas(), Unmarked()) << "off by default: today's pixels";
  board.setShowLastMove(true);
  EXPECT_EQ(board.LastMove(), std::pair(Square::E2, Square::E4));
  const QImage marked = board.Canvas();
  const QImage plain = Unmarked();
  for (int n = 1; n <= 64; ++n) {
    const Square s = SquareFromIndex(n);
    const bool same = marked.copy(Box(board, s)) == plain.copy(Box(board, s));
    EXPECT_EQ(same, s != Square::E2 && s != Square::E4) << n;
  }
  // The piece stays drawn over the tint.
  EXPECT_LT(qGray(marked.pixel(Box(board, Square::E4).center())), qGray(Corner(board, Square::E4)) + 80);

  // The next move moves the marks; the squares left behind are as before.
  ASSERT_TRUE(board.UserMove(Square::E7, Square::E5));
  EXPECT_EQ(board.LastMove(), std::pair(Square::E7, Square::E5));
  const QImage after = Unmarked();
  for (const Square s : {Square::E2, Square::E4, Square::D4})
    EXPECT_EQ(board.Canvas().copy(Box(board, s)), after.copy(Box(board, s))) << SquareIndex(s);
  EXPECT_NE(board.Canvas().copy(Box(board, Square::E5)), after.copy(Box(board, Square::E5)));

  // A full repaint (as after a move taken back) draws the same marks.
  const QImage before = board.Canvas();
  board.Paint();
  EXPECT_EQ(board.Canvas(), before);
  // Flipped, the marks go with their squares.
  board.setWhiteOnTop(true);
  const QImage flipped = Unmarked(true);
  EXPECT_NE(board.Canvas().copy(Box(board, Square::E5)), flipped.copy(Box(board, Square::E5)));
  EXPECT_EQ(board.Canvas().copy(Box(board, Square::E4)), flipped.copy(Box(board, Square::E4)));
  board.setWhiteOnTop(false);
  board.setShowLastMove(false);
  EXPECT_EQ(board.Canvas(), Unmarked());
}

TEST_F(Marks, AHintMarksItsTwoSquaresUntilTheNextMoveInAColourOfItsOwn) {
  board.setShowLastMove(true);
  board.setHintSquares(Square::G1, Square::F3);
  const QRgb hint = Corner(board, Square::G1);
  EXPECT_NE(hint, Unmarked().pixel(board.SquareOrigin(Square::G1)));
  EXPECT_NE(Corner(board, Square::F3), Unmarked().pixel(board.SquareOrigin(Square::F3)));
  ASSERT_TRUE(board.UserMove(Square::D2, Square::D4));
  EXPECT_EQ(board.HintSquares(), std::pair(Square::None, Square::None));
  EXPECT_EQ(Corner(board, Square::G1), Unmarked().pixel(board.SquareOrigin(Square::G1)));
  EXPECT_NE(Corner(board, Square::D4), hint) << "the last move's tint differs from the hint's";
  board.setHintSquares(Square::G8, Square::F6);
  board.setHintSquares(Square::None, Square::None);
  board.setShowLastMove(false);
  EXPECT_EQ(board.Canvas(), Unmarked());
}

TEST_F(Marks, AClickedPieceThenAClickedSquareMakesTheMoveWhenClickMovesAreOn) {
  std::vector<std::string> moves;
  board.OnLegalMove = [&](TChessGame*, Square from, Square to) {
    moves.push_back(std::to_string(SquareIndex(from)) + "-" + std::to_string(SquareIndex(to)));
  };
  // Off (today): a click on a piece puts it back and makes no move.
  Click(Square::G1);
  Click(Square::F3);
  EXPECT_TRUE(moves.empty());
  EXPECT_EQ(board.SelectedSquare(), Square::None);
  EXPECT_EQ(illegal, std::vector<Square>{Square::G1});

  board.setClickMoves(true);
  illegal.clear();
  Click(Square::G1);
  EXPECT_EQ(board.SelectedSquare(), Square::G1);
  EXPECT_TRUE(illegal.empty()) << "a selection is no failed move";
  EXPECT_NE(Corner(board, Square::G1), Unmarked().pixel(board.SquareOrigin(Square::G1)));
  Click(Square::F3);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(board.PieceAt(Square::F3), 'N');
  EXPECT_EQ(board.SelectedSquare(), Square::None);
  EXPECT_EQ(board.Canvas(), Unmarked()) << "the move drawn in place, the selection gone";

  // Black's turn: White's pieces are not picked; a square the selected
  // piece cannot reach ends the selection without a move; another piece of
  // the side to move takes the selection over.
  Click(Square::E2);
  EXPECT_EQ(board.SelectedSquare(), Square::None);
  Click(Square::B8);
  Click(Square::B5);
  EXPECT_EQ(board.SelectedSquare(), Square::None);
  EXPECT_EQ(moves.size(), 1u);
  Click(Square::B8);
  Click(Square::G8);
  EXPECT_EQ(board.SelectedSquare(), Square::G8);
  Click(Square::F6);
  EXPECT_EQ(moves.size(), 2u);
  EXPECT_EQ(board.PieceAt(Square::F6), 'n');

  // Dragging still works with click moves on.
  DragTo(board, Centre(board, Square::E2), Centre(board, Square::E4));
  EXPECT_EQ(board.PieceAt(Square::E4), 'P');
  EXPECT_EQ(moves.size(), 3u);
}

}  // namespace
