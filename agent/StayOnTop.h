#pragma once
// Keeps the character's windows above every other window. They bypass the
// window manager, so no manager keeps them up: when another top-level window
// is mapped or restacked, they are raised again, the last one topmost.
// Raises are gathered, so a burst of restacks costs one raise, and another
// program that raises itself the same way cannot make a storm of it.

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

namespace perch {

class TStayOnTop : public QObject, public QAbstractNativeEventFilter {
  Q_OBJECT
 public:
  // Windows in stacking order, bottom first. Does nothing off X11.
  explicit TStayOnTop(const std::vector<QWidget*>& windows);
  ~TStayOnTop() override;
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  bool Ours(unsigned window) const;
  void RaiseAll();

  std::vector<QPointer<QWidget>> windows_;
  unsigned root_ = 0;
  QTimer raiseTimer_;
};

}  // namespace perch
