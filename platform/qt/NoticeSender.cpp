#include "platform/qt/NoticeSender.h"

#include <poll.h>

#include <algorithm>
#include <utility>

namespace perch {

TNoticeSender::TNoticeSender(std::string className, std::string folder, QObject* parent)
    : QObject(parent), outbox_(std::move(className), std::move(folder)) {}

void TNoticeSender::Post(std::span<const std::uint8_t> datagram) {
  outbox_.Post(datagram);
  Watch();
}

void TNoticeSender::Watch() {
  const bool waiting = outbox_.Waiting() > 0 && outbox_.Descriptor() >= 0;
  if (notifier_ && (!waiting || notifier_->socket() != outbox_.Descriptor())) {
    // Possibly inside its own signal: disabled now, deleted later.
    notifier_->setEnabled(false);
    notifier_->deleteLater();
    notifier_ = nullptr;
  }
  if (!waiting || notifier_) return;
  notifier_ = new QSocketNotifier(outbox_.Descriptor(), QSocketNotifier::Write, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    outbox_.Flush();
    Watch();
  });
}

void TNoticeSender::DeliverBefore(std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    outbox_.Flush();
    if (outbox_.Waiting() == 0 || outbox_.Descriptor() < 0) return;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    pollfd watched{.fd = outbox_.Descriptor(), .events = POLLOUT, .revents = 0};
    poll(&watched, 1, static_cast<int>(std::min<long long>(left.count(), 1000)));
  }
}

}  // namespace perch
