#include "companion/BoardSide.h"

#include <algorithm>

namespace perch {

namespace {
constexpr int Gap = 8;  // pixels between the window's frame and the character
}

QPoint BesideBoard(QRect board, QSize character, QPoint wished, QRect area) {
  const int right = board.right() + 1 + Gap;
  const int left = board.left() - Gap - character.width();
  const bool rightFits = right + character.width() - 1 <= area.right();
  const bool leftFits = left >= area.left();
  int x;
  if (rightFits) {
    x = right;
  } else if (leftFits) {
    x = left;
  } else {
    x = area.right() - board.right() >= board.left() - area.left() ? right : left;
  }
  x = std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - character.width()));
  const int y =
      std::clamp(wished.y(), area.top(), std::max(area.top(), area.bottom() + 1 - character.height()));
  return {x, y};
}

}  // namespace perch
