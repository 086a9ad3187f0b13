// The board's geometry, its size rule, resizing by the corner, and the
// defaults and write rules of its properties.

#include <gtest/gtest.h>

#include "chess/board/TChessBrd.h"
#include "tests/board/BoardTestSupport.h"

namespace {

TEST(Geometry, SquaresAndPixelsBothWays) {
  TChessBrd board;
  EXPECT_EQ(board.Width(), 368);
  EXPECT_EQ(board.Height(), 368);
  EXPECT_EQ(board.BoardLeft(), 24);
  EXPECT_EQ(board.SquareAtPoint(24, 24), Square::A8);
  EXPECT_EQ(board.SquareAtPoint(343, 343), Square::H1);
  EXPECT_EQ(board.SquareAtPoint(23, 100), Square::None);
  EXPECT_EQ(board.SquareAtPoint(344, 100), Square::None);
  EXPECT_EQ(board.SquareAtPoint(100, 344), Square::None);
  EXPECT_EQ(board.SquareOrigin(Square::E4), QPoint(184, 184));
  board.setWhiteOnTop(true);
  EXPECT_EQ(board.SquareAtPoint(24, 24), Square::H1);
  EXPECT_EQ(board.SquareAtPoint(343, 343), Square::A8);
  EXPECT_EQ(board.SquareOrigin(Square::E4), QPoint(144, 144));
  // Every square maps back to itself, either way up.
  for (bool top : {false, true}) {
    board.setWhiteOnTop(top);
    for (int n = 1; n <= 64; ++n) {
      const QPoint o = board.SquareOrigin(SquareFromIndex(n));
      EXPECT_EQ(board.SquareAtPoint(o.x(), o.y()), SquareFromIndex(n));
      EXPECT_EQ(board.SquareAtPoint(o.x() + 39, o.y() + 39), SquareFromIndex(n));
    }
  }
  EXPECT_TRUE(TChessBrd::IsLightSquare(Square::A8));
  EXPECT_TRUE(TChessBrd::IsLightSquare(Square::H1));
  EXPECT_FALSE(TChessBrd::IsLightSquare(Square::A1));
  EXPECT_FALSE(TChessBrd::IsLightSquare(Square::H8));
}

TEST(Geometry, TheNextPaintSquaresTheControl) {
  TChessBrd board;
  board.setWidth(500);
  board.setHeight(400);
  board.Paint();
  EXPECT_EQ(board.SizeOfSquare(), 50);
  EXPECT_EQ(board.Width(), 448);
  EXPECT_EQ(board.Height(), 448);
  EXPECT_EQ(board.Canvas().size(), QSize(448, 448));

  TChessBrd other;
  other.setSizeOfSquare(60);
  EXPECT_EQ(other.Width(), 528);
  EXPECT_EQ(other.Height(), 368);
  other.Paint();
  EXPECT_EQ(other.SizeOfSquare(), 50);
  EXPECT_EQ(other.Width(), 448);

  TChessBrd bordered;
  bordered.setSizeOfBorder(10);
  EXPECT_EQ(bordered.BoardLeft(), 10);
  EXPECT_EQ(bordered.Width(), 340);
}

TEST(Geometry, ResizingByTheCorner) {
  TChessBrd board;
  board.setResizable(true);
  using boardtest::Move;
  using boardtest::Press;
  using boardtest::Release;
  Move(board, {100, 100}, Qt::NoButton);
  EXPECT_EQ(board.Cursor(), Qt::ArrowCursor);
  Move(board, {362, 362}, Qt::NoButton);
  EXPECT_EQ(board.Cursor(), Qt::SizeFDiagCursor);
  EXPECT_FALSE(board.Resizing());
  Press(board, {362, 362});
  Move(board, {363, 363});
  EXPECT_TRUE(board.Resizing());
  Move(board, {250, 600});
  EXPECT_EQ(board.Width(), 600);
  Move(board, {50, 40});
  EXPECT_EQ(board.Width(), 100);
  Move(board, {5000, 10});
  EXPECT_EQ(board.Width(), 1000);
  Release(board, {5000, 10});
  EXPECT_FALSE(board.Resizing());
  Move(board, {5, 5}, Qt::NoButton);
  EXPECT_EQ(board.Cursor(), Qt::ArrowCursor);

  TChessBrd fixed;
  Move(fixed, {362, 362}, Qt::NoButton);
  EXPECT_EQ(fixed.Cursor(), Qt::ArrowCursor);
  Press(fixed, {362, 362});
  Move(fixed, {500, 500});
  EXPECT_EQ(fixed.Width(), 368);
}

TEST(Properties, DefaultsAfterConstruction) {
  TChessBrd board;
  EXPECT_TRUE(board.AnimateMoves());
  EXPECT_EQ(board.AnimationDelay(), 0);
  EXPECT_FALSE(board.BoardLines());
  EXPECT_TRUE(board.BorderBitmap().isNull());
  EXPECT_EQ(board.BorderColor(), QColor(0, 0, 0));
  EXPECT_EQ(board.CastlingAllowed(), CastleSet::All());
  EXPECT_FALSE(board.ComputerPlaysBlack());
  EXPECT_FALSE(board.ComputerPlaysWhite());
  EXPECT_FALSE(board.Thinking());
  EXPECT_EQ(board.CoordFont().font.family(), QStringLiteral("Arial"));
  EXPECT_EQ(board.CoordFont().font.pointSize(), 7);
  EXPECT_EQ(board.CoordFont().color, QColor(255, 255, 255));
  EXPECT_EQ(board.CurrentMove(), 1);
  EXPECT_TRUE(board.CustomPieceSet().isNull());
  EXPECT_TRUE(board.DisplayCoords().Empty());
  EXPECT_FALSE(board.CustomEngine());
  EXPECT_EQ(board.EnPassant(), Square::None);
  EXPECT_EQ(board.LineStyle().color(), QColor(0, 0, 0));
  EXPECT_EQ(board.LineStyle().width(), 1);
  EXPECT_EQ(board.LineStyle().style(), Qt::SolidLine);
  EXPECT_EQ(board.Position().substr(0, 16), "rnbqkbnrpppppppp");
  EXPECT_FALSE(board.Resizable());
  EXPECT_EQ(board.ResizeMinSize(), 100);
  EXPECT_EQ(board.ResizeMaxSize(), 1000);
  EXPECT_EQ(board.SearchDepth(), 1);
  EXPECT_EQ(board.SizeOfBorder(), 24);
  EXPECT_EQ(board.SizeOfSquare(), 40);
  EXPECT_EQ(board.SquareColorDark(), QColor(128, 128, 128));
  EXPECT_EQ(board.SquareColorLight(), QColor(192, 192, 192));
  EXPECT_FALSE(board.WhiteOnTop());
  EXPECT_TRUE(board.WhiteToMove());
  EXPECT_EQ(board.ThinkingPriority(), TThreadPriority::tpNormal);
  EXPECT_EQ(board.Version(), QString());
  EXPECT_EQ(board.DragCursor(), Qt::DragMoveCursor);
  EXPECT_EQ(board.DragMode(), TDragMode::dmManual);
  EXPECT_TRUE(board.Enabled());
  EXPECT_EQ(board.PromotionPiece(), 'q');
  EXPECT_FALSE(board.FirstPaintDone());
  EXPECT_TRUE(board.EngineHeld());
  EXPECT_EQ(board.DragFromSquare(), Square::None);
  EXPECT_EQ(board.DropSquare(), Square::None);
}

TEST(Properties, WriteRulesClampAndIgnore) {
  TChessBrd board;
  board.setVersion(QStringLiteral("1.0"));
  EXPECT_EQ(board.Version(), QString());
  board.setProperty("Version", QStringLiteral("2.0"));
  EXPECT_EQ(board.property("Version").toString(), QString());
  board.setThinking(true);
  EXPECT_FALSE(board.Thinking());
  board.setCurrentMove(9);
  EXPECT_EQ(board.CurrentMove(), 1);

  board.setSearchDepth(0);
  EXPECT_EQ(board.SearchDepth(), 1);
  board.setSearchDepth(-5);
  EXPECT_EQ(board.SearchDepth(), 1);
  board.setSearchDepth(9);
  EXPECT_EQ(board.SearchDepth(), 8);
  board.setSearchDepth(5);
  EXPECT_EQ(board.SearchDepth(), 5);

  board.setResizeMinSize(2000);
  EXPECT_EQ(board.ResizeMinSize(), 1000);
  board.setResizeMinSize(100);
  board.setResizeMaxSize(50);
  EXPECT_EQ(board.ResizeMaxSize(), 100);
}

TEST(Properties, AppearanceWritesRepaintAtOnce) {
  TChessBrd board;
  EXPECT_TRUE(board.Canvas().isNull() || board.Canvas().pixel(25, 25) != qRgb(10, 20, 30));
  board.setSquareColorLight(QColor(10, 20, 30));
  EXPECT_EQ(board.Canvas().pixel(25, 25), qRgb(10, 20, 30));
  board.setSquareColorDark(QColor(40, 50, 60));
  EXPECT_EQ(board.Canvas().pixel(65, 25), qRgb(40, 50, 60));
  board.setBorderColor(QColor(1, 2, 3));
  EXPECT_EQ(board.Canvas().pixel(5, 5), qRgb(1, 2, 3));
  board.setPosition(std::string(64, ' '));
  EXPECT_EQ(board.Canvas().pixel(45, 45), qRgb(10, 20, 30)) << "the rook on A8 is gone";
  // OnPaint fires at the start of every full paint, before anything is drawn.
  int paints = 0;
  QRgb seen = 0;
  board.OnPaint = [&](TChessGame* sender) {
    EXPECT_EQ(sender, static_cast<TChessGame*>(&board));
    seen = board.Canvas().pixel(5, 5);
    ++paints;
  };
  board.setBorderColor(QColor(9, 9, 9));
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(seen, qRgb(1, 2, 3));
}

TEST(Properties, AHandlerOfOnPaintThatRepaintsDoesNotRecurse) {
  TChessBrd board;
  int paints = 0;
  board.OnPaint = [&](TChessGame*) {
    ++paints;
    board.setBoardLines(!board.BoardLines());
  };
  board.Paint();
  EXPECT_EQ(paints, 1);
}

TEST(Properties, DesignModeDrawsWithoutEngineOrOnPaint) {
  TChessBrd board(nullptr, true);
  int paints = 0;
  board.OnPaint = [&](TChessGame*) { ++paints; };
  board.Paint();
  EXPECT_EQ(paints, 0);
  EXPECT_TRUE(board.FirstPaintDone());
  EXPECT_EQ(board.Canvas().pixel(25, 25), qRgb(192, 192, 192));
  board.setComputerPlaysWhite(true);
  EXPECT_FALSE(board.Thinking());
  EXPECT_TRUE(board.DesignMode());
}

}  // namespace

