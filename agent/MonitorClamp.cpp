#include "agent/MonitorClamp.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <limits>

namespace perch {

namespace {

// Squared distance from a point to the nearest pixel of a rectangle.
long long DistanceSquared(QPoint point, QRect rect) {
  const long long dx = std::max({rect.left() - point.x(), 0, point.x() - rect.right()});
  const long long dy = std::max({rect.top() - point.y(), 0, point.y() - rect.bottom()});
  return dx * dx + dy * dy;
}

}  // namespace

QPoint KeepOnMonitor(QRect window, const QList<QRect>& monitors) {
  const QPoint centre = window.center();
  const QRect* best = nullptr;
  long long bestDistance = std::numeric_limits<long long>::max();
  for (const QRect& monitor : monitors) {
    if (monitor.isEmpty()) continue;
    const long long distance = DistanceSquared(centre, monitor);
    if (distance < bestDistance) {
      best = &monitor;
      bestDistance = distance;
    }
  }
  if (best == nullptr) return window.topLeft();
  // A window larger than the monitor keeps its top left on it.
  const int x = std::max(best->left(), std::min(window.left(), best->right() + 1 - window.width()));
  const int y = std::max(best->top(), std::min(window.top(), best->bottom() + 1 - window.height()));
  return {x, y};
}

QPoint KeepOnMonitor(QRect window) {
  QList<QRect> monitors;
  for (const QScreen* screen : QGuiApplication::screens()) monitors.append(screen->geometry());
  return KeepOnMonitor(window, monitors);
}

}  // namespace perch
