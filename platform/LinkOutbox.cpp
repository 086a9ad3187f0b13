#include "platform/LinkOutbox.h"

#include "platform/EndpointFolder.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace perch {

TLinkOutbox::TLinkOutbox(std::string className, std::string folder)
    : className_(std::move(className)), folder_(std::move(folder)) {}

TLinkOutbox::~TLinkOutbox() { Disconnect(); }

void TLinkOutbox::Post(std::span<const std::uint8_t> datagram) {
  if (waiting_.size() >= MaxWaiting) {
    waiting_.pop_front();
    if (dropped_++ == 0) {
      std::fprintf(stderr,
                   "perch: %zu notices wait for %s, which does not read them; the oldest are dropped\n",
                   MaxWaiting, className_.c_str());
    }
  }
  waiting_.emplace_back(datagram.begin(), datagram.end());
  Flush();
}

void TLinkOutbox::Flush() {
  while (!waiting_.empty()) {
    switch (SendFront()) {
      case TSend::Sent: waiting_.pop_front(); break;
      case TSend::Full: return;
      case TSend::Gone:
        // Nobody listens: what waited was for a receiver that is no more.
        waiting_.clear();
        return;
    }
  }
}

TLinkOutbox::TSend TLinkOutbox::SendFront() {
  // A receiver that went away, or was started anew under the same name,
  // refuses the old connection: connect again once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (fd_ < 0 && !Connect()) return TSend::Gone;
    const auto& datagram = waiting_.front();
    ssize_t sent;
    do {
      sent = send(fd_, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    } while (sent < 0 && errno == EINTR);
    if (sent >= 0) return TSend::Sent;
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS) return TSend::Full;
    Disconnect();
  }
  return TSend::Gone;
}

bool TLinkOutbox::Connect() {
  std::string path;
  try {
    path = (folder_.empty() ? EnsureEndpointFolder() : folder_) + "/" + className_;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "perch: notices not sent: %s\n", error.what());
    return false;
  }
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  fd_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd_ < 0) return false;
  if (connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    Disconnect();
    return false;
  }
  return true;
}

void TLinkOutbox::Disconnect() {
  if (fd_ >= 0) close(std::exchange(fd_, -1));
}

}  // namespace perch
