// The endpoint folder, the instance lock and the windows of the message link.

#include "platform/EndpointFolder.h"
#include "platform/InstanceLock.h"
#include "platform/LinkWindow.h"
#include "platform/PlatformError.h"

#include "tests/support/EnvironmentGuard.h"
#include "tests/support/TempRuntimeDir.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <algorithm>

using namespace perch;

namespace {

// What a foreign program may do at a window's path: send raw bytes there or,
// given none, bind there and go away, which leaves a stale socket file.
bool Foreign(const std::string& path, const std::vector<std::uint8_t>& bytes = {}) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, sizeof(address.sun_path) - 1);
  const auto* to = reinterpret_cast<const sockaddr*>(&address);
  const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  const bool done = bytes.empty() ? bind(fd, to, sizeof(address)) == 0
                                  : sendto(fd, bytes.data(), bytes.size(), 0, to, sizeof(address)) >= 0;
  close(fd);
  return done;
}

// The next datagram that passes the checks, as "<wParam> <text>".
std::string NextValid(TLinkWindow& window) {
  std::optional<TLinkMessage> message;
  while (window.ReceiveOne(message))
    if (message) return std::to_string(message->wParam) + " " + message->text;
  return "none";
}

}  // namespace

TEST(EndpointFolder, PrivateInTheRuntimeFolderElseInTmpAndNeverOpenOrALink) {
  TTempRuntimeDir runtime;
  const std::string folder = EnsureEndpointFolder();
  EXPECT_EQ(folder, runtime.Folder());
  struct stat info {};
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(EnsureEndpointFolder(), folder);  // a second call accepts it
  chmod(folder.c_str(), 0755);
  EXPECT_THROW(EnsureEndpointFolder(), TPlatformError);
  std::filesystem::remove(folder);
  const std::string elsewhere = runtime.Path() + "/elsewhere";
  ASSERT_EQ(mkdir(elsewhere.c_str(), 0700), 0);
  std::filesystem::create_directory_symlink(elsewhere, folder);
  EXPECT_THROW(EnsureEndpointFolder(), TPlatformError);

  TEnvironmentGuard runtimeVariable("XDG_RUNTIME_DIR");
  runtimeVariable.Unset();
  EXPECT_EQ(EndpointFolderPath(), "/tmp/perch-" + std::to_string(getuid()));
  runtimeVariable.Set("relative/path");  // not a usable runtime folder
  EXPECT_EQ(EndpointFolderPath(), "/tmp/perch-" + std::to_string(getuid()));
}

TEST(InstanceLock, OnlyOneHolderUntilItIsReleased) {
  TTempRuntimeDir runtime;
  const std::string folder = EnsureEndpointFolder();
  {
    TInstanceLock first(folder);
    ASSERT_TRUE(first.Acquired());
    EXPECT_FALSE(TInstanceLock(folder).Acquired());
  }
  EXPECT_TRUE(TInstanceLock(folder).Acquired());
  EXPECT_TRUE(std::filesystem::exists(folder + "/Only One Instance.lock"));
}

TEST(LinkWindow, PostedMessagesArriveInOrderAndJunkIsSkipped) {
  TTempRuntimeDir runtime;
  TLinkWindow window(CompanionClass);
  EXPECT_EQ(window.Path(), runtime.Folder() + "/TActor");
  EXPECT_TRUE(Foreign(window.Path(), {1, 2, 3}));
  std::vector<std::uint8_t> oversized(70000, 0);  // larger than any datagram of the link
  const auto header = EncodeMessage(WM_COMPANION, 99, 0);
  std::copy(header.begin(), header.end(), oversized.begin());
  EXPECT_TRUE(Foreign(window.Path(), oversized));
  EXPECT_EQ(PostMessageTo(CompanionClass, WM_COMPANION, 3, 0), TPostResult::Delivered);
  EXPECT_EQ(PostToWindow(CompanionClass, EncodeCopyData("hi")), TPostResult::Delivered);
  EXPECT_EQ(NextValid(window), "3 ");
  EXPECT_EQ(NextValid(window), "0 hi");
  EXPECT_EQ(NextValid(window), "none");
}

TEST(LinkWindow, AbsentOrStaleWindowsAreNotFoundAndALiveOneIsNotTakenOver) {
  TTempRuntimeDir runtime;
  const auto post = [] { return PostMessageTo(ControllerClass, WM_COMPANION, 40, 0); };
  EXPECT_FALSE(FindWindow(ControllerClass));
  EXPECT_EQ(post(), TPostResult::NoWindow);
  std::string path = TLinkWindow(ControllerClass).Path();
  // A socket file left behind by a crashed owner ...
  ASSERT_TRUE(Foreign(path));
  EXPECT_FALSE(FindWindow(ControllerClass));
  EXPECT_EQ(post(), TPostResult::NoWindow);
  // ... is replaced by the next owner, which nobody can take over.
  TLinkWindow owner(ControllerClass);
  EXPECT_THROW(TLinkWindow second(ControllerClass), TPlatformError);
  EXPECT_TRUE(FindWindow(ControllerClass));
  EXPECT_EQ(post(), TPostResult::Delivered);
}

TEST(LinkWindow, PostingToAFullQueueLosesTheMessageWithoutBlocking) {
  TTempRuntimeDir runtime;
  TLinkWindow window(CompanionClass);
  const auto text = EncodeCopyData(std::string(60000, 'x'));
  TPostResult result = TPostResult::Delivered;
  for (int i = 0; i < 1000 && result == TPostResult::Delivered; ++i)
    result = PostToWindow(CompanionClass, text);
  EXPECT_EQ(result, TPostResult::QueueFull);
  EXPECT_EQ(NextValid(window).size(), 60002u);
}
