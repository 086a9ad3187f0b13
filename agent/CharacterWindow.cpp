#include "agent/CharacterWindow.h"

#include "agent/CharacterPainter.h"
#include "agent/Compositor.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace perch {

namespace {
constexpr int DragThreshold = 4;  // pixels a press may wander and stay a click
// Without a compositor only the outline shows, and its edge pixels blend
// with this neutral mid-tone.
const QColor ShapedBackground("#9a8a70");

int ButtonCode(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
  }
}

int ShiftCode(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
         (modifiers & Qt::AltModifier ? 4 : 0);
}
}  // namespace

TCharacterWindow::TCharacterWindow(const TCharacterDef& character, double scale, bool translucent)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::X11BypassWindowManagerHint),
      character_(character),
      scale_(scale),
      translucent_(translucent),
      pose_(character.RestPose()) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  // Always a window with an alpha channel, so that a compositor coming or
  // going only switches between blending and a shape (SetTranslucent).
  setAttribute(Qt::WA_TranslucentBackground);
  setFixedSize(ScaledSize(character, scale));
  AskForNoShadow(*this);
  MakeFrames();
  ShowFrame(frames_->Frame(pose_, devicePixelRatioF()));
}

void TCharacterWindow::SetTranslucent(bool translucent) {
  if (translucent == translucent_) return;
  translucent_ = translucent;
  // The kept frames were blended over the other background, and the
  // outline's margin differs.
  MakeFrames();
  frame_.reset();
  shape_ = QRegion();
  nativeShape_ = QRegion();
  ShowFrame(frames_->Frame(pose_, devicePixelRatioF()));
  update();
}

void TCharacterWindow::SetScale(double scale) {
  if (scale == scale_) return;
  scale_ = scale;
  setFixedSize(ScaledSize(character_, scale_));
  // Frames kept at the old size are of no use; the outline is traced anew.
  MakeFrames();
  frame_.reset();
  shape_ = QRegion();
  nativeShape_ = QRegion();
  ShowFrame(frames_->Frame(pose_, devicePixelRatioF()));
  update();
}

void TCharacterWindow::MakeFrames() {
  // With per-pixel alpha the soft edge may reach a pixel past the outline.
  frames_.emplace(character_, scale_, translucent_ ? QColor(Qt::transparent) : ShapedBackground,
                  translucent_ ? 1 : 0);
}

void TCharacterWindow::SetPose(const TPose& pose) {
  if (pose == pose_) return;
  pose_ = pose;
  ShowFrame(frames_->Frame(pose_, devicePixelRatioF()));
}

void TCharacterWindow::ShowFrame(std::shared_ptr<const TCharacterFrame> frame) {
  // Only what either frame covers changes on screen.
  QRect changed = FrameRect();
  frame_ = std::move(frame);
  changed |= FrameRect();
  UpdateOutline();
  if (!changed.isEmpty()) update(changed);
}

QRect TCharacterWindow::FrameRect() const { return frame_ ? frame_->bounds : QRect(); }

void TCharacterWindow::UpdateOutline() {
  if (frame_->shape == shape_ && frame_->nativeShape == nativeShape_) return;
  shape_ = frame_->shape;
  nativeShape_ = frame_->nativeShape;
  ++shapeRequests_;
  SendShape();
}

// Blended by a compositor, the window keeps its whole rectangle drawn (soft
// edges) and only its input follows the outline; without one the outline
// cuts the window out. Display-less platforms have no shapes. A window not
// yet made gets its shape once it is (WinIdChange). X takes the outline
// traced in native pixels; Qt's own mask, where there are no X shapes, the
// logical one.
void TCharacterWindow::SendShape() {
  if (QGuiApplication::platformName() == "offscreen" || !testAttribute(Qt::WA_WState_Created)) return;
  const QRegion shape = shape_.isEmpty() ? QRegion(0, 0, 1, 1) : shape_;
  const QRegion native = nativeShape_.isEmpty() ? QRegion(0, 0, 1, 1) : nativeShape_;
  if (translucent_ && SetInputRegion(*this, native)) {
    ClearWindowShape(*this);  // a cut-out from shaped times would stay
    if (!mask().isEmpty()) clearMask();
    return;
  }
  if (!SetWindowShape(*this, native)) {
    setMask(shape);
    return;
  }
  SetInputRegion(*this, native);  // an input region set while blended would stay
}

bool TCharacterWindow::event(QEvent* event) {
  // A new native window has none of the shape sent to the old one.
  if (event->type() == QEvent::WinIdChange) SendShape();
  return QWidget::event(event);
}

bool TCharacterWindow::OnCharacter(QPoint local) const {
  // Asked only on a press, so it is worked out then.
  return CharacterOutline(character_, pose_, scale_, 0).contains(local);
}

QPoint TCharacterWindow::BalloonAnchor() const {
  return geometry().topLeft() + (character_.balloonAnchor * scale_).toPoint();
}

void TCharacterWindow::paintEvent(QPaintEvent* event) {
  // A move to a screen of another density needs the pose painted anew.
  // So does the shape, traced in native pixels.
  if (!frame_->strips.empty() && frame_->strips.front().image.devicePixelRatio() != devicePixelRatioF()) {
    frame_ = frames_->Frame(pose_, devicePixelRatioF());
    UpdateOutline();
  }
  // The frame is the character already blended over the background: copied
  // as it is, pixel for pixel.
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(event->rect(), translucent_ ? QColor(Qt::transparent) : ShapedBackground);
  for (const TCharacterFrame::TStrip& strip : frame_->strips) painter.drawImage(strip.offset, strip.image);
}

void TCharacterWindow::mousePressEvent(QMouseEvent* event) {
  if (!OnCharacter(event->position().toPoint()) || pressed_ != Qt::NoButton) {
    event->ignore();
    return;
  }
  pressed_ = event->button();
  pressGlobal_ = event->globalPosition().toPoint();
  pressTopLeft_ = pos();
  dragging_ = false;
}

void TCharacterWindow::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_ != Qt::LeftButton) return;
  const QPoint delta = event->globalPosition().toPoint() - pressGlobal_;
  if (!dragging_ && delta.manhattanLength() > DragThreshold) dragging_ = true;
  if (dragging_ && OnDragged) OnDragged(pressTopLeft_ + delta);
}

void TCharacterWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != pressed_) return;
  const bool wasDrag = dragging_;
  const Qt::MouseButton button = pressed_;
  pressed_ = Qt::NoButton;
  dragging_ = false;
  const QPoint global = event->globalPosition().toPoint();
  if (wasDrag) {
    if (OnDropped) OnDropped(ButtonCode(button), ShiftCode(event->modifiers()), global);
    return;
  }
  if (OnClicked) OnClicked(ButtonCode(button), ShiftCode(event->modifiers()), global);
  if (button == Qt::RightButton && autoPopupMenu) {
    // Opened without a nested loop; it deletes itself once closed.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(tr("Hide")), &QAction::triggered, this, [this] {
      if (OnHideChosen) OnHideChosen();
    });
    menu->popup(global);
  }
}

void TCharacterWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (mappedAgain_) return;
  mappedAgain_ = true;
  MapAgainUnderCompositor(*this);
}

}  // namespace perch
