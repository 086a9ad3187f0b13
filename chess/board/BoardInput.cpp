// The board's mouse input: its own drag protocol (pending, active after the
// threshold, dropped or cancelled), the drag image, and resizing by the
// bottom-right corner.

#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <cstdlib>

#include "chess/board/BoardErrorBox.h"
#include "chess/board/DragImage.h"
#include "chess/board/TChessBrd.h"

namespace perch {

namespace {

constexpr int DragThreshold = 5;

bool IsSizingCursor(Qt::CursorShape c) {
  return c == Qt::SizeVerCursor || c == Qt::SizeFDiagCursor || c == Qt::SizeHorCursor;
}

}  // namespace

QWidget* TChessBrd::OverlayHost() { return parentWidget() ? parentWidget() : this; }

QPoint TChessBrd::HostOffset() const { return parentWidget() ? pos() : QPoint(0, 0); }

TDragImage& TChessBrd::DragImageWidget() {
  if (!dragImage_ || dragImage_->parentWidget() != OverlayHost()) dragImage_ = new TDragImage(OverlayHost());
  return *dragImage_;
}

bool TChessBrd::DragImageShown() const { return dragImage_ && dragImage_->IsShown(); }

// --- mouse entry points ------------------------------------------------------------

void TChessBrd::mousePressEvent(QMouseEvent* e) {
  perch::RunReportingErrors([&] {
    const QPoint at = e->position().toPoint();
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), at.x(), at.y());
    if (dragPhase_ != DragPhase::Idle || resizing_) return;
    const Square s = SquareAtPoint(at.x(), at.y());
    if (SelectOrMoveByClick(s)) return;
    if (s == Square::None || PieceAt(s) == ' ') return;
    dragFromSquare_ = s;
    // Starting the drag ends the button press at once.
    if (e->button() == Qt::LeftButton) {
      if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), at.x(), at.y());
      if (OnClick) OnClick(this);
    }
    BeginPendingDrag(at);
  });
}

void TChessBrd::mouseMoveEvent(QMouseEvent* e) {
  perch::RunReportingErrors([&] {
    const QPoint at = e->position().toPoint();
    if (OnMouseMove) OnMouseMove(this, e->modifiers(), at.x(), at.y());
    if (dragPhase_ == DragPhase::Idle) {
      UpdateResizeCursor(e);
      return;
    }
    if (dragPhase_ == DragPhase::Pending) {
      const QPoint moved = at - pressPoint_;
      if (std::max(std::abs(moved.x()), std::abs(moved.y())) < DragThreshold) return;
      dragPhase_ = DragPhase::Active;
    }
    const bool inside = rect().contains(at);
    if (inside) {
      bool accept = false;
      DragOver(this, at.x(), at.y(), overBoard_ ? TDragState::dsDragMove : TDragState::dsDragEnter, accept);
      lastAccept_ = accept;
    } else if (overBoard_) {
      bool accept = false;
      DragOver(this, at.x(), at.y(), TDragState::dsDragLeave, accept);
      lastAccept_ = false;
    }
    overBoard_ = inside;
    QWidget::setCursor(inside && lastAccept_ ? dragCursor_ : Qt::ForbiddenCursor);
  });
}

void TChessBrd::mouseReleaseEvent(QMouseEvent* e) {
  perch::RunReportingErrors([&] {
    const QPoint at = e->position().toPoint();
    if (dragPhase_ == DragPhase::Idle) {
      if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), at.x(), at.y());
      resizing_ = false;
      if (e->button() == Qt::LeftButton && rect().contains(at) && OnClick) OnClick(this);
      return;
    }
    resizing_ = false;
    // A press and release on one piece without a drag picks it for a move
    // by clicking.
    if (clickMoves_ && dragPhase_ == DragPhase::Pending && e->button() == Qt::LeftButton &&
        SquareAtPoint(at.x(), at.y()) == dragFromSquare_ &&
        SideOf(dragFromSquare_) == (WhiteToMove() ? 1 : 0)) {
      EndDragState();
      ChangeMarks(lastFrom_, lastTo_, hintFrom_, hintTo_, dragFromSquare_);
      return;
    }
    const bool dropButton = e->button() == Qt::LeftButton || e->button() == Qt::RightButton;
    if (dragPhase_ == DragPhase::Active && dropButton && rect().contains(at)) FinishDrag(at);
    else CancelDrag(at);
  });
}

void TChessBrd::mouseDoubleClickEvent(QMouseEvent* e) {
  perch::RunReportingErrors([&] {
    if (OnDblClick) OnDblClick(this);
    mousePressEvent(e);
  });
}

void TChessBrd::keyPressEvent(QKeyEvent* e) {
  if (dragPhase_ != DragPhase::Idle && e->key() == Qt::Key_Escape) {
    perch::RunReportingErrors([&] { CancelDrag(mapFromGlobal(QCursor::pos())); });
    return;
  }
  QWidget::keyPressEvent(e);
}

// --- moves by clicking -------------------------------------------------------------

