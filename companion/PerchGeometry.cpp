#include "companion/PerchGeometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace perch {

namespace {

constexpr int FreePlaceMargin = 10;

long long OverlapArea(QRect a, QRect b) {
  const QRect both = a.intersected(b);
  return both.isEmpty() ? 0 : static_cast<long long>(both.width()) * both.height();
}

}  // namespace

QRect FrameAround(QRect window, const std::optional<TFrameExtents>& extents) {
  if (!extents) return window;
  return window.adjusted(-extents->left, -extents->top, extents->right, extents->bottom);
}

TPerchSpan PerchSpan(QRect frame, QRect monitor, TCharacterBox character) {
  TPerchSpan span;
  span.y = frame.top();
  if (frame.isEmpty() || monitor.isEmpty() || character.size.isEmpty()) return span;
  // The whole bird on the monitor: its head below the monitor's top, its
  // lowest pixel above the monitor's bottom.
  const int top = span.y - character.feet.y();
  if (top < monitor.top() || top + character.size.height() - 1 > monitor.bottom()) return span;
  const int clearance = std::max(EdgeEndClearance, frame.width() / 4);
  span.first = std::max(frame.left() + clearance, monitor.left() + character.feet.x());
  span.last = std::min(frame.right() - clearance,
                       monitor.right() - (character.size.width() - 1 - character.feet.x()));
  return span;
}

std::optional<QPoint> PerchSpot(QRect frame, const QList<QRect>& monitors, TCharacterBox character,
                                double along) {
  std::optional<TPerchSpan> best;
  for (const QRect& monitor : monitors) {
    const TPerchSpan span = PerchSpan(frame, monitor, character);
    if (!span.Empty() && (!best || span.last - span.first > best->last - best->first)) best = span;
  }
  if (!best) return std::nullopt;
  const double share = std::isfinite(along) ? std::clamp(along, 0.0, 1.0) : 0.5;
  const int x = best->first + static_cast<int>(std::lround(share * (best->last - best->first)));
  return QPoint(x - character.feet.x(), best->y - character.feet.y());
}

QPoint FreePlace(QRect area, QSize character, QRect avoid) {
  const int left = area.left() + FreePlaceMargin;
  const int top = area.top() + FreePlaceMargin;
  // A bird larger than the area keeps to its top left.
  const int right = std::max(left, area.right() + 1 - FreePlaceMargin - character.width());
  const int bottom = std::max(top, area.bottom() + 1 - FreePlaceMargin - character.height());
  const std::array<QPoint, 4> corners{{{right, bottom}, {left, bottom}, {right, top}, {left, top}}};
  QPoint chosen = corners[0];
  long long least = -1;
  for (const QPoint& corner : corners) {
    const long long overlap = OverlapArea(QRect(corner, character), avoid);
    if (overlap == 0) return corner;
    if (least < 0 || overlap < least) {
      least = overlap;
      chosen = corner;
    }
  }
  return chosen;
}

}  // namespace perch
