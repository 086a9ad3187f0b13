#include "agent/voice/Voice.h"
#include "agent/voice/WordTiming.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

using namespace perch;

// Lets gtest show texts in failure messages instead of their bytes.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

QStringList Texts(const QString& text, const QVector<TSpokenWord>& words) {
  QStringList texts;
  for (const TSpokenWord& word : words) texts << text.mid(word.textPosition, word.textLength);
  return texts;
}

QVector<int> Times(const QVector<TSpokenWord>& words) {
  QVector<int> times;
  for (const TSpokenWord& word : words) times << word.startMs;
  return times;
}

// Start times that grow (strictly, or at least never go back) and stay within the line.
bool Ordered(const TSynthesizedSpeech& speech, bool strictly) {
  int earliest = 0;
  for (const TSpokenWord& word : speech.words) {
    if (word.startMs < earliest || word.startMs > speech.durationMs) return false;
    earliest = word.startMs + (strictly ? 1 : 0);
  }
  return true;
}

}  // namespace

TEST(Synthesis, SpeaksEachLanguageWithItsWordsSpreadOverTheLine) {
  struct Case {
    int language;
    QString text, words;  // the words as the balloon shows them, split at blanks
    bool audible;
    int maxMs;  // a couple of seconds: not a blip and not half a minute
  };
  const Case cases[] = {
      {1033, "I am looking very forward to spending time with you!",
       "I am looking very forward to spending time with you!", true, 8000},
      {2052, "我喜欢吃饼干。你好！", "我 喜 欢 吃 饼 干。 你 好！", true, 10000},
      // No voice speaks German: the line is paced in silence.
      {1031, "Hello there, little bird.", "Hello there, little bird.", false, 8000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    EXPECT_EQ(TVoice::LanguageAvailable(c.language), c.audible);
    const TSynthesizedSpeech speech = TVoice::Synthesize(c.text, c.language);
    EXPECT_EQ(Texts(c.text, speech.words), c.words.split(' '));
    EXPECT_GT(speech.durationMs, 1500);
    EXPECT_LT(speech.durationMs, c.maxMs);
    if (c.audible) {
      ASSERT_GT(speech.sampleRate, 8000);
      double sum = 0;
      for (int16_t s : speech.samples) sum += double(s) * s;
      EXPECT_GT(std::sqrt(sum / double(speech.samples.size())), 500) << "audible, not silence";
    } else {
      EXPECT_TRUE(speech.samples.empty());
    }
    // Every word is timed on its own, spread over the audio, not bunched at its start.
    EXPECT_TRUE(Ordered(speech, true)) << ::testing::PrintToString(Times(speech.words));
    EXPECT_GT(speech.words.back().startMs, speech.durationMs / 2);
  }
}

TEST(Synthesis, MapsPositionsPastWideCharactersAndControls) {
  // Characters of two UTF-16 units, and a NUL and a tab, come before the
  // words: positions are still those of the QString.
  QString text = QString::fromUtf8("\U0001F426\U0001F426 good");
  text += QChar(0);
  text += "\tmorning bird";
  const TSynthesizedSpeech speech = TVoice::Synthesize(text, 1033);
  const QStringList spoken = Texts(text, speech.words);
  ASSERT_GE(spoken.size(), 3);
  EXPECT_EQ(spoken.mid(spoken.size() - 3), (QStringList{"good", "morning", "bird"}));
  // All three words were heard: the NUL did not end the text.
  EXPECT_GT(speech.durationMs, 1000);
  EXPECT_GT(speech.words.back().startMs, speech.words[speech.words.size() - 3].startMs);
}

TEST(Synthesis, BoundsAVeryLongText) {
  const TSynthesizedSpeech speech = TVoice::Synthesize(QString("bird ").repeated(3000), 1033);
  ASSERT_FALSE(speech.words.isEmpty());
  EXPECT_LE(speech.words.back().textPosition + speech.words.back().textLength, 4000);
  EXPECT_LE(speech.durationMs, 6 * 60 * 1000);
  EXPECT_TRUE(Ordered(speech, false));
}

TEST(WordTiming, SplitsLinesAsTheBalloonRevealsThem) {
  // Chinese: every character a word, punctuation kept with the one before; a
  // character outside the basic plane is one word of two UTF-16 units.
  const std::pair<QString, QString> cases[] = {
      {"Well,Hello there!    ", "Well, Hello there!"},
      {"Human,We live - in 3.5 or 1,000 don't", "Human, We live - in 3.5 or 1,000 don't"},
      {"“你好”，我是小鸟。", "“你 好”， 我 是 小 鸟。"},
      {"我爱Qt程序", "我 爱 Qt 程 序"},
      {"hi \U00020000\U00020001 ok", "hi \U00020000 \U00020001 ok"},
      {"   \t\n", ""},
      {"", ""},
  };
  for (const auto& [text, words] : cases) {
    QStringList split;
    for (const TTextWord& word : SplitIntoWords(text)) split << text.mid(word.position, word.length);
    EXPECT_EQ(split, words.split(' ', Qt::SkipEmptyParts)) << text.toStdString();
  }
}

TEST(WordTiming, MatchesInexactEventsToWords) {
  // Espeak-like events where "am" is missing, "Human" is reported at the
  // dash, "42" gets two events and "in" is reported inside "Human".
  const QString text = "I am an Artificial - Human in 42 x";
  const QVector<TSpokenWord> words =
      TimeWords(text, {{0, 0}, {5, 130}, {8, 220}, {19, 800}, {25, 1000}, {30, 1300}, {31, 1450}}, 2000);
  EXPECT_EQ(Texts(text, words), QString("I am an Artificial - Human in 42 x").split(' '));
  const QVector<int> times = Times(words);
  ASSERT_EQ(times.size(), 9);
  // "am" sits between its neighbours, the event at the dash belongs to
  // "Human", the second event of "42" moves nothing.
  for (const auto& [word, ms] : {std::pair{0, 0}, {1, 65}, {2, 130}, {3, 220}, {5, 800}, {7, 1300}})
    EXPECT_EQ(times[word], ms) << word;
  for (int i = 1; i < times.size(); ++i) EXPECT_GT(times[i], times[i - 1]) << i;
  EXPECT_LT(times[8], 2000) << "the last word falls before the end";
}

TEST(WordTiming, KeepsTimesOrderedAndWithinTheLine) {
  const QString text = "one two three four";
  // Out of order and beyond the audio: clamped, never going back.
  EXPECT_EQ(Times(TimeWords(text, {{0, 300}, {4, 100}, {8, 5000}}, 1000)),
            (QVector<int>{300, 300, 1000, 1000}));
  // No events at all: the words spread over the line.
  EXPECT_EQ(Times(TimeWords(text, {}, 800)), (QVector<int>{0, 200, 400, 600}));
  EXPECT_TRUE(TimeWords("", {{0, 10}}, 100).isEmpty());
}
