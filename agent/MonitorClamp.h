#pragma once
// Keeps a window wholly on one monitor: the one under its centre, or the
// nearest one when its centre lies where no monitor shows.

#include <QList>
#include <QPoint>
#include <QRect>

namespace perch {

// The top left that puts the window of that size wholly on a monitor
// (monitors in screen pixels); unchanged when there are none.
QPoint KeepOnMonitor(QRect window, const QList<QRect>& monitors);
// The same on the monitors the application sees.
QPoint KeepOnMonitor(QRect window);

}  // namespace perch
