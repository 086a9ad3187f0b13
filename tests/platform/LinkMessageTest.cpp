#include "LinkMessage.h"
#include "TextDecoding.h"

#include <gtest/gtest.h>

#include <random>

using perch::DecodeDatagram;
using Bytes = std::vector<std::uint8_t>;

namespace {

void PutU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

TEST(LinkMessage, RequestsAndTextsSurviveTheRoundTrip) {
  const auto request = DecodeDatagram(perch::EncodeMessage(perch::WM_COMPANION, 70, -5));
  ASSERT_TRUE(request);
  EXPECT_EQ(request->message, perch::WM_COMPANION);
  EXPECT_EQ(request->wParam, 70u);
  EXPECT_EQ(request->lParam, -5);

  const Bytes encoded = perch::EncodeCopyData("你好, bird", 7);
  EXPECT_EQ(encoded.size(), perch::CopyDataHeaderSize + std::string("你好, bird").size() + 1);
  const auto text = DecodeDatagram(encoded);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->message, perch::WM_COPYDATA);
  EXPECT_EQ(text->dwData, 7u);
  EXPECT_EQ(text->text, "你好, bird");
}

TEST(LinkMessage, MalformedDatagramsAreDropped) {
  const Bytes request = perch::EncodeMessage(perch::WM_COMPANION, 1, 0);
  for (std::size_t size = 0; size < perch::LinkHeaderSize; ++size) {
    EXPECT_FALSE(DecodeDatagram(Bytes(request.begin(), request.begin() + size))) << size;
  }
  Bytes longer = request;
  longer.push_back(0);
  EXPECT_FALSE(DecodeDatagram(longer)) << "a request with trailing bytes";

  Bytes reserved = request;
  reserved[5] = 1;
  EXPECT_FALSE(DecodeDatagram(reserved));

  EXPECT_FALSE(DecodeDatagram(perch::EncodeMessage(0x0010, 0, 0))) << "unknown message";

  const Bytes text = perch::EncodeCopyData("hi");
  EXPECT_FALSE(DecodeDatagram(Bytes(text.begin(), text.begin() + perch::CopyDataHeaderSize - 1)));
  Bytes textReserved = text;
  textReserved[38] = 1;
  EXPECT_FALSE(DecodeDatagram(textReserved));

  Bytes oversized = perch::EncodeCopyData("x");
  oversized.resize(perch::MaxDatagramSize + 1, 'x');
  EXPECT_FALSE(DecodeDatagram(oversized));
}

TEST(LinkMessage, TextIsReadOnlyWithinWhatArrived) {
  // cbData far beyond the data: cut to what arrived, no NUL needed.
  Bytes text = perch::EncodeCopyData("hello");
  text.pop_back();  // drop the NUL
  PutU32(text, 32, 0xFFFFFFFF);
  auto decoded = DecodeDatagram(text);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->text, "hello");

  // cbData shorter than the data: the text ends at cbData.
  PutU32(text, 32, 3);
  decoded = DecodeDatagram(text);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->text, "hel");

  // A NUL inside ends the text there.
  Bytes withNul = perch::EncodeCopyData(std::string("ab\0cd", 5));
  decoded = DecodeDatagram(withNul);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->text, "ab");

  // A header with no data at all: an empty text.
  Bytes empty = perch::EncodeCopyData("");
  empty.pop_back();
  decoded = DecodeDatagram(empty);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->text, "");
}

TEST(LinkMessage, LongTextsAreCutToOneDatagram) {
  const Bytes encoded = perch::EncodeCopyData(std::string(100000, 'a'));
  EXPECT_EQ(encoded.size(), perch::MaxDatagramSize);
  const auto decoded = DecodeDatagram(encoded);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->text.size(), perch::MaxCopyDataText);
}

TEST(TextDecoding, StrictUtf8) {
  EXPECT_TRUE(perch::IsValidUtf8("plain"));
  EXPECT_TRUE(perch::IsValidUtf8("睡觉了 \xF0\x9F\x90\xA6"));
  EXPECT_FALSE(perch::IsValidUtf8("\xC0\x80"));          // overlong NUL
  EXPECT_FALSE(perch::IsValidUtf8("\xE0\x80\x80"));      // overlong
  EXPECT_FALSE(perch::IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(perch::IsValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  EXPECT_FALSE(perch::IsValidUtf8("\xE4\xBD"));          // cut off
  EXPECT_FALSE(perch::IsValidUtf8("\x80"));
}

TEST(TextDecoding, NonUtf8TextIsReadAsGb18030) {
  // "你好" in the Chinese code page.
  EXPECT_EQ(perch::DecodeControllerText("\xC4\xE3\xBA\xC3"), "你好");
  EXPECT_EQ(perch::DecodeControllerText("ok \xC4\xE3"), "ok 你");
  // Bytes that are not GB18030 either become replacement characters.
  const std::string broken = perch::DecodeControllerText("a\xFF" "b\x81");
  EXPECT_TRUE(perch::IsValidUtf8(broken));
  EXPECT_EQ(broken.front(), 'a');
  EXPECT_NE(broken.find('b'), std::string::npos);
  EXPECT_NE(broken.find("\xEF\xBF\xBD"), std::string::npos);
}

TEST(LinkMessage, RandomBytesNeverYieldBrokenMessages) {
  std::mt19937 random(12345);
  for (int round = 0; round < 20000; ++round) {
    const std::size_t size = random() % 200;
    Bytes bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    if (size >= 8 && round % 2 == 0) {
      // Make half of them plausible, so that the text paths run too.
      PutU32(bytes, 0, round % 4 == 0 ? perch::WM_COPYDATA : perch::WM_COMPANION);
      PutU32(bytes, 4, 0);
      if (size >= 40) PutU32(bytes, 36, 0);
    }
    const auto decoded = DecodeDatagram(bytes);
    if (decoded) {
      EXPECT_TRUE(decoded->message == perch::WM_COMPANION || decoded->message == perch::WM_COPYDATA);
      EXPECT_TRUE(perch::IsValidUtf8(decoded->text));
      EXPECT_LE(decoded->text.size(), size * 3);
    }
  }
}
