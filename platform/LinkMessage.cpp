#include "platform/LinkMessage.h"

#include "platform/TextDecoding.h"

#include <algorithm>

namespace perch {
namespace {

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t GetLittleEndian(std::span<const std::uint8_t> data, std::size_t at, int bytes) {
  std::uint64_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= std::uint64_t{data[at + i]} << (8 * i);
  return value;
}

void PutHeader(std::vector<std::uint8_t>& out, std::uint32_t message, std::uint64_t wParam,
               std::int64_t lParam) {
  PutLittleEndian(out, message, 4);
  PutLittleEndian(out, 0, 4);
  PutLittleEndian(out, wParam, 8);
  PutLittleEndian(out, static_cast<std::uint64_t>(lParam), 8);
}

}  // namespace

std::vector<std::uint8_t> EncodeMessage(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) {
  std::vector<std::uint8_t> out;
  out.reserve(LinkHeaderSize);
  PutHeader(out, message, wParam, lParam);
  return out;
}

std::vector<std::uint8_t> EncodeCopyData(std::string_view text, std::uint64_t dwData) {
  text = text.substr(0, std::min(text.size(), MaxCopyDataText));
  std::vector<std::uint8_t> out;
  out.reserve(CopyDataHeaderSize + text.size() + 1);
  PutHeader(out, WM_COPYDATA, 0, 0);
  PutLittleEndian(out, dwData, 8);
  PutLittleEndian(out, text.size() + 1, 4);
  PutLittleEndian(out, 0, 4);
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
  return out;
}

std::optional<TLinkMessage> DecodeDatagram(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < LinkHeaderSize || datagram.size() > MaxDatagramSize) return std::nullopt;
  TLinkMessage result;
  result.message = static_cast<std::uint32_t>(GetLittleEndian(datagram, 0, 4));
  if (GetLittleEndian(datagram, 4, 4) != 0) return std::nullopt;
  result.wParam = GetLittleEndian(datagram, 8, 8);
  result.lParam = static_cast<std::int64_t>(GetLittleEndian(datagram, 16, 8));

  if (result.message == WM_COMPANION) {
    if (datagram.size() != LinkHeaderSize) return std::nullopt;
    return result;
  }
  if (result.message != WM_COPYDATA || datagram.size() < CopyDataHeaderSize) return std::nullopt;
  if (GetLittleEndian(datagram, 36, 4) != 0) return std::nullopt;
  result.dwData = GetLittleEndian(datagram, 24, 8);
  const std::size_t cbData = GetLittleEndian(datagram, 32, 4);
  const auto data = datagram.subspan(CopyDataHeaderSize);
  const auto text = data.first(std::min(cbData, data.size()));
  const auto nul = std::find(text.begin(), text.end(), std::uint8_t{0});
  result.text = DecodeControllerText(std::string_view(reinterpret_cast<const char*>(text.data()),
                                                      static_cast<std::size_t>(nul - text.begin())));
  return result;
}

}  // namespace perch
