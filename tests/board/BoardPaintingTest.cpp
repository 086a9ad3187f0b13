// Pixels of the board's canvas: layers, coordinates, frames, grid, tiles,
// piece sets and single-square repaints.

#include <gtest/gtest.h>

#include <QPainter>

#include "chess/board/TChessBrd.h"
#include "tests/board/BoardTestSupport.h"

using boardtest::Rgb;

namespace {

const QRgb kSilver = qRgb(192, 192, 192);
const QRgb kGrey = qRgb(128, 128, 128);

// The part of the canvas inside the rectangle as its own image.
QImage Cut(const TChessBrd& board, QRect r) { return board.Canvas().copy(r); }

// The box around every bright pixel (text on the dark border) inside the
// rectangle.
QRect BrightBox(const QImage& img, QRect r) {
  QRect box;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (qGray(img.pixel(x, y)) > 128) box |= QRect(x, y, 1, 1);
  return box;
}

// The box around every pixel of the colour inside the rectangle.
QRect InkBox(const QImage& img, QRect r, QRgb colour) {
  QRect box;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if ((img.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) box |= QRect(x, y, 1, 1);
  return box;
}

QImage WholeCell(QColor colour, int size) {
  QImage set(6 * size, 4 * size, QImage::Format_RGB32);
  QPainter p(&set);
  for (int col = 0; col < 6; ++col) {
    p.fillRect(col * size, 0, size, size, colour);
    p.fillRect(col * size, 2 * size, size, size, colour.darker());
    p.fillRect(col * size, size, size, size, Qt::black);  // masks: the whole cell
    p.fillRect(col * size, 3 * size, size, size, Qt::black);
  }
  return set;
}

class PaintingTest : public ::testing::Test {
 protected:
  TChessBrd board;
  void SetUp() override { board.Paint(); }
};

TEST_F(PaintingTest, DefaultBoardShowsTheStartingPositionWhiteAtTheBottom) {
  ASSERT_EQ(board.Canvas().size(), QSize(368, 368));
  // A square's corner pixel lies outside every piece's silhouette.
  EXPECT_EQ(board.Canvas().pixel(25, 25), kSilver);   // A8
  EXPECT_EQ(board.Canvas().pixel(25, 305), kGrey);    // A1
  EXPECT_EQ(board.Canvas().pixel(65, 25), kGrey);     // B8
  EXPECT_EQ(board.Canvas().pixel(5, 5), qRgb(0, 0, 0));
  // White pieces are light at the bottom, Black ones dark at the top.
  const QRect e1(board.SquareOrigin(Square::E1), QSize(40, 40));
  const QRect e8(board.SquareOrigin(Square::E8), QSize(40, 40));
  EXPECT_GT(qGray(board.Canvas().pixel(e1.center())), 180);
  EXPECT_LT(qGray(board.Canvas().pixel(e8.center())), 100);
  // Empty squares in the middle are plain.
  const QImage e4 = Cut(board, QRect(board.SquareOrigin(Square::E4), QSize(40, 40)));
  const QRgb own = TChessBrd::IsLightSquare(Square::E4) ? kSilver : kGrey;
  EXPECT_EQ(InkBox(e4, e4.rect(), own), e4.rect());
}

TEST_F(PaintingTest, WestNumbersSitLevelWithTheirRowsAndTurnWithTheBoard) {
  board.setDisplayCoords({DisplayCoords::West});
  QList<QImage> glyphs;
  for (int i = 0; i < 8; ++i) {
    const QRect strip(0, 24 + i * 40, 24, 40);
    const QRect ink = BrightBox(board.Canvas(), strip);
    ASSERT_FALSE(ink.isEmpty()) << "row " << i;
    // Drawn with its top-left at (9, 40 + 40 i): the ink starts there or
    // just inside.
    EXPECT_GE(ink.left(), 9);
    EXPECT_LE(ink.left(), 11);
    EXPECT_GE(ink.top(), 40 + i * 40);
    EXPECT_LE(ink.top(), 43 + i * 40);
    EXPECT_LE(ink.bottom(), 40 + i * 40 + 12);
    glyphs.append(Cut(board, QRect(0, 40 + i * 40, 24, 14)));
  }
  // Nothing on the other sides.
  EXPECT_TRUE(BrightBox(board.Canvas(), QRect(344, 0, 24, 368)).isEmpty());
  EXPECT_TRUE(BrightBox(board.Canvas(), QRect(24, 0, 320, 23)).isEmpty());
  board.setWhiteOnTop(true);
  // "1" is now where "8" was, and so on.
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(Cut(board, QRect(0, 40 + i * 40, 24, 14)), glyphs[7 - i]) << "row " << i;
}

TEST_F(PaintingTest, FileLettersReadBackwardsWithWhiteOnTop) {
  board.setDisplayCoords({DisplayCoords::North, DisplayCoords::South});
  auto letterCell = [&](int i, bool north) {
    return Cut(board, QRect(24 + i * 40, north ? 0 : 344, 40, 24));
  };
  QList<QImage> normal;
  for (int i = 0; i < 8; ++i) {
    normal.append(letterCell(i, true));
    EXPECT_FALSE(BrightBox(board.Canvas(), QRect(24 + i * 40, 0, 40, 23)).isEmpty());
    EXPECT_EQ(letterCell(i, false), normal[i]) << "south matches north";
  }
  board.setWhiteOnTop(true);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(letterCell(i, true), normal[7 - i]);
    EXPECT_EQ(letterCell(i, false), normal[7 - i]);
  }
}

TEST_F(PaintingTest, FramesAlwaysAndGridLinesOnlyWhenAsked) {
  board.setBorderColor(QColor(200, 0, 0));
  board.setLineStyle(QPen(QColor(0, 0, 255), 1));
  const QImage& c = board.Canvas();
  const QRgb blue = qRgb(0, 0, 255);
  // Outer frame on the outermost pixels, inner frame just outside the squares.
  EXPECT_EQ(c.pixel(0, 100), blue);
  EXPECT_EQ(c.pixel(367, 100), blue);
  EXPECT_EQ(c.pixel(100, 0), blue);
  EXPECT_EQ(c.pixel(100, 367), blue);
  EXPECT_EQ(c.pixel(23, 100), blue);
  EXPECT_EQ(c.pixel(344, 100), blue);
  EXPECT_EQ(c.pixel(100, 23), blue);
  EXPECT_EQ(c.pixel(100, 344), blue);
  EXPECT_EQ(c.pixel(10, 100), qRgb(200, 0, 0));
  // No grid yet: the boundary between two squares is square-coloured.
  const int row5 = 24 + 3 * 40 + 20;
  EXPECT_NE(c.pixel(64, row5), blue);
  board.setBoardLines(true);
  int vertical = 0, horizontal = 0;
  for (int x = 25; x < 344; ++x) vertical += board.Canvas().pixel(x, row5) == blue;
  for (int y = 25; y < 344; ++y) horizontal += board.Canvas().pixel(24 + 40 * 4 + 20, y) == blue;
  EXPECT_EQ(vertical, 7);
  EXPECT_EQ(horizontal, 7);
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(board.Canvas().pixel(24 + 40 * i, row5), blue);
}

TEST_F(PaintingTest, TilesAreAnchoredAtTheCornerAndShowOnlyOnTheirSquares) {
  QImage tile(160, 160, QImage::Format_RGB32);
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 160; ++x) tile.setPixel(x, y, qRgb(x, y, 77));
  board.setSquareDark(tile);
  board.setPosition(std::string(64, ' '));
  const QImage& c = board.Canvas();
  for (int n = 1; n <= 64; ++n) {
    const Square sq = SquareFromIndex(n);
    const QPoint o = board.SquareOrigin(sq);
    for (const QPoint d : {QPoint(0, 0), QPoint(39, 39), QPoint(17, 3)}) {
      const QPoint p = o + d;
      const QRgb expected = TChessBrd::IsLightSquare(sq) ? kSilver : tile.pixel(p.x() % 160, p.y() % 160);
      ASSERT_EQ(c.pixel(p), expected) << "square " << n;
    }
  }
  // The border is untouched by the square tiles.
  EXPECT_EQ(c.pixel(5, 5), qRgb(0, 0, 0));
  // A single-square repaint matches its neighbours.
  board.PaintSquare(Square::B8);
  const QPoint b8 = board.SquareOrigin(Square::B8) + QPoint(5, 5);
  EXPECT_EQ(c.pixel(b8), tile.pixel(b8.x() % 160, b8.y() % 160));
}

