#pragma once
// Sends notices through a TLinkOutbox from the Qt event loop: what the
// receiver's queue cannot take yet is sent when its socket becomes
// writable, watched by a socket notifier only while something waits, so
// the GUI thread never blocks and an idle program watches nothing.

#include "platform/LinkOutbox.h"

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

#include <chrono>
#include <cstdint>
#include <span>
#include <string>

namespace perch {

class TNoticeSender : public QObject {
 public:
  explicit TNoticeSender(std::string className, std::string folder = {}, QObject* parent = nullptr);

  void Post(std::span<const std::uint8_t> datagram);
  // For the end of the program, when no event loop runs any more: waits
  // until the receiver has taken what still waits, or until the deadline.
  void DeliverBefore(std::chrono::steady_clock::time_point deadline);
  const TLinkOutbox& Outbox() const { return outbox_; }

 private:
  void Watch();

  TLinkOutbox outbox_;
  QPointer<QSocketNotifier> notifier_;
};

}  // namespace perch
