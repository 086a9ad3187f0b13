#include "apps/perch-tray/FallbackButton.h"

#include "apps/perch-tray/DesktopHints.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

namespace perch {

TFallbackButton::TFallbackButton(const QIcon& icon, QMenu* menu) : QToolButton(nullptr) {
  setObjectName(QStringLiteral("fallbackButton"));
  setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  setWindowTitle(tr("Perch menu"));
  setToolTip(tr("Perch"));
  setIcon(icon);
  setIconSize(QSize(40, 40));
  setFixedSize(48, 48);
  setAutoRaise(true);
  // The menu opens on a press, like the tray icon's.
  connect(this, &QToolButton::pressed, this,
          [this, menu] { menu->popup(mapToGlobal(QPoint(0, 0)) - QPoint(0, menu->sizeHint().height())); });
  // A change of monitors or panels moves the corner.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    connect(screen, &QScreen::availableGeometryChanged, this, &TFallbackButton::Place);
  }
}

void TFallbackButton::Place() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  move(area.right() - width() - 8, area.bottom() - height() - 8);
}

void TFallbackButton::ShowInCorner() {
  // The window manager forgets the hints of a window that was hidden, so
  // they are given again each time.
  KeepOnEveryWorkspace(this);
  Place();
  show();
}

}  // namespace perch
