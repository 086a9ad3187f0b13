#pragma once
// Keeps the character's windows above the ordinary windows of other
// programs, and out of the way of a full-screen one. They bypass the window
// manager, so no manager keeps them up: when another managed window is
// mapped or restacked, they are put back just above the topmost managed
// window, the last one topmost. Windows that bypass the manager as they do
// (other programs' menus, tooltips, popups, notifications) are left above
// them. While the active window is full screen over the character's
// monitor, the windows are taken off the screen behind Qt's back (Qt still
// counts them shown) and come back once it is not.
// Checks are gathered, so a burst of restacks costs one, and another
// program that raises itself the same way cannot make a storm of it.

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <vector>

namespace perch {

class TStayOnTop : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT
 public:
  // Windows in stacking order, bottom first; the first is the character,
  // whose centre tells its monitor. Does nothing off X11.
  explicit TStayOnTop(const std::vector<QWidget*>& windows);
  ~TStayOnTop() override;
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  // Whether the windows are off the screen for a full-screen window.
  bool Covered() const { return covered_; }

 signals:
  void CoveredChanged(bool covered);

 private:
  bool Ours(std::uint32_t window) const;
  // Notes the window below one of ours; true when it changed.
  bool StackingChanged(std::uint32_t window, std::uint32_t below);
  void Check();
  void WatchActive(std::uint32_t window);
  bool FullScreenOverUs() const;
  void SetCovered(bool covered);
  void Restack();

  std::vector<QPointer<QWidget>> windows_;
  std::uint32_t root_ = 0;
  std::uint32_t activeAtom_ = 0, stateAtom_ = 0, fullScreenAtom_ = 0;
  std::uint32_t active_ = 0;         // the active window, whose state is watched
  std::uint32_t activeOldMask_ = 0;  // its event mask of ours before the watch
  bool covered_ = false;
  std::vector<std::uint32_t> below_;  // the window below each of ours, last seen
  QTimer checkTimer_;
};

}  // namespace perch
