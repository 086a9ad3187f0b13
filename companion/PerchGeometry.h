#pragma once
// Where the bird stands when it perches on a window: its feet on the top
// edge of the window's frame, in the middle part of that edge (the ends
// carry the frame's buttons), with the whole bird on one monitor. Also the
// free place it flies to when it has to leave. Pure geometry, in the
// desktop's pixels.

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace perch {

// How far the frame's decorations reach beyond the window's own area
// (_NET_FRAME_EXTENTS).
struct TFrameExtents {
  int left = 0, right = 0, top = 0, bottom = 0;
};

// The frame around a window's own area; the area itself when the window
// manager publishes no extents.
QRect FrameAround(QRect window, const std::optional<TFrameExtents>& extents);

// The bird's window: its size and the point between its feet (where the
// toes touch the ground) inside it.
struct TCharacterBox {
  QSize size;
  QPoint feet;
};

// The bird keeps off this much of each end of the edge, and a quarter of
// the edge when that is more.
inline constexpr int EdgeEndClearance = 40;

// The feet's range along the frame's top edge on one monitor: the middle
// part of the edge where the whole bird stays on that monitor. Empty
// (first > last) when there is none.
struct TPerchSpan {
  int first = 1, last = 0;  // x of the feet, both included
  int y = 0;                // the frame's top edge
  bool Empty() const { return first > last; }
};
TPerchSpan PerchSpan(QRect frame, QRect monitor, TCharacterBox character);

// The top left of the bird's window with its feet on the frame's top edge,
// `along` (0 to 1) of the way through the middle part, on the monitor that
// shows the most of that part. Nothing when no monitor has room for the
// whole bird there (the edge at or near the screen's top, off every
// monitor, or too short).
std::optional<QPoint> PerchSpot(QRect frame, const QList<QRect>& monitors, TCharacterBox character,
                                double along);

// A corner of the monitor's area (a margin in) for the bird, the first of
// bottom right, bottom left, top right, top left that keeps off `avoid`;
// when each overlaps it, the one that overlaps it least.
QPoint FreePlace(QRect area, QSize character, QRect avoid);

}  // namespace perch
