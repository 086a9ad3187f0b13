#include "tests/board/BoardTestSupport.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMouseEvent>

#include "chess/board/TChessBrd.h"

namespace boardtest {

int RunAll(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QFontDatabase::addApplicationFont(
      QStringLiteral("/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

namespace {

void SendMouse(TChessBrd& board, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
  QMouseEvent e(type, QPointF(at), QPointF(board.mapToGlobal(at)), button, buttons,
                Qt::NoModifier);
  QApplication::sendEvent(&board, &e);
}

}  // namespace

void Press(TChessBrd& board, QPoint at, Qt::MouseButton button) {
  SendMouse(board, QEvent::MouseButtonPress, at, button, button);
}

void Move(TChessBrd& board, QPoint at, Qt::MouseButtons buttons) {
  SendMouse(board, QEvent::MouseMove, at, Qt::NoButton, buttons);
}

void Release(TChessBrd& board, QPoint at, Qt::MouseButton button) {
  SendMouse(board, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

void Key(TChessBrd& board, int key) {
  QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(&board, &e);
}

void DragTo(TChessBrd& board, QPoint from, QPoint to) {
  Press(board, from);
  Move(board, from + QPoint(6, 0));
  Move(board, (from + to) / 2);
  Move(board, to);
  Release(board, to);
}

QPoint Centre(const TChessBrd& board, int squareIndex) {
  const int h = board.SizeOfSquare() / 2;
  return board.SquareOrigin(SquareFromIndex(squareIndex)) + QPoint(h, h);
}

}  // namespace boardtest
