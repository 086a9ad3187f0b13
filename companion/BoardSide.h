#pragma once
// Where the character stands during a game: beside the game's window, never
// over it, wholly inside the screen's available area.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace perch {

// The top left for a character of that size next to the board's window
// (its frame included), as near as can be to the wished place: right of the
// window, or left of it when the right has no room; at the wished height,
// kept inside the area. Where neither side has room it takes the roomier
// one, kept inside the area.
QPoint BesideBoard(QRect board, QSize character, QPoint wished, QRect area);

}  // namespace perch
