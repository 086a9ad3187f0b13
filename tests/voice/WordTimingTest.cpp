#include "agent/voice/WordTiming.h"
#include "tests/voice/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

QStringList Words(const QString& text) {
  QStringList words;
  for (const TTextWord& word : SplitIntoWords(text)) words << text.mid(word.position, word.length);
  return words;
}

}  // namespace

TEST(WordTiming, SplitsLinesAsTheBalloonRevealsThem) {
  EXPECT_EQ(Words("Well,Hello there!    "), (QStringList{"Well,", "Hello", "there!"}));
  EXPECT_EQ(Words("Human,We live - in 3.5 or 1,000 don't"),
            (QStringList{"Human,", "We", "live", "-", "in", "3.5", "or", "1,000", "don't"}));
  // Chinese: every character a word, punctuation kept with the one before.
  EXPECT_EQ(Words(QString::fromUtf8("“你好”，我是小鸟。")),
            (QStringList{QString::fromUtf8("“你"), QString::fromUtf8("好”，"),
                         QString::fromUtf8("我"), QString::fromUtf8("是"),
                         QString::fromUtf8("小"), QString::fromUtf8("鸟。")}));
  EXPECT_EQ(Words(QString::fromUtf8("我爱Qt程序")),
            (QStringList{QString::fromUtf8("我"), QString::fromUtf8("爱"), "Qt",
                         QString::fromUtf8("程"), QString::fromUtf8("序")}));
  // A character outside the basic plane is one word of two UTF-16 units.
  const QString wide = QString::fromUtf8("hi \U00020000\U00020001 ok");
  EXPECT_EQ(Words(wide), (QStringList{"hi", QString::fromUtf8("\U00020000"),
                                      QString::fromUtf8("\U00020001"), "ok"}));
  EXPECT_TRUE(SplitIntoWords("   \t\n").isEmpty());
  EXPECT_TRUE(SplitIntoWords("").isEmpty());
}

TEST(WordTiming, MatchesInexactEventsToWords) {
  // "I am an Artificial - Human in 42 x": espeak-like events where "am" is
  // missing, "Human" is reported at the dash, "42" gets two events and "in"
  // is reported inside "Human".
  const QString text = "I am an Artificial - Human in 42 x";
  const std::vector<TWordEvent> events = {{0, 0},    {5, 130},  {8, 220},  {19, 800},
                                          {25, 1000}, {30, 1300}, {31, 1450}};
  const QVector<TSpokenWord> words = TimeWords(text, events, 2000);
  ASSERT_EQ(words.size(), 9);
  QStringList shown;
  QVector<int> times;
  for (const TSpokenWord& word : words) {
    shown << text.mid(word.textPosition, word.textLength);
    times << word.startMs;
  }
  EXPECT_EQ(shown, (QStringList{"I", "am", "an", "Artificial", "-", "Human", "in", "42", "x"}));
  EXPECT_EQ(times[0], 0);
  EXPECT_EQ(times[1], 65);   // between its neighbours
  EXPECT_EQ(times[2], 130);
  EXPECT_EQ(times[3], 220);
  EXPECT_EQ(times[5], 800);  // the event at the dash belongs to "Human"
  EXPECT_GT(times[4], times[3]);
  EXPECT_LT(times[4], times[5]);
  EXPECT_GT(times[6], times[5]);  // "in" got no usable event of its own
  EXPECT_LT(times[6], times[7]);
  EXPECT_EQ(times[7], 1300);      // the second event of "42" moved nothing
  EXPECT_GT(times[8], 1300);      // the last word falls before the end
  EXPECT_LT(times[8], 2000);
}

TEST(WordTiming, KeepsTimesOrderedAndWithinTheLine) {
  const QString text = "one two three four";
  // Out of order and beyond the audio: clamped, never going back.
  const QVector<TSpokenWord> words = TimeWords(text, {{0, 300}, {4, 100}, {8, 5000}}, 1000);
  ASSERT_EQ(words.size(), 4);
  EXPECT_EQ(words[0].startMs, 300);
  EXPECT_EQ(words[1].startMs, 300);
  EXPECT_EQ(words[2].startMs, 1000);
  for (int i = 1; i < words.size(); ++i) {
    EXPECT_GE(words[i].startMs, words[i - 1].startMs);
    EXPECT_LE(words[i].startMs, 1000);
  }

  // No events at all: the words spread over the line.
  const QVector<TSpokenWord> spread = TimeWords(text, {}, 800);
  ASSERT_EQ(spread.size(), 4);
  EXPECT_EQ(spread[0].startMs, 0);
  EXPECT_EQ(spread[2].startMs, 400);
  EXPECT_EQ(spread[3].startMs, 600);

  EXPECT_TRUE(TimeWords("", {{0, 10}}, 100).isEmpty());
}

TEST(WordTiming, EstimatesAPaceForSilentLines) {
  int durationMs = 0;
  const QVector<TSpokenWord> words = EstimateWords("Hello there, little bird.", &durationMs);
  ASSERT_EQ(words.size(), 4);
  for (int i = 1; i < words.size(); ++i) EXPECT_GT(words[i].startMs, words[i - 1].startMs);
  EXPECT_GT(durationMs, words.back().startMs);
  EXPECT_GT(durationMs, 800);  // four words are not said in a blink

  EstimateWords("", &durationMs);
  EXPECT_EQ(durationMs, 0);
}
