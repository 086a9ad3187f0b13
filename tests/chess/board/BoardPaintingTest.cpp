// Pixels of the board's canvas: layers, coordinates, frames, grid, tiles,
// piece sets and single-square repaints.

#include <gtest/gtest.h>

#include <QPainter>
#include <vector>

#include "chess/board/TChessBrd.h"

using namespace perch;

namespace {

const QRgb SilverRgb = qRgb(192, 192, 192), GreyRgb = qRgb(128, 128, 128), BlackRgb = qRgb(0, 0, 0);

QRect Box(const TChessBrd& board, Square s) { return {board.SquareOrigin(s), QSize(40, 40)}; }

// The box around every pixel inside r that `ink` picks.
template <class Ink>
QRect InkBox(const QImage& img, QRect r, Ink ink) {
  QRect box;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (ink(img.pixel(x, y))) box |= QRect(x, y, 1, 1);
  return box;
}
QRect BrightBox(const QImage& img, QRect r) {  // text on the dark border
  return InkBox(img, r, [](QRgb c) { return qGray(c) > 128; });
}
bool Plain(const QImage& img, QRect r, QRgb colour) {
  return InkBox(img, r, [&](QRgb c) { return c == colour; }) == r;
}

TEST(Painting, DefaultBoardShowsTheStartingPositionWhiteAtTheBottom) {
  TChessBrd board;
  board.Paint();
  const QImage& c = board.Canvas();
  ASSERT_EQ(c.size(), QSize(368, 368));
  // Corner pixels of A8, A1 and B8 lie outside every piece's silhouette.
  EXPECT_EQ(c.pixel(25, 25), SilverRgb);
  EXPECT_EQ(c.pixel(25, 305), GreyRgb);
  EXPECT_EQ(c.pixel(65, 25), GreyRgb);
  EXPECT_EQ(c.pixel(5, 5), BlackRgb);
  EXPECT_GT(qGray(c.pixel(Box(board, Square::E1).center())), 180);  // White's king, light
  EXPECT_LT(qGray(c.pixel(Box(board, Square::E8).center())), 100);  // Black's, dark
  EXPECT_TRUE(Plain(c, Box(board, Square::E4), SilverRgb));
  // PaintSquare clears the square's picture, not the game; DrawPiece puts it back.
  const QImage king = c.copy(Box(board, Square::E1));
  board.PaintSquare(Square::E1);
  EXPECT_TRUE(Plain(c, Box(board, Square::E1), GreyRgb));
  EXPECT_EQ(board.PieceAt(Square::E1), 'K');
  board.DrawPiece(Square::E1);
  EXPECT_EQ(c.copy(Box(board, Square::E1)), king);
}

TEST(Painting, CoordinatesSitBesideTheirRowsAndColumnsAndTurnWithTheBoard) {
  TChessBrd board;
  const QImage& c = board.Canvas();
  board.setDisplayCoords({DisplayCoords::West});
  for (int i = 0; i < 8; ++i) {
    // Drawn with its top-left at (9, 40 + 40 i): the ink starts there or just inside.
    const QRect ink = BrightBox(c, QRect(0, 24 + i * 40, 24, 40));
    EXPECT_TRUE(ink.left() >= 9 && ink.left() <= 11) << i;
    EXPECT_TRUE(ink.top() >= 40 + i * 40 && ink.top() <= 43 + i * 40) << i;
    EXPECT_TRUE(!ink.isEmpty() && ink.bottom() <= 52 + i * 40) << i;
  }
  EXPECT_TRUE(BrightBox(c, QRect(344, 0, 24, 368)).isEmpty());
  EXPECT_TRUE(BrightBox(c, QRect(24, 0, 320, 23)).isEmpty());
  // For each i: the West and East numbers, the North and South letters.
  auto cells = [&] {
    std::vector<QImage> v;
    for (int i = 0; i < 8; ++i)
      for (const QRect r : {QRect(0, 40 + i * 40, 24, 14), QRect(344, 40 + i * 40, 24, 14),
                            QRect(24 + i * 40, 0, 40, 24), QRect(24 + i * 40, 344, 40, 24)})
        v.push_back(c.copy(r));
    return v;
  };
  board.setDisplayCoords(CoordSet(0x0F));
  const std::vector<QImage> normal = cells();
  for (int i = 0; i < 32; i += 4) {
    EXPECT_FALSE(BrightBox(normal[i + 2], normal[i + 2].rect()).isEmpty()) << i;
    EXPECT_EQ(normal[i + 1], normal[i]) << "East matches West " << i;
    EXPECT_EQ(normal[i + 3], normal[i + 2]) << "South matches North " << i;
    EXPECT_TRUE(i == 0 || (normal[i] != normal[i - 4] && normal[i + 2] != normal[i - 2])) << i;
  }
  // With White on top "1" is where "8" was and the letters run H to A.
  board.setWhiteOnTop(true);
  const std::vector<QImage> turned = cells();
  for (int i = 0; i < 32; ++i) EXPECT_EQ(turned[i], normal[28 - i / 4 * 4 + i % 4]) << i;
}

TEST(Painting, FramesAlwaysGridLinesWhenAskedAndNeitherWithoutABorder) {
  TChessBrd board;
  board.setBorderColor(QColor(200, 0, 0));
  board.setLineStyle(QPen(QColor(0, 0, 255), 1));
  const QImage& c = board.Canvas();
  const QRgb blue = qRgb(0, 0, 255);
  // The outer frame on the outermost pixels, the inner one just outside the squares.
  for (const int v : {0, 367, 23, 344}) {
    EXPECT_EQ(c.pixel(v, 100), blue) << v;
    EXPECT_EQ(c.pixel(100, v), blue) << v;
  }
  EXPECT_EQ(c.pixel(10, 100), qRgb(200, 0, 0));
  // Across row 5 and down file E: a grid line at every square boundary, once asked.
  for (const bool lines : {false, true}) {
    board.setBoardLines(lines);
    int vertical = 0, horizontal = 0, boundaries = 0;
    for (int v = 25; v < 344; ++v) {
      vertical += c.pixel(v, 164) == blue;
      horizontal += c.pixel(204, v) == blue;
      boundaries += (v - 24) % 40 == 0 && c.pixel(v, 164) == blue && c.pixel(204, v) == blue;
    }
    EXPECT_EQ(vertical, lines ? 7 : 0);
    EXPECT_EQ(horizontal, lines ? 7 : 0);
    EXPECT_EQ(boundaries, lines ? 7 : 0);
  }
  // Without a border, squares from edge to edge, and no frame or coordinates.
  board.setSizeOfBorder(0);
  board.setHeight(board.Width());
  board.setDisplayCoords({DisplayCoords::West, DisplayCoords::North});
  ASSERT_EQ(c.size(), QSize(320, 320));
  EXPECT_EQ(c.pixel(0, 0), SilverRgb);
  EXPECT_EQ(c.pixel(319, 319), SilverRgb);
  EXPECT_EQ(c.pixel(0, 319), GreyRgb);
  EXPECT_TRUE(InkBox(c, c.rect(), [](QRgb p) { return p == qRgb(200, 0, 0); }).isEmpty());
}

TEST(Painting, TilesAreAnchoredAtTheControlsCornerAndShowOnlyWhereTheyBelong) {
  TChessBrd board;
  QImage tile(160, 160, QImage::Format_RGB32), ring(50, 30, QImage::Format_RGB32);
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 160; ++x) {
      tile.setPixel(x, y, qRgb(x, y, 77));
      if (x < 50 && y < 30) ring.setPixel(x, y, qRgb(x * 5, y * 8, 1));
    }
  board.setBorderBitmap(ring);
  board.setSquareDark(tile);
  board.setPosition(std::string(64, ' '));
  const QImage& c = board.Canvas();
  auto expected = [&](Square sq, QPoint p) {
    return TChessBrd::IsLightSquare(sq) ? SilverRgb : tile.pixel(p.x() % 160, p.y() % 160);
  };
  for (int n = 1; n <= 64; ++n)
    for (const QPoint d : {QPoint(0, 0), QPoint(39, 39), QPoint(17, 3)}) {
      const QPoint p = board.SquareOrigin(SquareFromIndex(n)) + d;
      ASSERT_EQ(c.pixel(p), expected(SquareFromIndex(n), p)) << "square " << n;
    }
  for (const QPoint p : {QPoint(5, 5), QPoint(5, 100), QPoint(360, 355)})
    EXPECT_EQ(c.pixel(p), ring.pixel(p.x() % 50, p.y() % 30));
  // A single-square repaint matches its neighbours.
  for (const Square sq : {Square::B8, Square::A8}) {
    board.PaintSquare(sq);
    const QPoint p = board.SquareOrigin(sq) + QPoint(5, 5);
    EXPECT_EQ(c.pixel(p), expected(sq, p));
  }
}

