#include "platform/EndpointFolder.h"

#include "platform/PlatformError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace perch {

std::string EndpointFolderPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && runtime[0] == '/') return std::string(runtime) + "/perch";
  return "/tmp/perch-" + std::to_string(getuid());
}

std::string EnsureEndpointFolder() {
  std::string folder = EndpointFolderPath();
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    throw TPlatformError("cannot create the folder " + folder + ": " + std::strerror(errno));
  }
  struct stat info {};
  if (lstat(folder.c_str(), &info) != 0) {
    throw TPlatformError("cannot examine the folder " + folder + ": " + std::strerror(errno));
  }
  if (!S_ISDIR(info.st_mode)) {
    throw TPlatformError(folder + " is not a directory; refusing to use it");
  }
  if (info.st_uid != getuid()) {
    throw TPlatformError(folder + " belongs to another user; refusing to use it");
  }
  if ((info.st_mode & 077) != 0) {
    throw TPlatformError(folder + " is open to other users (mode " + std::to_string((info.st_mode >> 6) & 7) +
                         std::to_string((info.st_mode >> 3) & 7) + std::to_string(info.st_mode & 7) +
                         "); refusing to use it");
  }
  return folder;
}

}  // namespace perch
