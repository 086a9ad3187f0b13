#include "companion/Companion.h"

#include "platform/LinkWindow.h"
#include "platform/PlatformError.h"
#include "platform/qt/MessagePump.h"
#include "platform/qt/NoticeSender.h"

#include <QCoreApplication>
#include <QPointer>

#include <cstdio>

namespace perch {

std::atomic<bool> Quitting{false};
TActor* Actor = nullptr;

perch::TWaitSteps& CompanionWaitSteps() {
  static perch::TWaitSteps steps{.now = [] { return std::chrono::steady_clock::now(); },
                                 .processMessagesFor = perch::ProcessMessagesFor};
  return steps;
}

void WaitSeconds(int n) { perch::WaitFor(std::chrono::seconds(n), Quitting, CompanionWaitSteps()); }

namespace {

// The notices wait for the controller in order while its queue is full;
// the sender lives as long as the application.
TNoticeSender* ControllerNotices() {
  static QPointer<TNoticeSender> sender;
  if (!sender && QCoreApplication::instance() != nullptr)
    sender = new TNoticeSender(ControllerClass, {}, QCoreApplication::instance());
  return sender;
}

}  // namespace

void NotifyController(std::uint64_t code) {
  const auto datagram = EncodeMessage(WM_COMPANION, code, 0);
  if (TNoticeSender* sender = ControllerNotices()) {
    sender->Post(datagram);
    return;
  }
  try {
    PostToWindow(ControllerClass, datagram);
  } catch (const TPlatformError& error) {
    // Without a safe endpoint folder there is no controller to tell.
    std::fprintf(stderr, "perch: notice %llu not posted: %s\n", static_cast<unsigned long long>(code),
                 error.what());
  }
}

void DeliverWaitingNotices(std::chrono::milliseconds limit) {
  if (TNoticeSender* sender = ControllerNotices())
    sender->DeliverBefore(std::chrono::steady_clock::now() + limit);
}

int HalfRoundedToEven(int length) {
  const int half = length / 2;
  if (length % 2 == 0) return half;
  // length / 2 truncates toward zero; of the two neighbours pick the even one.
  const int other = length > 0 ? half + 1 : half - 1;
  return half % 2 == 0 ? half : other;
}

}  // namespace perch
