// The board's drawing: the full paint with its layers (border, coordinates,
// frame lines, squares, grid lines, pieces), the single-square repaints the
// moves and drags use, and the piece images cut from the active set.

#include <QFontMetrics>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <tuple>

#include "chess/board/BoardErrorBox.h"
#include "chess/board/TChessBrd.h"

namespace perch {

namespace {

// A straight line without its end pixel, as the frames and the grid are
// drawn: the path's next segment starts where this one stops.
void LineWithoutEnd(QPainter& p, int x1, int y1, int x2, int y2) {
  const int sx = (x2 > x1) - (x2 < x1);
  const int sy = (y2 > y1) - (y2 < y1);
  if (sx == 0 && sy == 0) return;
  p.drawLine(x1, y1, x2 - sx, y2 - sy);
}

void Path(QPainter& p, std::initializer_list<QPoint> points) {
  const QPoint* prev = nullptr;
  for (const QPoint& pt : points) {
    if (prev) LineWithoutEnd(p, prev->x(), prev->y(), pt.x(), pt.y());
    prev = &pt;
  }
}

}  // namespace

void TChessBrd::EnsureCanvas() {
  if (canvas_.size() == size()) return;
  canvas_ = QImage(size().expandedTo(QSize(0, 0)), QImage::Format_RGB32);
  canvas_.fill(Qt::black);
}

void TChessBrd::RepaintIfShown(const QRect& area) {
  if (isVisible()) update(area);
}

void TChessBrd::ApplySizeRule() {
  const int b = sizeOfBorder_;
  // A control too small for its border keeps squares of one pixel.
  sizeOfSquare_ = std::max(1, ((width() + height()) / 2 - 2 * b) / 8);
  const int side = 8 * sizeOfSquare_ + 2 * b;
  if (width() != side || height() != side) resize(side, side);
}

void TChessBrd::Paint() {
  const bool nested = painting_;
  painting_ = true;
  struct Done {
    bool& flag;
    bool value;
    ~Done() { flag = value; }
  } done{painting_, nested};

  // A paint started by a handler of OnPaint draws but does not fire again.
  if (!designMode_ && !nested && OnPaint) OnPaint(this);
  if (!firstPaintDone_) LoadPieceImages();
  ApplySizeRule();
  EnsureCanvas();
  canvasStale_ = false;
  if (canvas_.isNull()) return;
  PaintBorder();
  PaintSquares();
  // The marks as they stand now: a move taken back repaints the whole board.
  if (showLastMove_) std::tie(lastFrom_, lastTo_) = LastMove();
  {
    QPainter p(&canvas_);
    for (const Square sq : {lastFrom_, lastTo_, hintFrom_, hintTo_, selected_}) PaintMark(p, sq);
  }
  PaintPieces();
  RepaintIfShown(rect());
  if (!firstPaintDone_) {
    firstPaintDone_ = true;
    StartThinking();
    engineTimer_.setInterval(500);
    connect(&engineTimer_, &QTimer::timeout, this,
            [this] { perch::RunReportingErrors([this] { EngineTimerTick(); }); });
    engineTimer_.start();
  }
}

void TChessBrd::FillOrTile(QPainter& p, const QImage& tile, const QColor& color, const QRect& box) {
  if (HasImage(tile)) {
    // Whole tiles from the control's corner; the clipping does the cutting.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    const int w = width(), h = height();
    for (int r = 0; r <= h / tile.height(); ++r)
      for (int k = 0; k <= w / tile.width(); ++k) p.drawImage(k * tile.width(), r * tile.height(), tile);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  } else {
    p.fillRect(box, color);
  }
}

void TChessBrd::PaintBorder() {
  const int b = sizeOfBorder_, w = width(), h = height();
  QPainter p(&canvas_);
  const QRegion ring = QRegion(0, 0, w, h).subtracted(QRegion(b, b, w - 2 * b, h - 2 * b));
  p.setClipRegion(ring);
  FillOrTile(p, borderBitmap_, borderColor_, ring.boundingRect());
  if (!ring.isEmpty()) {
    PaintCoordinates(p);
    PaintFrames(p);
  }
}

void TChessBrd::PaintCoordinates(QPainter& p) {
  if (displayCoords_.Empty()) return;
  const int b = sizeOfBorder_, s = sizeOfSquare_, w = width(), h = height();
  p.setFont(coordFont_.font);
  p.setPen(coordFont_.color);
  p.setBackgroundMode(Qt::TransparentMode);
  const QFontMetrics metrics(coordFont_.font, &canvas_);
  const int points =
      coordFont_.font.pointSize() > 0 ? coordFont_.font.pointSize() : coordFont_.font.pixelSize();
  const int a = (b - points) / 2 + 1;
  const int o = (s - points) / 2;
  const int q = metrics.height() / 4;
  const char* letters = whiteOnTop_ ? "HGFEDCBA" : "ABCDEFGH";
  // Text is placed by its top-left corner.
  auto text = [&](int x, int y, const QString& t) { p.drawText(x, y + metrics.ascent(), t); };
  for (int i = 0; i < 8; ++i) {
    const QString number = QString::number(whiteOnTop_ ? i + 1 : 8 - i);
    const QString letter = QString(QChar(letters[i]));
    if (displayCoords_.Contains(DisplayCoords::West)) text(a, b + i * s + o, number);
    if (displayCoords_.Contains(DisplayCoords::East)) text(w - b + a, b + i * s + o, number);
    if (displayCoords_.Contains(DisplayCoords::North)) text(b + i * s + o, a - q, letter);
    if (displayCoords_.Contains(DisplayCoords::South)) text(b + i * s + o, h - b + a - q, letter);
  }
}

void TChessBrd::PaintFrames(QPainter& p) {
  const int b = sizeOfBorder_, w = width();
  p.setPen(lineStyle_);
  Path(p, {{0, 0}, {w - 1, 0}, {w - 1, w - 1}, {0, w - 1}, {0, 0}});
  Path(p, {{b - 1, b - 1}, {w - b, b - 1}, {w - b, w - b}, {b - 1, w - b}, {b - 1, b - 1}});
}

void TChessBrd::PaintSquares() {
  const int b = sizeOfBorder_, s = sizeOfSquare_, w = width(), h = height();
  QPainter p(&canvas_);
  const QRect area(b, b, w - 2 * b, h - 2 * b);
  // Dark pass, then light pass: each leaves out the squares of the other
  // colour, so a tile shows through only where it belongs.
  for (const bool dark : {true, false}) {
    QRegion clip(area);
    for (int row = 0; row < 8; ++row)
      for (int col = 0; col < 8; ++col) {
        const bool lightOnScreen = (col + row) % 2 == 0;
        if (lightOnScreen == dark) clip -= QRegion(b + col * s, b + row * s, s, s);
      }
    p.setClipRegion(clip);
    if (dark) FillOrTile(p, squareDark_, squareColorDark_, clip.boundingRect());
    else FillOrTile(p, squareLight_, squareColorLight_, clip.boundingRect());
  }
  p.end();
  PaintBoardLines();
}

void TChessBrd::PaintBoardLines() {
  if (!boardLines_) return;
  EnsureCanvas();
  const int s = sizeOfSquare_, w = width(), h = height();
  QPainter p(&canvas_);
  p.setPen(lineStyle_);
  for (int i = 1; i <= 7; ++i) {
    LineWithoutEnd(p, BoardLeft() + i * s, BoardTop(), BoardLeft() + i * s, h - BoardTop());
    LineWithoutEnd(p, BoardLeft(), BoardTop() + i * s, w - BoardLeft(), BoardTop() + i * s);
  }
  RepaintIfShown(QRect(BoardLeft(), BoardTop(), 8 * s, 8 * s));
}

void TChessBrd::PaintPieces() {
  for (int n = 1; n <= 64; ++n) {
    const Square sq = SquareFromIndex(n);
    if (PieceAt(sq) != ' ') DrawPiece(sq, PieceAt(sq));
  }
}

void TChessBrd::DrawPiece(Square square) { DrawPiece(square, PieceAt(square)); }

void TChessBrd::DrawPiece(Square square, char letter) {
  if (square == Square::None) return;
  const QImage& image = pieceImageList_.Image(PieceImageIndex(letter));
  if (image.isNull()) return;
  EnsureCanvas();
  const int d = (sizeOfSquare_ - PieceSize()) / 2;
  const QPoint at = SquareOrigin(square) + QPoint(d, d);
  QPainter p(&canvas_);
  p.drawImage(at, image);
  RepaintIfShown(QRect(at, image.size()));
}

void TChessBrd::PaintSquare(Square square) {
  if (square == Square::None) return;
  EnsureCanvas();
  const QRect box(SquareOrigin(square), QSize(sizeOfSquare_, sizeOfSquare_));
  QPainter p(&canvas_);
  p.setClipRect(box);
  if (IsLightSquare(square)) FillOrTile(p, squareLight_, squareColorLight_, box);
  else FillOrTile(p, squareDark_, squareColorDark_, box);
  PaintMark(p, square);
  RepaintIfShown(box);
}

// --- marked squares ------------------------------------------------------------

namespace {

// Tints that leave the wood and the pieces readable: the last move yellow,
// the hint green, the selected piece blue.
const QColor LastMoveTint(250, 210, 40, 110);
const QColor HintTint(40, 200, 70, 130);
const QColor SelectedTint(60, 140, 255, 130);

}  // namespace

std::pair<Square, Square> TChessBrd::LastMove() const {
  const MoveInfo* record = WhiteToMove() ? HistoryRecord(CurrentMove() - 1, Side::Black)
                                         : HistoryRecord(CurrentMove(), Side::White);
  if (record == nullptr || record->OldSq == Square::None) return {Square::None, Square::None};
  return {record->OldSq, record->NewSq};
}

QColor TChessBrd::MarkOf(Square square) const {
  if (square == Square::None) return {};
  if (square == selected_) return SelectedTint;
  if (square == hintFrom_ || square == hintTo_) return HintTint;
  if (square == lastFrom_ || square == lastTo_) return LastMoveTint;
  return {};
}

void TChessBrd::PaintMark(QPainter& p, Square square) {
  const QColor tint = MarkOf(square);
  if (!tint.isValid()) return;
  const QRect box(SquareOrigin(square), QSize(sizeOfSquare_, sizeOfSquare_));
  p.save();
  p.setClipRect(box);
  p.fillRect(box, tint);
  // A frame in the full colour, for squares whose wood is close to the tint.
  QColor frame = tint;
  frame.setAlpha(230);
  const int w = std::max(1, sizeOfSquare_ / 20);
  p.fillRect(box.x(), box.y(), box.width(), w, frame);
  p.fillRect(box.x(), box.bottom() - w + 1, box.width(), w, frame);
  p.fillRect(box.x(), box.y(), w, box.height(), frame);
  p.fillRect(box.right() - w + 1, box.y(), w, box.height(), frame);
  p.restore();
}

void TChessBrd::RepaintSquare(Square square) {
  if (square == Square::None || canvas_.isNull()) return;
  PaintSquare(square);
  DrawPiece(square);
}

void TChessBrd::ChangeMarks(Square lastFrom, Square lastTo, Square hintFrom, Square hintTo, Square selected) {
  const Square before[] = {lastFrom_, lastTo_, hintFrom_, hintTo_, selected_};
  std::array<QColor, 5> tints;
  for (std::size_t i = 0; i < tints.size(); ++i) tints[i] = MarkOf(before[i]);
  lastFrom_ = lastFrom;
  lastTo_ = lastTo;
  hintFrom_ = hintFrom;
  hintTo_ = hintTo;
  selected_ = selected;
  if (!firstPaintDone_) return;  // the first paint draws them
  bool repainted = false;
  for (const Square sq : {before[0], before[1], before[2], before[3], before[4], lastFrom, lastTo, hintFrom,
                          hintTo, selected}) {
    if (sq == Square::None) continue;
    const auto at = std::find(std::begin(before), std::end(before), sq);
    const QColor was = at == std::end(before) ? QColor() : tints[static_cast<std::size_t>(at - before)];
    if (was == MarkOf(sq)) continue;
    RepaintSquare(sq);
    repainted = true;
  }
  if (repainted) PaintBoardLines();
}

void TChessBrd::setShowLastMove(bool v) {
  showLastMove_ = v;
  const auto [from, to] = v ? LastMove() : std::pair{Square::None, Square::None};
  ChangeMarks(from, to, hintFrom_, hintTo_, selected_);
}

void TChessBrd::setHintSquares(Square from, Square to) {
  ChangeMarks(lastFrom_, lastTo_, from, to, selected_);
}

void TChessBrd::MoveMade() {
  // A move ends the hint and the selection, and becomes the last move.
  if (showLastMove_ || hintFrom_ != Square::None || hintTo_ != Square::None || selected_ != Square::None) {
    const auto [from, to] = showLastMove_ ? LastMove() : std::pair{Square::None, Square::None};
    ChangeMarks(from, to, Square::None, Square::None, Square::None);
  }
  WakeEngine();
}

void TChessBrd::LoadPieceImages() {
  const QImage& set = IsValidPieceSet(customPieceSet_) ? customPieceSet_ : defaultPieceSet_;
  const int size = set.height() / 4;
  pieceImageList_.Clear();
  pieceImageList_.SetSize(size);
  pieceImages_.fill(-1);
  if (size <= 0) return;
  for (int colour = 0; colour < 2; ++colour)
    for (int piece = 0; piece < 6; ++piece) {
      const QImage picture = set.copy(piece * size, 2 * colour * size, size, size);
      const QImage mask = set.copy(piece * size, (2 * colour + 1) * size, size, size);
      pieceImages_[colour * 7 + piece] = pieceImageList_.Add(picture, mask);
    }
}

int TChessBrd::PieceImageIndex(char letter) const {
  const int p = PieceLetterPosition(letter);
  if (p < 0) return -1;
  return pieceImages_[(p / 6) * 7 + (p % 6)];
}

}  // namespace perch
