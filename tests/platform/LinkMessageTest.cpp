// The datagrams of the message link and the decoding of their texts.

#include "platform/LinkMessage.h"
#include "platform/TextDecoding.h"

#include <gtest/gtest.h>

#include <random>

using namespace perch;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes WithU32(Bytes bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  return bytes;
}

// A datagram as decoded: "<message> <wParam> <lParam> <dwData> <text>".
std::string Show(const Bytes& datagram) {
  const auto m = DecodeDatagram(datagram);
  if (!m) return "dropped";
  return std::to_string(m->message) + " " + std::to_string(m->wParam) + " " + std::to_string(m->lParam) +
         " " + std::to_string(m->dwData) + " " + m->text;
}

}  // namespace

TEST(LinkMessage, RoundTripAndTextsReadOnlyWithinWhatArrived) {
  EXPECT_EQ(Show(EncodeMessage(WM_COMPANION, 70, -5)), "1124 70 -5 0 ");
  const Bytes text = EncodeCopyData("你好, bird", 7);
  EXPECT_EQ(text.size(), CopyDataHeaderSize + std::string("你好, bird").size() + 1);
  EXPECT_EQ(Show(text), "74 0 0 7 你好, bird");
  // A long text is cut to what fits one datagram.
  const Bytes longest = EncodeCopyData(std::string(100000, 'a'));
  EXPECT_EQ(longest.size(), MaxDatagramSize);
  EXPECT_EQ(Show(longest), "74 0 0 0 " + std::string(MaxCopyDataText, 'a'));
  Bytes hello = EncodeCopyData("hello");
  hello.pop_back();                                                   // no NUL
  EXPECT_EQ(Show(WithU32(hello, 32, 0xFFFFFFFF)), "74 0 0 0 hello");  // cbData beyond the data
  EXPECT_EQ(Show(WithU32(hello, 32, 3)), "74 0 0 0 hel");
  EXPECT_EQ(Show(EncodeCopyData(std::string("ab\0cd", 5))), "74 0 0 0 ab");
  hello.resize(CopyDataHeaderSize);  // a header with no data at all
  EXPECT_EQ(Show(hello), "74 0 0 0 ");
}

TEST(LinkMessage, MalformedDatagramsAreDropped) {
  const Bytes request = EncodeMessage(WM_COMPANION, 1, 0);
  const Bytes text = EncodeCopyData("hi");
  std::vector<Bytes> dropped{
      Bytes(text.begin(), text.begin() + CopyDataHeaderSize - 1),
      WithU32(request, 4, 1),                                  // reserved field
      WithU32(text, 36, 1),                                    // reserved field of the text
      EncodeMessage(0x0010, 0, 0),                             // unknown message
      WithU32(Bytes(MaxDatagramSize + 1, 0), 0, WM_COPYDATA),  // too long
  };
  for (std::size_t size = 0; size < LinkHeaderSize; ++size)
    dropped.emplace_back(request.begin(), request.begin() + size);
  dropped.push_back(request);
  dropped.back().push_back(0);  // a request with trailing bytes
  for (std::size_t i = 0; i < dropped.size(); ++i) EXPECT_EQ(Show(dropped[i]), "dropped") << i;
}

TEST(TextDecoding, StrictUtf8ElseGb18030) {
  const std::pair<const char*, bool> utf8[] = {
      {"plain", true},
      {"睡觉了 \xF0\x9F\x90\xA6", true},
      {"\xC0\x80", false},          // overlong NUL
      {"\xE0\x80\x80", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
      {"\xE4\xBD", false},          // cut off
      {"\x80", false},
  };
  for (const auto& [bytes, valid] : utf8) EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
  // "你好" in the Chinese code page.
  EXPECT_EQ(DecodeControllerText("\xC4\xE3\xBA\xC3"), "你好");
  EXPECT_EQ(DecodeControllerText("ok \xC4\xE3"), "ok 你");
  // Bytes that are not GB18030 either become replacement characters.
  EXPECT_EQ(DecodeControllerText("a\xFF"
                                 "b\x81"),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

TEST(LinkMessage, RandomBytesNeverYieldBrokenMessages) {
  std::mt19937 random(12345);
  for (int round = 0; round < 20000; ++round) {
    const std::size_t size = random() % 200;
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    if (size >= 8 && round % 2 == 0) {
      // Make half of them plausible, so that the text paths run too.
      bytes = WithU32(WithU32(bytes, 0, round % 4 == 0 ? WM_COPYDATA : WM_COMPANION), 4, 0);
      if (size >= 40) bytes = WithU32(bytes, 36, 0);
    }
    const auto decoded = DecodeDatagram(bytes);
    if (decoded) {
      EXPECT_TRUE(decoded->message == WM_COMPANION || decoded->message == WM_COPYDATA);
      EXPECT_TRUE(IsValidUtf8(decoded->text));
      EXPECT_LE(decoded->text.size(), size * 3);
    }
  }
}