TEST_F(PaintingTest, PaintSquareClearsThePictureButNotTheBoard) {
  board.PaintSquare(Square::E1);
  const QRect e1(board.SquareOrigin(Square::E1), QSize(40, 40));
  ASSERT_FALSE(TChessBrd::IsLightSquare(Square::E1));
  QImage plain(40, 40, QImage::Format_RGB32);
  plain.fill(QColor(128, 128, 128));
  EXPECT_EQ(board.Canvas().copy(e1), plain);
  EXPECT_EQ(board.PieceAt(Square::E1), 'K');
  board.DrawPiece(Square::E1);
  EXPECT_NE(board.Canvas().copy(e1), plain);
}

TEST_F(PaintingTest, CustomPieceSetsAreTakenOnlyInTheirShape) {
  board.setCustomPieceSet(QImage(300, 150, QImage::Format_RGB32));
  EXPECT_EQ(board.PieceSize(), 40);
  EXPECT_TRUE(board.CustomPieceSet().isNull());

  board.setCustomPieceSet(WholeCell(QColor(0, 200, 0), 60));
  EXPECT_EQ(board.PieceSize(), 60);
  // On 40-pixel squares a 60-pixel piece starts 10 pixels up and left.
  const QPoint a1 = board.SquareOrigin(Square::A1);
  EXPECT_EQ(board.Canvas().pixel(a1 + QPoint(-10, -10)), qRgb(0, 200, 0));
  EXPECT_EQ(board.Canvas().pixel(a1 + QPoint(49, 49)), qRgb(0, 200, 0));
  EXPECT_EQ(board.Canvas().pixel(a1 + QPoint(-11, -11)), qRgb(0, 0, 0));
  // Black pieces come from the third row.
  EXPECT_EQ(board.Canvas().pixel(board.SquareOrigin(Square::A8) + QPoint(20, 20)),
            QColor(0, 200, 0).darker().rgb());
  // On 80-pixel squares it is centred with a margin of 10.
  board.setSizeOfSquare(80);
  board.setHeight(board.Width());
  board.Paint();
  ASSERT_EQ(board.SizeOfSquare(), 80);
  const QPoint a8 = board.SquareOrigin(Square::A8);
  EXPECT_EQ(board.Canvas().pixel(a8 + QPoint(9, 9)), kSilver);
  EXPECT_NE(board.Canvas().pixel(a8 + QPoint(10, 10)), kSilver);

  board.setCustomPieceSet(QImage());
  EXPECT_EQ(board.PieceSize(), 40);
}

