// perch-link-fuzz COUNT: posts COUNT random and malformed datagrams to the
// companion's window: random bytes, short and oversized datagrams, texts
// whose cbData exceeds what is sent, texts without a NUL, invalid UTF-8 and
// unknown messages. It never sends the quit request. Blocks while the
// companion's queue is full, so that every datagram arrives.

#include "EndpointFolder.h"
#include "LinkMessage.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

Bytes RandomBytes(std::mt19937& random, std::size_t size) {
  Bytes bytes(size);
  for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
  return bytes;
}

Bytes Malformed(std::mt19937& random, int kind) {
  switch (kind) {
    case 0: return RandomBytes(random, random() % 300);
    case 1: return RandomBytes(random, random() % perch::LinkHeaderSize);  // short
    case 2: {  // a text whose cbData claims more than was sent, no NUL
      Bytes bytes = perch::EncodeCopyData(std::string(random() % 200, 'a'));
      bytes.pop_back();
      PutU32(bytes, 32, static_cast<std::uint32_t>(random()) | 0x80000000u);
      return bytes;
    }
    case 3: {  // random bytes as text: mostly invalid UTF-8
      Bytes text = RandomBytes(random, random() % 400);
      return perch::EncodeCopyData(std::string(text.begin(), text.end()));
    }
    case 4: {  // an unknown message or a request with the wrong length
      Bytes bytes = perch::EncodeMessage(static_cast<std::uint32_t>(random()), random(), 0);
      if (random() % 2) bytes.resize(bytes.size() + random() % 50, 0xAB);
      return bytes;
    }
    case 5: {  // a request no routine answers
      return perch::EncodeMessage(perch::WM_COMPANION, 100 + random() % 100000, 0);
    }
    case 6: {  // a text header cut short, or a non-zero reserved field
      Bytes bytes = perch::EncodeCopyData("cut");
      if (random() % 2) bytes.resize(perch::LinkHeaderSize + random() % 16);
      else bytes[4 + random() % 4] = 1;
      return bytes;
    }
    default: {  // oversized
      Bytes bytes = RandomBytes(random, perch::MaxDatagramSize + 1 + random() % 5000);
      PutU32(bytes, 0, perch::WM_COPYDATA);
      PutU32(bytes, 4, 0);
      return bytes;
    }
  }
}

bool IsQuit(const Bytes& bytes) {
  const auto decoded = perch::DecodeDatagram(bytes);
  return decoded && decoded->message == perch::WM_COMPANION && decoded->wParam == 70;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
  const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 2026u;
  const std::string path = perch::EnsureEndpointFolder() + "/TActor";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
  const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
  const int bufferSize = 1 << 20;
  setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bufferSize, sizeof(bufferSize));

  std::mt19937 random(seed);
  int sent = 0;
  for (int i = 0; i < count; ++i) {
    const Bytes datagram = Malformed(random, i % 8);
    if (IsQuit(datagram)) continue;
    if (sendto(fd, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&address),
               sizeof(address)) >= 0) {
      ++sent;
    } else if (errno == ECONNREFUSED || errno == ENOENT) {
      std::fprintf(stderr, "perch-link-fuzz: the companion is gone after %d datagrams\n", sent);
      return 1;
    }
  }
  close(fd);
  std::printf("%d datagrams sent\n", sent);
  return 0;
}
