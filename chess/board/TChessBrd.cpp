// TChessBrd: construction, destruction, the published properties and the
// geometry that maps squares to pixels and back.

#include "chess/board/TChessBrd.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "chess/board/BoardErrorBox.h"
#include "chess/board/DragImage.h"
#include "chess/board/MainThreadCalls.h"
#include "chess/engine/EngineThread.h"

namespace perch {

TChessBrd::TChessBrd(QWidget* parent, bool designMode) : QWidget(parent), designMode_(designMode) {
  lineStyle_ = QPen(QColor(0, 0, 0), 1, Qt::SolidLine);
  defaultPieceSet_ = LoadDefaultPieceSetBitmap();
  LoadPieceImages();
  coordFont_.font = QFont(QStringLiteral("Arial"));
  coordFont_.font.setPointSize(7);
  coordFont_.color = QColor(255, 255, 255);
  resize(8 * sizeOfSquare_ + 2 * sizeOfBorder_, 8 * sizeOfSquare_ + 2 * sizeOfBorder_);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The game was set up by the model's constructor, before the board could
  // take part; its engine hold is the one it would have set here.
  setHooks(this);
  engineHeld_ = true;
  if (!designMode_) CreateEngineThread();
}

TChessBrd::~TChessBrd() {
  destroying_ = true;
  engineTimer_.stop();
  DestroyEngineThread();
  setHooks(nullptr);
  if (dragImage_) delete dragImage_.data();
}

// --- published properties -----------------------------------------------------

void TChessBrd::setBoardLines(bool v) {
  boardLines_ = v;
  Paint();
}

void TChessBrd::setBorderBitmap(const QImage& v) {
  borderBitmap_ = v;
  Paint();
}

void TChessBrd::setBorderColor(const QColor& v) {
  borderColor_ = v;
  Paint();
}

void TChessBrd::setComputerPlaysBlack(bool v) {
  StopThinking();
  computerPlaysBlack_ = v;
  StartThinking();
}

void TChessBrd::setComputerPlaysWhite(bool v) {
  StopThinking();
  computerPlaysWhite_ = v;
  StartThinking();
}

void TChessBrd::setCoordFont(const TBoardFont& v) {
  coordFont_ = v;
  Paint();
}

void TChessBrd::setCustomPieceSet(const QImage& v) {
  // A given bitmap of the wrong shape is ignored; an empty one brings back
  // the built-in set.
  if (!v.isNull() && !IsValidPieceSet(v)) return;
  customPieceSet_ = v;
  LoadPieceImages();
  Paint();
}

void TChessBrd::setDisplayCoords(CoordSet v) {
  displayCoords_ = v;
  Paint();
}

void TChessBrd::setLineStyle(const QPen& v) {
  lineStyle_ = v;
  Paint();
}

void TChessBrd::setResizeMinSize(int v) { resizeMinSize_ = std::min(v, resizeMaxSize_); }

void TChessBrd::setResizeMaxSize(int v) { resizeMaxSize_ = std::max(v, resizeMinSize_); }

void TChessBrd::setSearchDepth(int v) { searchDepth_ = std::clamp(v, 1, 8); }

void TChessBrd::setSizeOfBorder(int v) {
  sizeOfBorder_ = v;
  setWidth(8 * sizeOfSquare_ + 2 * v);
}

void TChessBrd::setSizeOfSquare(int v) {
  sizeOfSquare_ = v;
  setWidth(8 * v + 2 * sizeOfBorder_);
}

void TChessBrd::setSquareColorDark(const QColor& v) {
  squareColorDark_ = v;
  Paint();
}

void TChessBrd::setSquareColorLight(const QColor& v) {
  squareColorLight_ = v;
  Paint();
}

void TChessBrd::setSquareDark(const QImage& v) {
  squareDark_ = v;
  Paint();
}

void TChessBrd::setSquareLight(const QImage& v) {
  squareLight_ = v;
  Paint();
}

void TChessBrd::setWhiteOnTop(bool v) {
  whiteOnTop_ = v;
  Paint();
}

// --- geometry -------------------------------------------------------------------

int TChessBrd::ColumnOf(Square square) const {
  const int f = FileOf(square);
  return whiteOnTop_ ? 8 - f : f - 1;
}

int TChessBrd::RowOf(Square square) const {
  const int r = RankOf(square);
  return whiteOnTop_ ? r - 1 : 8 - r;
}

QPoint TChessBrd::SquareOrigin(Square square) const {
  return {BoardLeft() + ColumnOf(square) * sizeOfSquare_, BoardTop() + RowOf(square) * sizeOfSquare_};
}

Square TChessBrd::SquareAtPoint(int x, int y) const {
  const int s = sizeOfSquare_;
  if (s <= 0) return Square::None;
  const int dx = x - BoardLeft();
  const int dy = y - BoardTop();
  if (dx < 0 || dx >= 8 * s || dy < 0 || dy >= 8 * s) return Square::None;
  int c = std::min(dx / s, 7);
  int w = std::min(dy / s, 7);
  if (whiteOnTop_) {
    c = 7 - c;
    w = 7 - w;
  }
  return SquareFromIndex(w * 8 + c + 1);
}

bool TChessBrd::IsLightSquare(Square square) {
  const int n = SquareIndex(square);
  return (n % 2) != (((n - 1) / 8) % 2);
}

// --- Qt entry points --------------------------------------------------------------

bool TChessBrd::event(QEvent* e) {
  // The window losing the input or the board going away ends a drag the
  // way a lost mouse capture does.
  if (dragPhase_ != DragPhase::Idle && (e->type() == QEvent::WindowDeactivate || e->type() == QEvent::Hide))
    perch::RunReportingErrors([this] { CancelDrag(mapFromGlobal(QCursor::pos())); });
  const bool handled = QWidget::event(e);
  // Every event that reaches the board gives a custom engine the chance to
  // move; paints are left out, so that no handler runs inside a paint.
  if (!destroying_ && e->type() != QEvent::Paint) perch::RunReportingErrors([this] { CustomEnginePoll(); });
  return handled;
}

void TChessBrd::paintEvent(QPaintEvent* e) {
  if (canvasStale_ || canvas_.size() != size()) perch::RunReportingErrors([this] { Paint(); });
  QPainter p(this);
  p.drawImage(e->rect(), canvas_, e->rect());
}

void TChessBrd::resizeEvent(QResizeEvent*) {
  // The parent paints the control again after every change of size; that
  // paint squares the control by the size rule.
  canvasStale_ = true;
  update();
}

}  // namespace perch
