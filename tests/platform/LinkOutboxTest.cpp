// Notices that find the receiver's queue full wait, in order, until it
// reads; bounded when it never does; gone when nobody listens.

#include "platform/LinkMessage.h"
#include "platform/LinkOutbox.h"
#include "platform/LinkWindow.h"

#include "tests/support/TempRuntimeDir.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <memory>

using namespace perch;

namespace {

std::vector<std::uint64_t> ReceiveAll(TLinkWindow& window) {
  std::vector<std::uint64_t> codes;
  std::optional<TLinkMessage> message;
  while (window.ReceiveOne(message))
    if (message) codes.push_back(message->wParam);
  return codes;
}

TEST(LinkOutbox, EveryNoticeArrivesInOrderFromAReceiverThatReadsSlowly) {
  TTempRuntimeDir runtime;
  TLinkWindow receiver(ControllerClass, runtime.Path());
  TLinkOutbox outbox(ControllerClass, runtime.Path());
  for (std::uint64_t i = 0; i < 500; ++i) outbox.Post(EncodeMessage(WM_COMPANION, i, 0));
  ASSERT_GT(outbox.Waiting(), 0U) << "the socket queue took all 500: nothing was tested";

  std::vector<std::uint64_t> received;
  while (received.size() < 500) {
    // The sender's socket says when the receiver has room again.
    pollfd writable{.fd = outbox.Descriptor(), .events = POLLOUT, .revents = 0};
    const auto batch = ReceiveAll(receiver);
    received.insert(received.end(), batch.begin(), batch.end());
    ASSERT_EQ(poll(&writable, 1, 5000), 1) << "never writable with " << outbox.Waiting() << " waiting";
    outbox.Flush();
    ASSERT_TRUE(!batch.empty() || outbox.Waiting() == 0 || received.size() == 500);
  }
  EXPECT_EQ(outbox.Waiting(), 0U);
  for (std::uint64_t i = 0; i < received.size(); ++i) ASSERT_EQ(received[i], i);
}

TEST(LinkOutbox, AReceiverThatNeverReadsHoldsAtMostTheBoundAndTheNewestAreKept) {
  TTempRuntimeDir runtime;
  TLinkWindow receiver(ControllerClass, runtime.Path());
  TLinkOutbox outbox(ControllerClass, runtime.Path());
  const std::uint64_t total = TLinkOutbox::MaxWaiting + 2000;
  for (std::uint64_t i = 0; i < total; ++i) outbox.Post(EncodeMessage(WM_COMPANION, i, 0));
  EXPECT_EQ(outbox.Waiting(), TLinkOutbox::MaxWaiting);
  const std::vector<std::uint64_t> queued = ReceiveAll(receiver);
  ASSERT_FALSE(queued.empty());
  EXPECT_EQ(outbox.Dropped(), total - TLinkOutbox::MaxWaiting - queued.size());
  outbox.Flush();
  const std::vector<std::uint64_t> rest = ReceiveAll(receiver);
  ASSERT_FALSE(rest.empty());
  EXPECT_EQ(rest.front(), queued.size() + outbox.Dropped()) << "the oldest waiting went first";
}

TEST(LinkOutbox, WithNobodyListeningNoticesAreLostAndARestartedReceiverGetsTheNext) {
  TTempRuntimeDir runtime;
  TLinkOutbox outbox(ControllerClass, runtime.Path());
  outbox.Post(EncodeMessage(WM_COMPANION, 1, 0));
  EXPECT_EQ(outbox.Waiting(), 0U);
  auto receiver = std::make_unique<TLinkWindow>(ControllerClass, runtime.Path());
  outbox.Post(EncodeMessage(WM_COMPANION, 2, 0));
  EXPECT_EQ(ReceiveAll(*receiver), std::vector<std::uint64_t>{2});
  // The controller restarts: the old connection is refused, a new one made.
  receiver.reset();
  receiver = std::make_unique<TLinkWindow>(ControllerClass, runtime.Path());
  outbox.Post(EncodeMessage(WM_COMPANION, 3, 0));
  EXPECT_EQ(ReceiveAll(*receiver), std::vector<std::uint64_t>{3});
}

}  // namespace
