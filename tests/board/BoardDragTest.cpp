// The drag protocol with synthetic mouse and key input, and the paths of
// move animations.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "chess/board/TChessBrd.h"
#include "tests/board/BoardTestSupport.h"

using boardtest::Centre;
using boardtest::DragTo;
using boardtest::Key;
using boardtest::Move;
using boardtest::Press;
using boardtest::Release;

namespace {

int N(Square s) { return SquareIndex(s); }

class DragTest : public ::testing::Test {
 protected:
  TChessBrd board;
  std::vector<std::string> log;
  std::vector<Square> illegal;
  int animationSteps = 0;

  void SetUp() override {
    board.Paint();
    board.OnIllegalMove = [this](TChessGame*, Square s) {
      illegal.push_back(s);
      log.push_back("illegal");
    };
    board.OnLegalMove = [this](TChessGame*, Square, Square) { log.push_back("legal"); };
    board.AnimationStepHook = [this](QPoint) { ++animationSteps; };
  }
};

TEST_F(DragTest, APlainClickOrAPressOffThePiecesStartsNothingButAClickOnAPieceIsReported) {
  const std::string before = board.Position();
  Press(board, Centre(board, N(Square::E4)));
  Release(board, Centre(board, N(Square::E4)));
  Press(board, {5, 5});
  Release(board, {5, 5});
  EXPECT_TRUE(illegal.empty());
  Press(board, Centre(board, N(Square::E2)));
  Release(board, Centre(board, N(Square::E2)));
  EXPECT_EQ(illegal, std::vector<Square>{Square::E2});
  EXPECT_EQ(board.Position(), before);
  EXPECT_EQ(board.DragFromSquare(), Square::E2);
}

TEST_F(DragTest, ALegalDropMakesTheMoveWithoutAnimation) {
  const QImage before = board.Canvas();
  DragTo(board, Centre(board, N(Square::E2)), Centre(board, N(Square::E4)));
  EXPECT_EQ(board.PieceAt(Square::E4), 'P');
  EXPECT_EQ(board.PieceAt(Square::E2), ' ');
  EXPECT_FALSE(board.WhiteToMove());
  EXPECT_EQ(log, std::vector<std::string>{"legal"});
  EXPECT_EQ(animationSteps, 0);
  EXPECT_EQ(board.DropSquare(), Square::E4);
  EXPECT_FALSE(board.DragImageShown());
  EXPECT_NE(board.Canvas(), before);
}

TEST_F(DragTest, EveryDragWithoutAMovePutsThePieceBackAndIsReported) {
  const QImage start = board.Canvas();
  const QPoint e2 = Centre(board, N(Square::E2));
  // No legal move there.
  DragTo(board, e2, Centre(board, N(Square::E5)));
  // A Black piece while White is to move.
  DragTo(board, Centre(board, N(Square::E7)), Centre(board, N(Square::E5)));
  // Released outside the board.
  Press(board, e2);
  Move(board, e2 + QPoint(0, -20));
  Move(board, {400, 100});
  Release(board, {400, 100});
  // Escape during the drag.
  Press(board, e2);
  Move(board, e2 + QPoint(0, -30));
  EXPECT_TRUE(board.DragImageShown());
  Key(board, Qt::Key_Escape);
  EXPECT_FALSE(board.DragImageShown());
  Release(board, e2 + QPoint(0, -30));
  // A middle-button release cancels too.
  Press(board, e2, Qt::MiddleButton);
  Move(board, e2 + QPoint(0, -40), Qt::MiddleButton);
  Release(board, e2 + QPoint(0, -40), Qt::MiddleButton);

  EXPECT_EQ(illegal, (std::vector<Square>{Square::E2, Square::E7, Square::E2, Square::E2,
                                          Square::E2}));
  EXPECT_TRUE(board.WhiteToMove());
  EXPECT_EQ(board.Canvas(), start) << "every piece stands where it stood";
}

TEST_F(DragTest, DroppingOnTheOriginPutsThePieceBackWithoutAnyEvent) {
  const QImage start = board.Canvas();
  const QPoint g1 = Centre(board, N(Square::G1));
  Press(board, g1);
  Move(board, g1 + QPoint(0, -30));
  // Lifted: the origin square shows no piece while the image is shown.
  const QRect square(board.SquareOrigin(Square::G1), QSize(40, 40));
  QImage plain(40, 40, QImage::Format_RGB32);
  plain.fill(QColor(128, 128, 128));
  EXPECT_EQ(board.Canvas().copy(square), plain);
  EXPECT_TRUE(board.DragImageShown());
  Move(board, g1 + QPoint(3, 2));
  Release(board, g1 + QPoint(3, 2));
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(board.DropSquare(), Square::G1);
  EXPECT_EQ(board.Canvas(), start);
  EXPECT_FALSE(board.DragImageShown());
}

TEST_F(DragTest, TheBaseEventsComeBeforeTheBoardsOwnSteps) {
  board.OnMouseDown = [this](TChessGame*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    log.push_back("down");
  };
  board.OnMouseUp = [this](TChessGame*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    log.push_back("up");
  };
  board.OnClick = [this](TChessGame*) { log.push_back("click"); };
  board.OnStartDrag = [this](TChessGame*) { log.push_back("start"); };
  board.OnDragOver = [this](TChessGame*, QObject*, int, int, TDragState, bool& accept) {
    EXPECT_TRUE(accept);
    accept = false;  // the board may still accept
    if (log.back() != "over") log.push_back("over");
  };
  board.OnDragDrop = [this](TChessGame*, QObject* source, int, int) {
    EXPECT_EQ(source, &board);
    log.push_back("drop");
  };
  board.OnEndDrag = [this](TChessGame*, QObject* target, int, int) {
    log.push_back(target ? "end" : "end-cancelled");
  };
  DragTo(board, Centre(board, N(Square::D2)), Centre(board, N(Square::D4)));
  EXPECT_EQ(log, (std::vector<std::string>{"down", "up", "click", "start", "over", "drop",
                                           "legal", "end"}));
}

TEST_F(DragTest, AnAcceptingOnDragOverCannotForceAnIllegalMove) {
  board.OnDragOver = [](TChessGame*, QObject*, int, int, TDragState, bool&) {};  // leaves true
  DragTo(board, Centre(board, N(Square::E2)), Centre(board, N(Square::E6)));
  EXPECT_EQ(board.PieceAt(Square::E2), 'P');
  EXPECT_EQ(illegal, std::vector<Square>{Square::E2});
  EXPECT_TRUE(board.WhiteToMove());
}

// --- animation paths ---------------------------------------------------------------

class AnimationTest : public ::testing::Test {
 protected:
  TChessBrd board;
  std::vector<QPoint> steps;
  void SetUp() override {
    board.AnimationStepHook = [this](QPoint p) { steps.push_back(p); };
  }
};

TEST_F(AnimationTest, AKnightTravelsAnLWithTheCornerTwice) {
  board.Paint();
  board.setWhiteToMove(false);
  ASSERT_TRUE(board.MakeMove(Square::G8, Square::F6));
  ASSERT_EQ(steps.size(), 41u + 81u);
  EXPECT_EQ(steps.front(), QPoint(264, 24));
  EXPECT_EQ(steps[40], QPoint(224, 24));
  EXPECT_EQ(steps[41], QPoint(224, 24));
  EXPECT_EQ(steps.back(), QPoint(224, 104));
  for (std::size_t i = 1; i < 41; ++i) EXPECT_EQ(steps[i], steps[i - 1] + QPoint(-1, 0));
  for (std::size_t i = 42; i < steps.size(); ++i) EXPECT_EQ(steps[i], steps[i - 1] + QPoint(0, 1));
  EXPECT_FALSE(board.DragImageShown());
  EXPECT_EQ(board.PieceAt(Square::F6), 'n');
}

TEST_F(AnimationTest, ABishopCrossesTheWholeDiagonalOnePixelPerStep) {
  std::string pos(64, ' ');
  pos[SquareIndex(Square::A1) - 1] = 'B';
  pos[SquareIndex(Square::H2) - 1] = 'K';
  pos[SquareIndex(Square::A7) - 1] = 'k';
  board.setPosition(pos);
  board.Paint();
  ASSERT_TRUE(board.MakeMove(Square::A1, Square::H8));
  ASSERT_EQ(steps.size(), 281u);
  EXPECT_EQ(steps.front(), QPoint(24, 304));
  EXPECT_EQ(steps.back(), QPoint(304, 24));
  for (std::size_t i = 1; i < steps.size(); ++i) EXPECT_EQ(steps[i], steps[i - 1] + QPoint(1, -1));
}

TEST_F(AnimationTest, ShallowLinesStepAlongTheLongerAxis) {
  // A rook from A1 to A8 moves straight up, 281 steps with x fixed.
  std::string pos(64, ' ');
  pos[SquareIndex(Square::A1) - 1] = 'R';
  pos[SquareIndex(Square::E1) - 1] = 'K';
  pos[SquareIndex(Square::H6) - 1] = 'k';
  board.setPosition(pos);
  ASSERT_TRUE(board.MakeMove(Square::A1, Square::A8));
  ASSERT_EQ(steps.size(), 281u);
  for (const QPoint& p : steps) EXPECT_EQ(p.x(), 24);
  // A king's step sideways: 41 steps.
  steps.clear();
  ASSERT_TRUE(board.MakeMove(Square::H6, Square::G6));
  EXPECT_EQ(steps.size(), 41u);
}

TEST_F(AnimationTest, NoAnimationWhenSwitchedOffOrWhenTheUserJustDroppedTheMove) {
  board.setAnimateMoves(false);
  ASSERT_TRUE(board.MakeMove(Square::E2, Square::E4));
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(board.Canvas().pixel(board.SquareOrigin(Square::E2) + QPoint(20, 30)),
            qRgb(192, 192, 192));
  board.setAnimateMoves(true);
  DragTo(board, Centre(board, N(Square::E7)), Centre(board, N(Square::E5)));
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(board.PieceAt(Square::E5), 'p');
}

TEST_F(AnimationTest, EveryStepWaitsLongerThanTheDelay) {
  board.setAnimationDelay(20);
  std::vector<std::chrono::steady_clock::time_point> times;
  board.AnimationStepHook = [&](QPoint) { times.push_back(std::chrono::steady_clock::now()); };
  std::string pos(64, ' ');
  pos[SquareIndex(Square::E1) - 1] = 'K';
  pos[SquareIndex(Square::E8) - 1] = 'k';
  board.setPosition(pos);
  board.setSizeOfSquare(4);  // a short move: 5 steps
  board.setHeight(board.Width());
  board.Paint();
  ASSERT_TRUE(board.MakeMove(Square::E1, Square::F1));
  ASSERT_EQ(times.size(), 5u);
  for (std::size_t i = 1; i < times.size(); ++i)
    EXPECT_GT(times[i] - times[i - 1], std::chrono::milliseconds(20));
}

TEST_F(AnimationTest, AComputerMoveDuringAUsersDragIsNotAnimated) {
  board.Paint();
  const QPoint e2 = Centre(board, N(Square::E2));
  Press(board, e2);
  Move(board, e2 + QPoint(0, -30));
  ASSERT_TRUE(board.DragImageShown());
  board.setWhiteToMove(false);
  ASSERT_TRUE(board.MakeMove(Square::E7, Square::E5));
  EXPECT_TRUE(steps.empty());
  EXPECT_FALSE(board.DragImageShown());
  // The drag goes on: its next move lifts the piece again.
  Move(board, e2 + QPoint(0, -40));
  EXPECT_TRUE(board.DragImageShown());
  Key(board, Qt::Key_Escape);
}

}  // namespace
