#pragma once
// A "window" of the message link: an AF_UNIX datagram socket bound at
// <endpoint folder>/<class name>. The companion binds "TActor", a
// controlling program "TFrmTuliMain". Posting never blocks and never waits.

#include "platform/LinkMessage.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace perch {

inline constexpr const char* CompanionClass = "TActor";
inline constexpr const char* ControllerClass = "TFrmTuliMain";
// What a controlling program says when another one holds ControllerClass.
inline constexpr const char* ControllerTakenMessage =
    "another controlling program (perch-tray or perchctl listen) is running already; "
    "only one can listen to the companion at a time";

enum class TPostResult {
  Delivered,  // queued at the receiver
  NoWindow,   // nobody is bound under that class (or only a stale socket file)
  QueueFull,  // the receiver's queue is full; the message is lost
};

// Posts one datagram to the window of the class; the folder defaults to the
// endpoint folder, which must be safe (else TPlatformError).
TPostResult PostToWindow(const std::string& className, std::span<const std::uint8_t> datagram,
                         const std::string& folder = {});
TPostResult PostMessageTo(const std::string& className, std::uint32_t message, std::uint64_t wParam,
                          std::int64_t lParam, const std::string& folder = {});

// True when a window of that class is bound and alive.
bool FindWindow(const std::string& className, const std::string& folder = {});

class TLinkWindow {
 public:
  // Binds the class's socket, replacing a stale socket file. Throws
  // TPlatformError when a live window of that class exists already or the
  // socket cannot be bound.
  explicit TLinkWindow(const std::string& className, const std::string& folder = {});
  ~TLinkWindow();
  TLinkWindow(const TLinkWindow&) = delete;
  TLinkWindow& operator=(const TLinkWindow&) = delete;

  int Descriptor() const { return fd_; }
  const std::string& Path() const { return path_; }

  // Takes one datagram if one is waiting (never blocks). Returns false when
  // the queue is empty; otherwise true, with `message` set only when the
  // datagram passed the checks.
  bool ReceiveOne(std::optional<TLinkMessage>& message);

 private:
  int fd_ = -1;
  std::string path_;
  std::vector<std::uint8_t> buffer_;
};

}  // namespace perch
