#pragma once
// One writer at a time in a folder: a read, change and write of a settings
// file by one program must not interleave with another's (perch-tray and the
// companion both write the companion's settings), or one of the two changes
// is lost. The lock is flock on the folder itself, so no lock file is left
// beside the settings, and it dies with its holder.

#include <string>

namespace perch {

class TFolderLock {
 public:
  // Waits at most about two seconds for the folder's lock. A folder that
  // cannot be opened or locked in time is written without it (Held() false):
  // a holder that hangs must not stop every other program's settings.
  explicit TFolderLock(const std::string& folder);
  ~TFolderLock();
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

  bool Held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

}  // namespace perch