TEST(Painting, PieceImagesAreMaskedAndCustomSetsTakenOnlyInTheirShapeAndCentred) {
  TChessBrd board;
  for (int i = 0; i < 12; ++i) EXPECT_EQ(board.PieceImageIndex("PNBRQKpnbrqk"[i]), i);
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
    EXPECT_EQ(partial, 0) << "image " << i;
    EXPECT_GT(opaque, 200) << "image " << i << " shows a piece";
    EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);
  }
  board.setCustomPieceSet(QImage(300, 150, QImage::Format_RGB32));
  EXPECT_EQ(board.PieceSize(), 40);
  EXPECT_TRUE(board.CustomPieceSet().isNull());
  // Pictures filling their whole cells, masks all black: White green, Black darker.
  const QColor green(0, 200, 0);
  QImage set(360, 240, QImage::Format_RGB32);
  set.fill(Qt::black);
  QPainter(&set).fillRect(0, 0, 360, 60, green);
  QPainter(&set).fillRect(0, 120, 360, 60, green.darker());
  board.setCustomPieceSet(set);
  EXPECT_EQ(board.PieceSize(), 60);
  // On 40-pixel squares a 60-pixel piece starts 10 pixels up and left.
  const QPoint a1 = board.SquareOrigin(Square::A1);
  EXPECT_EQ(board.Canvas().pixel(a1 + QPoint(-10, -10)), green.rgb());
  EXPECT_EQ(board.Canvas().pixel(a1 + QPoint(49, 49)), green.rgb());
  EXPECT_EQ(board.Canvas().pixel(a1 + QPoint(-11, -11)), BlackRgb);
  EXPECT_EQ(board.Canvas().pixel(board.SquareOrigin(Square::A8) + QPoint(20, 20)), green.darker().rgb());
  // On 80-pixel squares it is centred with a margin of 10.
  board.setSizeOfSquare(80);
  board.setHeight(board.Width());
  board.Paint();
  ASSERT_EQ(board.SizeOfSquare(), 80);
  const QPoint a8 = board.SquareOrigin(Square::A8);
  EXPECT_EQ(board.Canvas().pixel(a8 + QPoint(9, 9)), SilverRgb);
  EXPECT_NE(board.Canvas().pixel(a8 + QPoint(10, 10)), SilverRgb);
  board.setCustomPieceSet(QImage());
  EXPECT_EQ(board.PieceSize(), 40);
}

