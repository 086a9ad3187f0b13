#include "chess/board/DragImage.h"

#include <QPainter>

namespace perch {

TDragImage::TDragImage(QWidget* host) : QWidget(host) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  setFocusPolicy(Qt::NoFocus);
  hide();
}

void TDragImage::ShowAt(const QImage& image, QPoint topLeft) {
  image_ = image;
  resize(image.size());
  move(topLeft);
  raise();
  show();
  shown_ = true;
}

void TDragImage::MoveTo(QPoint topLeft) {
  if (pos() != topLeft) move(topLeft);
  if (!isVisible()) show();
}

void TDragImage::MoveToNow(QPoint topLeft) {
  const QRect before = geometry();
  MoveTo(topLeft);
  if (QWidget* host = parentWidget(); host && host->isVisible()) host->repaint(before.united(geometry()));
}

void TDragImage::HideImage() {
  hide();
  shown_ = false;
  image_ = QImage();
}

void TDragImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

}  // namespace perch
