#include "platform/qt/LinkReceiver.h"

#include <cstdio>
#include <exception>

namespace perch {

TLinkReceiver::TLinkReceiver(std::unique_ptr<TLinkWindow> window, THandler handler, QObject* parent)
    : QObject(parent),
      window_(std::move(window)),
      handler_(std::move(handler)),
      notifier_(new QSocketNotifier(window_->Descriptor(), QSocketNotifier::Read, this)) {
  connect(notifier_, &QSocketNotifier::activated, this, &TLinkReceiver::OnReadable);
}

TLinkReceiver::~TLinkReceiver() { notifier_->setEnabled(false); }

void TLinkReceiver::OnReadable() {
  std::optional<TLinkMessage> message;
  if (!window_->ReceiveOne(message) || !message) return;
  // The handler is expected to catch its own errors; this only keeps an
  // escaped one out of the event loop.
  try {
    handler_(*message);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "perch: a link message failed: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "perch: a link message failed\n");
  }
}

}  // namespace perch
