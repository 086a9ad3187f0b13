#pragma once
// Where the desktop has no system tray: a small button that stays on top near
// the primary monitor's bottom right corner, on every workspace and in no
// taskbar, and opens the tray's menu.

#include <QToolButton>

class QMenu;

namespace perch {

class TFallbackButton : public QToolButton {
  Q_OBJECT
 public:
  TFallbackButton(const QIcon& icon, QMenu* menu);

  // Near the bottom right corner of the primary screen's free area.
  void Place();
  // Places the button and shows it on every workspace.
  void ShowInCorner();
};

}  // namespace perch
