#pragma once
// The notices for one window of the message link, kept in order until that
// window's queue takes them. A datagram socket's queue holds only a few
// (net.unix.max_dgram_qlen, about ten), and a controlling program counts on
// every notice; so a notice that finds the queue full waits here, and is
// sent when the receiver has read enough. Nothing here blocks: the owner
// watches Descriptor() for writability and calls Flush() (the Qt side does
// so from the event loop, see qt/NoticeSender).
//
// Bounded as a window message queue is: at most MaxWaiting notices wait;
// past that the oldest is dropped, and a line on stderr says so once. With
// no window of the class at all (nobody listens), a notice is lost, as a
// posted message to no window is.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <vector>

namespace perch {

class TLinkOutbox {
 public:
  static constexpr std::size_t MaxWaiting = 10000;

  explicit TLinkOutbox(std::string className, std::string folder = {});
  ~TLinkOutbox();
  TLinkOutbox(const TLinkOutbox&) = delete;
  TLinkOutbox& operator=(const TLinkOutbox&) = delete;

  // Sends the datagram now when nothing waits before it and the receiver
  // takes it; otherwise keeps it, behind those waiting.
  void Post(std::span<const std::uint8_t> datagram);
  // Sends what waits, oldest first, as far as the receiver takes it.
  void Flush();
  std::size_t Waiting() const { return waiting_.size(); }
  // The socket connected to the receiver, to watch for writability while
  // something waits; -1 when there is none.
  int Descriptor() const { return fd_; }
  // Notices dropped so far because MaxWaiting were waiting.
  std::size_t Dropped() const { return dropped_; }

 private:
  enum class TSend { Sent, Full, Gone };
  TSend SendFront();
  bool Connect();
  void Disconnect();

  std::string className_;
  std::string folder_;
  int fd_ = -1;
  std::deque<std::vector<std::uint8_t>> waiting_;
  std::size_t dropped_ = 0;
};

}  // namespace perch
