// The board's geometry, its size rule, resizing by the corner, and the
// write rules of its properties.

#include <gtest/gtest.h>

#include "chess/board/TChessBrd.h"
#include "tests/chess/board/BoardTestSupport.h"

using namespace perch;

namespace {

TEST(Geometry, SquaresAndPixelsBothWays) {
  TChessBrd board;
  // Just outside the 8 x 8 area, on each side.
  for (const QPoint p : {QPoint(23, 100), QPoint(344, 100), QPoint(100, 23), QPoint(100, 344)})
    EXPECT_EQ(board.SquareAtPoint(p.x(), p.y()), Square::None) << p.x() << "," << p.y();
  for (const bool top : {false, true}) {
    board.setWhiteOnTop(top);
    EXPECT_EQ(board.SquareOrigin(Square::E4), top ? QPoint(144, 144) : QPoint(184, 184));
    // Every square maps back to itself, from its first pixel to its last.
    for (int n = 1; n <= 64; ++n) {
      const QPoint o = board.SquareOrigin(SquareFromIndex(n));
      EXPECT_EQ(board.SquareAtPoint(o.x(), o.y()), SquareFromIndex(n));
      EXPECT_EQ(board.SquareAtPoint(o.x() + 39, o.y() + 39), SquareFromIndex(n));
    }
  }
}

TEST(Geometry, SizeWritesSetTheWidthAndTheNextPaintSquaresTheControl) {
  TChessBrd board, other, bordered;
  board.setWidth(500);
  board.setHeight(400);
  board.Paint();
  EXPECT_EQ(board.SizeOfSquare(), 50);
  EXPECT_EQ(board.Height(), 448);
  EXPECT_EQ(board.Canvas().size(), QSize(448, 448));
  other.setSizeOfSquare(60);
  EXPECT_EQ(other.Width(), 528);
  EXPECT_EQ(other.Height(), 368);
  other.Paint();
  EXPECT_EQ(other.SizeOfSquare(), 50);
  bordered.setSizeOfBorder(10);
  EXPECT_EQ(bordered.BoardLeft(), 10);
  EXPECT_EQ(bordered.Width(), 340);
}

TEST(Geometry, ResizingByTheCornerWithinTheLimits) {
  using boardtest::Move;
  TChessBrd board, fixed;
  board.setResizable(true);
  Move(board, {100, 100}, Qt::NoButton);
  EXPECT_EQ(board.Cursor(), Qt::ArrowCursor);
  Move(board, {362, 362}, Qt::NoButton);
  EXPECT_EQ(board.Cursor(), Qt::SizeFDiagCursor);
  EXPECT_FALSE(board.Resizing());
  boardtest::Press(board, {362, 362});
  Move(board, {363, 363});
  EXPECT_TRUE(board.Resizing());
  for (const auto& [x, y, width] : {std::tuple(250, 600, 600), {50, 40, 100}, {5000, 10, 1000}}) {
    Move(board, {x, y});
    EXPECT_EQ(board.Width(), width);
  }
  boardtest::Release(board, {5000, 10});
  EXPECT_FALSE(board.Resizing());
  Move(board, {5, 5}, Qt::NoButton);
  EXPECT_EQ(board.Cursor(), Qt::ArrowCursor);
  // Not resizable: no sizing cursor, no resize.
  Move(fixed, {362, 362}, Qt::NoButton);
  EXPECT_EQ(fixed.Cursor(), Qt::ArrowCursor);
  boardtest::Press(fixed, {362, 362});
  Move(fixed, {500, 500});
  EXPECT_EQ(fixed.Width(), 368);
}

TEST(Properties, WritesAreClampedToTheirRanges) {
  TChessBrd board;
  for (const auto& [depth, stored] : {std::pair(0, 1), {-5, 1}, {9, 8}, {5, 5}}) {
    board.setSearchDepth(depth);
    EXPECT_EQ(board.SearchDepth(), stored) << depth;
  }
  board.setResizeMinSize(2000);
  EXPECT_EQ(board.ResizeMinSize(), 1000);
  board.setResizeMinSize(100);
  board.setResizeMaxSize(50);
  EXPECT_EQ(board.ResizeMaxSize(), 100);
}

TEST(Properties, AppearanceWritesRepaintAtOnceAndOnPaintFiresOnceBeforeDrawing) {
  TChessBrd board;
  const QImage& c = board.Canvas();
  board.setSquareColorLight(QColor(10, 20, 30));
  EXPECT_EQ(c.pixel(25, 25), qRgb(10, 20, 30));
  board.setSquareColorDark(QColor(40, 50, 60));
  EXPECT_EQ(c.pixel(65, 25), qRgb(40, 50, 60));
  board.setBorderColor(QColor(1, 2, 3));
  EXPECT_EQ(c.pixel(5, 5), qRgb(1, 2, 3));
  board.setPosition(std::string(64, ' '));
  EXPECT_EQ(c.pixel(45, 45), qRgb(10, 20, 30)) << "the rook on A8 is gone";
  // The handler's own repaint draws but does not fire OnPaint again.
  int paints = 0;
  QRgb seen = 0;
  board.OnPaint = [&](TChessGame* sender) {
    EXPECT_EQ(sender, static_cast<TChessGame*>(&board));
    seen = c.pixel(5, 5);
    ++paints;
    board.setBoardLines(!board.BoardLines());
  };
  board.setBorderColor(QColor(9, 9, 9));
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(seen, qRgb(1, 2, 3));
  EXPECT_EQ(c.pixel(5, 5), qRgb(9, 9, 9));
}

TEST(Properties, DesignModeDrawsButFiresNoOnPaint) {
  TChessBrd board(nullptr, true);
  int paints = 0;
  board.OnPaint = [&](TChessGame*) { ++paints; };
  board.Paint();
  EXPECT_EQ(paints, 0);
  EXPECT_EQ(board.Canvas().pixel(25, 25), qRgb(192, 192, 192));
}

}  // namespace
