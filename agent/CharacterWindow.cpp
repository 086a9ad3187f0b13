#include "CharacterWindow.h"

#include "CharacterPainter.h"
#include "Compositor.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {
constexpr int kDragThreshold = 4;  // pixels a press may wander and stay a click

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
  setFixedSize(std::ceil(character.size.width() * scale), std::ceil(character.size.height() * scale));
  AskForNoShadow(*this);
  UpdateOutline();
}

void TCharacterWindow::SetTranslucent(bool translucent) {
  if (translucent == translucent_) return;
  translucent_ = translucent;
  shape_ = QRegion();  // the outline's margin differs
  UpdateOutline();
  update();
}

void TCharacterWindow::SetPose(const TPose& pose) {
  pose_ = pose;
  UpdateOutline();
  update();
}

void TCharacterWindow::UpdateOutline() {
  // With per-pixel alpha the soft edge may reach a pixel past the outline.
  // Display-less platforms have no window shapes.
  if (QGuiApplication::platformName() == "offscreen") return;
  QRegion shape = CharacterOutline(character_, pose_, scale_, translucent_ ? 1 : 0, TOutline::Visible);
  if (shape == shape_) return;
  shape_ = shape;
  ApplyShape();
}

void TCharacterWindow::ApplyShape() {
  const QRegion shape = shape_.isEmpty() ? QRegion(0, 0, 1, 1) : shape_;
  // Blended by a compositor, the window keeps its whole rectangle drawn
  // (soft edges) and only its input follows the outline; without one the
  // outline cuts the window out.
  if (translucent_ && SetInputRegion(*this, shape)) {
    if (!mask().isEmpty()) clearMask();
    return;
  }
  setMask(shape);
  SetInputRegion(*this, shape);  // an input region set while blended would stay
}

bool TCharacterWindow::OnCharacter(QPoint local) const {
  // Asked only on a press, so it is worked out then.
  return CharacterOutline(character_, pose_, scale_, 0).contains(local);
}

QPoint TCharacterWindow::BalloonAnchor() const {
  return geometry().topLeft() + (character_.balloonAnchor * scale_).toPoint();
}

void TCharacterWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (translucent_) {
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  } else {
    // Only the outline shows, opaque (no compositor reads the alpha); edge
    // pixels blend with a neutral mid-tone.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), QColor("#9a8a70"));
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  }
  painter.scale(scale_, scale_);
  PaintCharacter(painter, character_, pose_);
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
  if (!dragging_ && delta.manhattanLength() > kDragThreshold) dragging_ = true;
  if (dragging_ && OnDragged) OnDragged(pressTopLeft_ + delta);
}

void TCharacterWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != pressed_) return;
  const bool wasDrag = dragging_;
  const Qt::MouseButton button = pressed_;
  pressed_ = Qt::NoButton;
  dragging_ = false;
  if (wasDrag) return;
  const QPoint global = event->globalPosition().toPoint();
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