void TChessBrd::setClickMoves(bool v) {
  clickMoves_ = v;
  if (!v) ChangeMarks(lastFrom_, lastTo_, hintFrom_, hintTo_, Square::None);
}

void TChessBrd::ClearSelection() { ChangeMarks(lastFrom_, lastTo_, hintFrom_, hintTo_, Square::None); }

// A press while a piece is selected: on a square the piece can go to, the
// move is made (as if dropped there); anywhere else the selection ends and
// the press goes on as usual. True when the press is used up.
bool TChessBrd::SelectOrMoveByClick(Square at) {
  if (selected_ == Square::None) return false;
  const Square from = selected_;
  ChangeMarks(lastFrom_, lastTo_, hintFrom_, hintTo_, Square::None);
  if (at == Square::None || at == from || Thinking() || !IsLegalMove(from, at)) return false;
  dragFromSquare_ = from;
  dropSquare_ = at;
  if (!UserMove(from, at) && OnIllegalMove) OnIllegalMove(this, from);
  return true;
}

// --- the drag protocol ------------------------------------------------------------

void TChessBrd::BeginPendingDrag(QPoint pressPoint) {
  dragPhase_ = DragPhase::Pending;
  pressPoint_ = pressPoint;
  overBoard_ = false;
  lastAccept_ = false;
  // Escape must reach the board even when it has no focus.
  grabKeyboard();
  if (OnStartDrag) OnStartDrag(this);
}

void TChessBrd::EndDragState() {
  dragPhase_ = DragPhase::Idle;
  releaseKeyboard();
  QWidget::setCursor(normalCursor_);
}

void TChessBrd::FinishDrag(QPoint at) {
  bool accept = false;
  DragOver(this, at.x(), at.y(), TDragState::dsDragMove, accept);
  if (!accept) {
    CancelDrag(at);
    return;
  }
  EndDragState();
  DragDrop(this, at.x(), at.y());
  if (OnEndDrag) OnEndDrag(this, this, at.x(), at.y());
}

void TChessBrd::CancelDrag(QPoint at) {
  if (dragPhase_ == DragPhase::Idle) return;
  EndDragState();
  DragCanceled();
  if (OnEndDrag) OnEndDrag(this, nullptr, at.x(), at.y());
}

void TChessBrd::DragOver(QObject* source, int x, int y, TDragState state, bool& accept) {
  accept = false;
  if (OnDragOver) {
    accept = true;
    OnDragOver(this, source, x, y, state, accept);
  }
  const Square s = SquareAtPoint(x, y);
  const int h = sizeOfSquare_ / 2;
  const QPoint imageAt = QPoint(x - h, y - h) + HostOffset();
  if (!DragImageShown()) {
    // The first move of the drag lifts the piece off its square.
    PaintSquare(dragFromSquare_);
    PaintBoardLines();
    DragImageWidget().ShowAt(pieceImageList_.Image(PieceImageIndex(PieceAt(dragFromSquare_))), imageAt);
  }
  DragImageWidget().MoveTo(imageAt);
  if (source == this && !Thinking() &&
      ((s != Square::None && IsLegalMove(dragFromSquare_, s)) || s == dragFromSquare_))
    accept = true;
}

void TChessBrd::DragDrop(QObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
  if (DragImageShown()) dragImage_->HideImage();
  const Square s = SquareAtPoint(x, y);
  dropSquare_ = s;
  if (s == dragFromSquare_) {
    DrawPiece(dragFromSquare_, PieceAt(dragFromSquare_));
    return;
  }
  // A drop that an OnDragOver handler accepted where no move is legal puts
  // the piece back and reports it like any other drag without a move.
  if (!UserMove(dragFromSquare_, s)) {
    DrawPiece(dragFromSquare_, PieceAt(dragFromSquare_));
    PaintBoardLines();
    if (OnIllegalMove) OnIllegalMove(this, dragFromSquare_);
  }
}

void TChessBrd::DragCanceled() {
  if (DragImageShown()) dragImage_->HideImage();
  DrawPiece(dragFromSquare_, PieceAt(dragFromSquare_));
  if (OnIllegalMove) OnIllegalMove(this, dragFromSquare_);
}

// --- resizing by the corner --------------------------------------------------------

void TChessBrd::UpdateResizeCursor(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  const Qt::CursorShape current = cursor().shape();
  if (!IsSizingCursor(current)) normalCursor_ = current;
  if (!resizable_) return;
  const bool inCorner =
      at.x() >= width() - 10 && at.x() <= width() && at.y() >= height() - 10 && at.y() <= height();
  if (inCorner) {
    QWidget::setCursor(Qt::SizeFDiagCursor);
    if (e->buttons() & Qt::LeftButton) resizing_ = true;
  } else if (!resizing_) {
    QWidget::setCursor(normalCursor_);
  }
  if (resizing_) {
    const int v = std::min(std::max({at.x(), at.y(), resizeMinSize_}), resizeMaxSize_);
    if (v != width()) setWidth(v);
  }
}

}  // namespace perch
