#include "platform/InstanceLock.h"

#include "platform/PlatformError.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace perch {

TInstanceLock::TInstanceLock(const std::string& folder) {
  const std::string path = folder + "/" + InstanceMutexName + ".lock";
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) throw TPlatformError("cannot open " + path + ": " + std::strerror(errno));
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    close(fd);
    if (error == EWOULDBLOCK) return;  // another instance holds it
    throw TPlatformError("cannot lock " + path + ": " + std::strerror(error));
  }
  fd_ = fd;
}

TInstanceLock::~TInstanceLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace perch
