#pragma once
// The datagrams of the message link, which carries window messages between
// the companion and its controlling program. Little-endian:
//   u32 message, u32 reserved (0), u64 wParam, i64 lParam         (24 bytes)
// and for WM_COPYDATA after that header
//   u64 dwData, u32 cbData, u32 reserved, then cbData bytes of text.
// A datagram is at most 65,536 bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace perch {

inline constexpr std::uint32_t WM_USER = 0x0400;
inline constexpr std::uint32_t WM_COMPANION = WM_USER + 100;  // 0x464
inline constexpr std::uint32_t WM_COPYDATA = 0x004A;

inline constexpr std::size_t LinkHeaderSize = 24;
inline constexpr std::size_t CopyDataHeaderSize = LinkHeaderSize + 16;
inline constexpr std::size_t MaxDatagramSize = 65536;
// The longest text that fits one datagram together with its closing NUL.
inline constexpr std::size_t MaxCopyDataText = MaxDatagramSize - CopyDataHeaderSize - 1;

struct TLinkMessage {
  std::uint32_t message = 0;
  std::uint64_t wParam = 0;
  std::int64_t lParam = 0;
  // WM_COPYDATA only.
  std::uint64_t dwData = 0;
  std::string text;  // valid UTF-8, read up to its NUL or the end of the data
};

std::vector<std::uint8_t> EncodeMessage(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam);
// The text is sent as it stands, followed by a NUL; cbData counts the NUL.
// A text longer than MaxCopyDataText is cut to it.
std::vector<std::uint8_t> EncodeCopyData(std::string_view text, std::uint64_t dwData = 0);

// Checks a datagram as it arrived. Drops (nullopt) one that is short, longer
// than MaxDatagramSize, carries an unknown message or a non-zero reserved
// field; a cbData beyond the data is cut to what arrived. Never reads past
// the span.
std::optional<TLinkMessage> DecodeDatagram(std::span<const std::uint8_t> datagram);

}  // namespace perch
