#pragma once
// Only one companion runs per user: an exclusive flock on
// "Only One Instance.lock" in the endpoint folder. The kernel drops the lock
// with the process, however it ends.

#include <string>

namespace perch {

inline constexpr const char* InstanceMutexName = "Only One Instance";

class TInstanceLock {
 public:
  // Tries to take the lock in the given folder; never blocks.
  explicit TInstanceLock(const std::string& folder);
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // False when another process already holds the lock.
  bool Acquired() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace perch