// The grid must be whole again after every move that repaints a further
// square: the pawn taken en passant, the promoted piece, the castled rook.
TEST(Painting, GridLinesAreWholeAfterEnPassantPromotionAndCastling) {
  const QRgb blue = qRgb(0, 0, 255);
  struct Case {
    const char* name;
    std::string position;  // rows 8 to 1
    bool whiteToMove;
    std::vector<std::pair<Square, Square>> moves;
  };
  auto row = [](const char* r) { return std::string(r); };
  const std::string empty8(8, ' ');
  const std::vector<Case> cases = {
      {"en passant",
       row("    k   ") + row("   p    ") + empty8 + row("    P   ") + empty8 + empty8 + empty8 +
           row("    K   "),
       false,
       {{Square::D7, Square::D5}, {Square::E5, Square::D6}}},
      {"promotion",
       row("    k   ") + row(" P      ") + empty8 + empty8 + empty8 + empty8 + empty8 + row("    K   "),
       true,
       {{Square::B7, Square::B8}}},
      {"castling",
       row("    k   ") + empty8 + empty8 + empty8 + empty8 + empty8 + empty8 + row("    K  R"),
       true,
       {{Square::E1, Square::G1}}},
  };
  for (const Case& c : cases) {
    TChessBrd board;
    board.setAnimateMoves(false);
    board.setLineStyle(QPen(QColor(0, 0, 255), 1));
    board.setBoardLines(true);
    board.setPosition(c.position);
    board.setWhiteToMove(c.whiteToMove);
    for (const auto& [from, to] : c.moves) ASSERT_TRUE(board.MakeMove(from, to)) << c.name;
    // Every pixel of the seven inner lines in each direction is blue.
    const QImage& img = board.Canvas();
    const int s = board.SizeOfSquare(), left = board.BoardLeft(), top = board.BoardTop();
    int missing = 0;
    for (int i = 1; i <= 7; ++i)
      for (int v = 1; v < 8 * s - 1; ++v) {
        missing += img.pixel(left + i * s, top + v) != blue;
        missing += img.pixel(left + v, top + i * s) != blue;
      }
    EXPECT_EQ(missing, 0) << c.name;
  }
}

}  // namespace
