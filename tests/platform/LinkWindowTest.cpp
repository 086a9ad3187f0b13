#include "EndpointFolder.h"
#include "LinkWindow.h"
#include "PlatformError.h"
#include "TempRuntimeDir.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <optional>

namespace {

// Sends raw bytes, as a foreign program would.
void SendRaw(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  close(fd);
}

std::optional<perch::TLinkMessage> NextValid(perch::TLinkWindow& window) {
  std::optional<perch::TLinkMessage> message;
  while (window.ReceiveOne(message)) {
    if (message) return message;
  }
  return std::nullopt;
}

}  // namespace

TEST(LinkWindow, PostedMessagesArriveInOrderAndJunkIsSkipped) {
  TTempRuntimeDir runtime;
  perch::TLinkWindow window(perch::CompanionClass);
  EXPECT_EQ(window.Path(), runtime.Folder() + "/TActor");
  EXPECT_TRUE(perch::FindWindow(perch::CompanionClass));

  SendRaw(window.Path(), {1, 2, 3});
  std::vector<std::uint8_t> oversized(70000, 0);  // larger than any datagram of the link
  const auto header = perch::EncodeMessage(perch::WM_COMPANION, 99, 0);
  std::copy(header.begin(), header.end(), oversized.begin());
  SendRaw(window.Path(), oversized);
  EXPECT_EQ(perch::PostMessageTo(perch::CompanionClass, perch::WM_COMPANION, 3, 0),
            perch::TPostResult::Delivered);
  const auto text = perch::EncodeCopyData("hi");
  EXPECT_EQ(perch::PostToWindow(perch::CompanionClass, text), perch::TPostResult::Delivered);

  const auto first = NextValid(window);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->wParam, 3u);
  const auto second = NextValid(window);
  ASSERT_TRUE(second);
  EXPECT_EQ(second->text, "hi");
  EXPECT_FALSE(NextValid(window));
}

TEST(LinkWindow, AbsentOrStaleWindowsAreNotFound) {
  TTempRuntimeDir runtime;
  EXPECT_FALSE(perch::FindWindow(perch::ControllerClass));
  EXPECT_EQ(perch::PostMessageTo(perch::ControllerClass, perch::WM_COMPANION, 40, 0),
            perch::TPostResult::NoWindow);
  std::string path;
  {
    perch::TLinkWindow window(perch::ControllerClass);
    path = window.Path();
  }
  // A socket file left behind by a crashed owner.
  const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  close(fd);
  EXPECT_FALSE(perch::FindWindow(perch::ControllerClass));
  EXPECT_EQ(perch::PostMessageTo(perch::ControllerClass, perch::WM_COMPANION, 40, 0),
            perch::TPostResult::NoWindow);
  // ... is replaced by the next owner.
  perch::TLinkWindow replacement(perch::ControllerClass);
  EXPECT_TRUE(perch::FindWindow(perch::ControllerClass));
}

TEST(LinkWindow, ALiveWindowCannotBeTakenOver) {
  TTempRuntimeDir runtime;
  perch::TLinkWindow first(perch::ControllerClass);
  EXPECT_THROW(perch::TLinkWindow second(perch::ControllerClass), perch::TPlatformError);
  EXPECT_TRUE(perch::FindWindow(perch::ControllerClass));
}

TEST(LinkWindow, PostingToAFullQueueLosesTheMessageWithoutBlocking) {
  TTempRuntimeDir runtime;
  perch::TLinkWindow window(perch::CompanionClass);
  const auto text = perch::EncodeCopyData(std::string(60000, 'x'));
  perch::TPostResult result = perch::TPostResult::Delivered;
  for (int i = 0; i < 1000 && result == perch::TPostResult::Delivered; ++i) {
    result = perch::PostToWindow(perch::CompanionClass, text);
  }
  EXPECT_EQ(result, perch::TPostResult::QueueFull);
  EXPECT_TRUE(NextValid(window));
}
