#pragma once
// A folder on a file system of its own that can be filled to the last
// block: a small tmpfs mounted on a fresh temporary folder (this needs root,
// or a mount namespace where the test may mount). Where no mount can be
// made, Ready() is false and Why() says so, for a visible skip.

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace perch {

class TFullFolder {
 public:
  TFullFolder() {
    char folder[] = "/tmp/perch-full-XXXXXX";
    if (mkdtemp(folder) == nullptr) {
      why_ = std::string("cannot make a folder: ") + std::strerror(errno);
      return;
    }
    path_ = folder;
    if (mount("tmpfs", folder, "tmpfs", MS_NOSUID | MS_NODEV, "size=256k,mode=0700") != 0) {
      why_ = std::string("cannot mount a small tmpfs to fill (needs root): ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
  }
  ~TFullFolder() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) rmdir(path_.c_str());
  }
  TFullFolder(const TFullFolder&) = delete;
  TFullFolder& operator=(const TFullFolder&) = delete;

  bool Ready() const { return mounted_; }
  const std::string& Why() const { return why_; }
  const std::string& Path() const { return path_; }

  // Takes every free block; true once a write has failed for want of space.
  bool Fill() const {
    std::FILE* filler = std::fopen((path_ + "/.filler").c_str(), "wb");
    if (filler == nullptr) return false;
    static const char Block[4096] = {};
    while (std::fwrite(Block, 1, sizeof Block, filler) == sizeof Block && std::fflush(filler) == 0) {
    }
    const bool full = errno == ENOSPC;
    std::fclose(filler);
    return full;
  }

 private:
  std::string path_;
  std::string why_;
  bool mounted_ = false;
};

}  // namespace perch
