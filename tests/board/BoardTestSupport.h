#pragma once
// Helpers for the board's widget tests: an offscreen application with the
// font the coordinates are drawn in, and synthetic mouse and key input sent
// straight to a board.

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QPoint>
#include <Qt>

class TChessBrd;

namespace boardtest {

// Runs the tests in an offscreen QApplication; Liberation Sans stands in
// for "Arial".
int RunAll(int argc, char** argv);

void Press(TChessBrd& board, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void Move(TChessBrd& board, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton);
void Release(TChessBrd& board, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void Key(TChessBrd& board, int key);
// A press at `from`, moves past the drag threshold to `to`, and a release.
void DragTo(TChessBrd& board, QPoint from, QPoint to);

// The centre of a square, in the board's coordinates.
QPoint Centre(const TChessBrd& board, int squareIndex);

inline QRgb Rgb(const QColor& c) { return c.rgb(); }

}  // namespace boardtest
