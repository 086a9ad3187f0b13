// The drag protocol with synthetic mouse and key input, and the paths of
// move animations.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "chess/board/TChessBrd.h"
#include "tests/chess/board/BoardTestSupport.h"

using namespace perch;

using namespace boardtest;

namespace {

class DragTest : public ::testing::Test {
 protected:
  TChessBrd board;
  std::vector<std::string> log;
  std::vector<Square> illegal;
  std::vector<QPoint> steps;  // where each animation step showed the image

  QPoint At(Square s) const { return Centre(board, s); }
  void SetUp() override {
    board.Paint();
    board.OnIllegalMove = [this](TChessGame*, Square s) { illegal.push_back(s); };
    board.OnLegalMove = [this](TChessGame*, Square, Square) { log.push_back("legal"); };
    board.AnimationStepHook = [this](QPoint p) { steps.push_back(p); };
  }
  // A position of the pieces given, White to move.
  void Put(std::initializer_list<std::pair<Square, char>> pieces) {
    std::string pos(64, ' ');
    for (const auto& [sq, letter] : pieces) pos[SquareIndex(sq) - 1] = letter;
    board.setPosition(pos);
    board.setWhiteToMove(true);
  }
};

TEST_F(DragTest, ALegalDropFiresTheBaseEventsFirstAndMakesTheMoveUnanimated) {
  auto note = [this](const char* what) { return [this, what](auto&&...) { log.push_back(what); }; };
  board.OnMouseDown = note("down");
  board.OnMouseUp = note("up");
  board.OnClick = note("click");
  board.OnStartDrag = note("start");
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
  const QImage before = board.Canvas();
  DragTo(board, At(Square::E2), At(Square::E4));
  EXPECT_EQ(log, (std::vector<std::string>{"down", "up", "click", "start", "over", "drop", "legal", "end"}));
  EXPECT_EQ(board.PieceAt(Square::E4), 'P');
  EXPECT_EQ(board.PieceAt(Square::E2), ' ');
  EXPECT_FALSE(board.WhiteToMove());
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(board.DropSquare(), Square::E4);
  EXPECT_FALSE(board.DragImageShown());
  EXPECT_NE(board.Canvas(), before);
  // Nor is any move animated with animation switched off.
  board.setAnimateMoves(false);
  ASSERT_TRUE(board.MakeMove(Square::E7, Square::E5));
  EXPECT_TRUE(steps.empty());
  EXPECT_EQ(board.Canvas().pixel(board.SquareOrigin(Square::E7) + QPoint(20, 30)), qRgb(128, 128, 128));
}

TEST_F(DragTest, EveryDragWithoutAMovePutsThePieceBackAndIsReportedWhateverOnDragOverSays) {
  const QImage start = board.Canvas();
  const QPoint e2 = At(Square::E2), g1 = At(Square::G1);
  auto lift = [&](QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    Press(board, from, button);
    Move(board, to, button);
  };
  for (const bool handler : {false, true}) {
    SCOPED_TRACE(handler ? "OnDragOver accepts everything" : "no OnDragOver");
    if (handler) board.OnDragOver = [](TChessGame*, QObject*, int, int, TDragState, bool&) {};
    illegal.clear();
    // Clicks: on an empty square and on the border nothing, on a piece a report.
    for (const QPoint at : {At(Square::E4), QPoint(5, 5), e2}) {
      Press(board, at);
      Release(board, at);
    }
    DragTo(board, e2, At(Square::E5));              // no legal move there
    DragTo(board, At(Square::E7), At(Square::E5));  // Black's piece, White to move
    lift(e2, e2 + QPoint(0, -20));                  // released outside the board
    Move(board, {400, 100});
    Release(board, {400, 100});
    lift(e2, e2 + QPoint(0, -30));  // Escape during the drag
    EXPECT_TRUE(board.DragImageShown());
    Key(board, Qt::Key_Escape);
    EXPECT_FALSE(board.DragImageShown());
    Release(board, e2 + QPoint(0, -30));
    lift(e2, e2 + QPoint(0, -40), Qt::MiddleButton);  // a middle-button release
    Release(board, e2 + QPoint(0, -40), Qt::MiddleButton);
    // Dropped on its own square: no report. Lifted, the square shows no piece.
    lift(g1, g1 + QPoint(0, -30));
    const QRect square(board.SquareOrigin(Square::G1), QSize(40, 40));
    EXPECT_EQ(board.Canvas().copy(square), start.copy(square.translated(0, -80))) << "as G3";
    Move(board, g1 + QPoint(3, 2));
    Release(board, g1 + QPoint(3, 2));
    EXPECT_EQ(board.DropSquare(), Square::G1);
    EXPECT_FALSE(board.DragImageShown());

    EXPECT_EQ(illegal,
              (std::vector<Square>{Square::E2, Square::E2, Square::E7, Square::E2, Square::E2, Square::E2}));
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(board.Canvas(), start) << "every piece stands where it stood";
  }
}

// --- animation paths ---------------------------------------------------------------

using AnimationTest = DragTest;

TEST_F(AnimationTest, PiecesMoveOnePixelPerStepAndKnightsAlongAnLWithTheCornerTwice) {
  struct Leg {
    int count;
    QPoint step;
  };
  const struct {
    char piece;
    Square from, to;
    QPoint first;
    std::vector<Leg> legs;
  } cases[] = {{'N', Square::G1, Square::F3, {264, 304}, {{41, {-1, 0}}, {81, {0, -1}}}},
               {'B', Square::A1, Square::H8, {24, 304}, {{281, {1, -1}}}},
               {'R', Square::A1, Square::A8, {24, 304}, {{281, {0, -1}}}},
               {'K', Square::H6, Square::G6, {304, 104}, {{41, {-1, 0}}}}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.piece);
    Put({{k.from, k.piece}, {Square::H2, k.piece == 'K' ? 'B' : 'K'}, {Square::H4, 'k'}});
    steps.clear();
    ASSERT_TRUE(board.MakeMove(k.from, k.to));
    std::size_t i = 0;
    QPoint at = k.first;  // each leg starts where the last one ended
    for (const Leg& leg : k.legs)
      for (int j = 0; j < leg.count; ++j, ++i) {
        if (j > 0) at += leg.step;
        ASSERT_LT(i, steps.size());
        ASSERT_EQ(steps[i], at) << "step " << i;
      }
    EXPECT_EQ(i, steps.size());
    EXPECT_FALSE(board.DragImageShown());
    EXPECT_EQ(board.PieceAt(k.to), k.piece);
  }
}

TEST_F(AnimationTest, EveryStepWaitsLongerThanTheDelay) {
  board.setAnimationDelay(20);
  std::vector<std::chrono::steady_clock::time_point> times;
  board.AnimationStepHook = [&](QPoint) { times.push_back(std::chrono::steady_clock::now()); };
  Put({{Square::E1, 'K'}, {Square::E8, 'k'}});
  board.setSizeOfSquare(4);  // a short move: 5 steps
  board.setHeight(board.Width());
  board.Paint();
  ASSERT_TRUE(board.MakeMove(Square::E1, Square::F1));
  ASSERT_EQ(times.size(), 5u);
  for (std::size_t i = 1; i < times.size(); ++i)
    EXPECT_GT(times[i] - times[i - 1], std::chrono::milliseconds(20));
}

TEST_F(AnimationTest, AComputerMoveDuringAUsersDragIsNotAnimated) {
  const QPoint e2 = At(Square::E2);
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
