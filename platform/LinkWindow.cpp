#include "platform/LinkWindow.h"

#include "platform/EndpointFolder.h"
#include "platform/PlatformError.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace perch {
namespace {

sockaddr_un AddressOf(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) {
    throw TPlatformError("the socket path " + path + " is too long (at most " +
                         std::to_string(sizeof(address.sun_path) - 1) + " bytes)");
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

std::string WindowPath(const std::string& className, const std::string& folder) {
  return (folder.empty() ? EnsureEndpointFolder() : folder) + "/" + className;
}

class TSocket {
 public:
  TSocket() : fd_(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {
    if (fd_ < 0) throw TPlatformError(std::string("cannot create a socket: ") + std::strerror(errno));
  }
  ~TSocket() {
    if (fd_ >= 0) close(fd_);
  }
  TSocket(const TSocket&) = delete;
  TSocket& operator=(const TSocket&) = delete;
  int Get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// A socket file whose owner is gone refuses connections.
bool IsAlive(const sockaddr_un& address) {
  TSocket probe;
  return connect(probe.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
}

}  // namespace

TPostResult PostToWindow(const std::string& className, std::span<const std::uint8_t> datagram,
                         const std::string& folder) {
  const sockaddr_un address = AddressOf(WindowPath(className, folder));
  TSocket sender;
  const ssize_t sent = sendto(sender.Get(), datagram.data(), datagram.size(), MSG_NOSIGNAL,
                              reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  if (sent == static_cast<ssize_t>(datagram.size())) return TPostResult::Delivered;
  if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == ENOBUFS)) {
    return TPostResult::QueueFull;
  }
  return TPostResult::NoWindow;
}

TPostResult PostMessageTo(const std::string& className, std::uint32_t message, std::uint64_t wParam,
                          std::int64_t lParam, const std::string& folder) {
  const auto datagram = EncodeMessage(message, wParam, lParam);
  return PostToWindow(className, datagram, folder);
}

bool FindWindow(const std::string& className, const std::string& folder) {
  return IsAlive(AddressOf(WindowPath(className, folder)));
}

TLinkWindow::TLinkWindow(const std::string& className, const std::string& folder)
    : path_(WindowPath(className, folder)), buffer_(MaxDatagramSize) {
  const sockaddr_un address = AddressOf(path_);
  struct stat info {};
  if (lstat(path_.c_str(), &info) == 0) {
    if (!S_ISSOCK(info.st_mode)) {
      throw TPlatformError(path_ + " exists and is not a socket; refusing to replace it");
    }
    if (IsAlive(address)) throw TPlatformError("a window of class " + className + " is running already");
    unlink(path_.c_str());
  }
  TSocket receiver;
  if (bind(receiver.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    throw TPlatformError("cannot bind " + path_ + ": " + std::strerror(errno));
  }
  fd_ = receiver.Release();
}

TLinkWindow::~TLinkWindow() {
  if (fd_ < 0) return;
  close(fd_);
  unlink(path_.c_str());
}

bool TLinkWindow::ReceiveOne(std::optional<TLinkMessage>& message) {
  message.reset();
  // MSG_TRUNC reports the datagram's real length, so an oversized one is
  // recognised and dropped rather than read cut short.
  ssize_t length;
  do {
    length = recv(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT | MSG_TRUNC);
  } while (length < 0 && errno == EINTR);
  if (length < 0) return false;
  if (static_cast<std::size_t>(length) <= buffer_.size()) {
    message = DecodeDatagram(std::span(buffer_.data(), static_cast<std::size_t>(length)));
  }
  return true;
}

}  // namespace perch