TEST_F(PaintingTest, PieceImagesAreMaskedAndIndexedByLetter) {
  EXPECT_EQ(board.PieceImageIndex('P'), 0);
  EXPECT_EQ(board.PieceImageIndex('K'), 5);
  EXPECT_EQ(board.PieceImageIndex('p'), 6);
  EXPECT_EQ(board.PieceImageIndex('k'), 11);
  EXPECT_EQ(board.PieceImageIndex('x'), -1);
  EXPECT_EQ(board.PieceImageIndex(' '), -1);
  ASSERT_EQ(board.PieceImageList().Count(), 12);
  for (int i = 0; i < 12; ++i) {
    const QImage& img = board.PieceImageList().Image(i);
    int opaque = 0, partial = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x) {
        const int a = qAlpha(img.pixel(x, y));
        opaque += a == 255;
        partial += a != 0 && a != 255;
      }
    EXPECT_EQ(partial, 0) << "a two-level mask";
    EXPECT_GT(opaque, 200) << "image " << i << " shows a piece";
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
  }
}

TEST(PaintingBorder, NoBorderMeansSquaresFromEdgeToEdge) {
  TChessBrd board;
  board.setBorderColor(QColor(255, 0, 0));
  board.setSizeOfBorder(0);
  board.setHeight(board.Width());
  board.setDisplayCoords({DisplayCoords::West, DisplayCoords::North});
  board.Paint();
  ASSERT_EQ(board.Canvas().size(), QSize(320, 320));
  EXPECT_EQ(board.Canvas().pixel(0, 0), kSilver);
  EXPECT_EQ(board.Canvas().pixel(319, 319), kSilver);
  EXPECT_EQ(board.Canvas().pixel(0, 319), kGrey);
  EXPECT_TRUE(InkBox(board.Canvas(), board.Canvas().rect(), qRgb(255, 0, 0)).isEmpty());
}

TEST(PaintingBorder, BorderBitmapTilesTheRingOnly) {
  TChessBrd board;
  QImage tile(50, 30, QImage::Format_RGB32);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 50; ++x) tile.setPixel(x, y, qRgb(x * 5, y * 8, 1));
  board.setBorderBitmap(tile);
  const QImage& c = board.Canvas();
  EXPECT_EQ(c.pixel(5, 100), tile.pixel(5, 100 % 30));
  EXPECT_EQ(c.pixel(360, 355), tile.pixel(360 % 50, 355 % 30));
  EXPECT_EQ(c.pixel(25, 25), kSilver);
}

}  // namespace
