#pragma once
// Delivers the datagrams of a link window through the Qt event loop, one per
// activation, so that a message arriving while an earlier one is handled
// (inside a nested wait) is handled at once, nested, as window messages are.

#include "platform/LinkWindow.h"

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace perch {

class TLinkReceiver : public QObject {
  Q_OBJECT
 public:
  using THandler = std::function<void(const TLinkMessage&)>;

  TLinkReceiver(std::unique_ptr<TLinkWindow> window, THandler handler, QObject* parent = nullptr);
  ~TLinkReceiver() override;

 private:
  void OnReadable();

  std::unique_ptr<TLinkWindow> window_;
  THandler handler_;
  QSocketNotifier* notifier_;
};

}  // namespace perch
