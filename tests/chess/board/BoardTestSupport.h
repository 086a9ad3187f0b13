#pragma once
// Mouse and key input sent straight to a board, for its widget tests.

#include <QPoint>
#include <Qt>

#include "chess/model/Square.h"

using namespace perch;

namespace perch {
class TChessBrd;
}

namespace boardtest {

void Press(TChessBrd& board, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void Move(TChessBrd& board, QPoint at, Qt::MouseButtons buttons = Qt::LeftButton);
void Release(TChessBrd& board, QPoint at, Qt::MouseButton button = Qt::LeftButton);
void Key(TChessBrd& board, int key);
// A press at `from`, moves past the drag threshold to `to`, and a release.
void DragTo(TChessBrd& board, QPoint from, QPoint to);
// The centre of a square, in the board's coordinates.
QPoint Centre(const TChessBrd& board, Square square);

}  // namespace boardtest
