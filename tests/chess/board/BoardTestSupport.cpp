#include "tests/chess/board/BoardTestSupport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "chess/board/TChessBrd.h"

using namespace perch;

namespace boardtest {

static void Send(TChessBrd& b, QEvent::Type type, QPoint at, Qt::MouseButton button,
                 Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(at), QPointF(b.mapToGlobal(at)), button, buttons, Qt::NoModifier);
  QApplication::sendEvent(&b, &e);
}

void Press(TChessBrd& b, QPoint at, Qt::MouseButton button) {
  Send(b, QEvent::MouseButtonPress, at, button, button);
}
void Move(TChessBrd& b, QPoint at, Qt::MouseButtons buttons) {
  Send(b, QEvent::MouseMove, at, Qt::NoButton, buttons);
}
void Release(TChessBrd& b, QPoint at, Qt::MouseButton button) {
  Send(b, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}
void Key(TChessBrd& b, int key) {
  QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&b, &e);
}

void DragTo(TChessBrd& b, QPoint from, QPoint to) {
  Press(b, from);
  Move(b, from + QPoint(6, 0));
  Move(b, (from + to) / 2);
  Move(b, to);
  Release(b, to);
}

QPoint Centre(const TChessBrd& b, Square square) {
  const int h = b.SizeOfSquare() / 2;
  return b.SquareOrigin(square) + QPoint(h, h);
}

}  // namespace boardtest
