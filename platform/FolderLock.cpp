#include "platform/FolderLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace perch {

namespace {

constexpr auto LongestWait = std::chrono::seconds(2);
constexpr auto RetryEvery = std::chrono::milliseconds(5);

}  // namespace

TFolderLock::TFolderLock(const std::string& folder) {
  fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;
  const auto giveUpAt = std::chrono::steady_clock::now() + LongestWait;
  while (!(held_ = flock(fd_, LOCK_EX | LOCK_NB) == 0)) {
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (std::chrono::steady_clock::now() >= giveUpAt) return;
    std::this_thread::sleep_for(RetryEvery);
  }
}

TFolderLock::~TFolderLock() {
  if (fd_ >= 0) close(fd_);  // closing releases the lock
}

}  // namespace perch
