#include "agent/voice/Voice.h"
#include "tests/voice/QtPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kEnglish = 1033;
constexpr int kChinese = 2052;

// Root mean square level of the samples, 0..32767.
double Level(const std::vector<int16_t>& samples) {
  double sum = 0;
  for (int16_t s : samples) sum += double(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

QStringList SpokenTexts(const QString& text, const TSynthesizedSpeech& speech) {
  QStringList texts;
  for (const TSpokenWord& word : speech.words) texts << text.mid(word.textPosition, word.textLength);
  return texts;
}

void ExpectOrderedWithin(const TSynthesizedSpeech& speech) {
  for (int i = 0; i < speech.words.size(); ++i) {
    EXPECT_GE(speech.words[i].startMs, i == 0 ? 0 : speech.words[i - 1].startMs);
    EXPECT_LE(speech.words[i].startMs, speech.durationMs);
  }
}

}  // namespace

TEST(Synthesis, KnowsItsLanguages) {
  EXPECT_TRUE(TVoice::LanguageAvailable(kEnglish));
  EXPECT_TRUE(TVoice::LanguageAvailable(kChinese));
  EXPECT_FALSE(TVoice::LanguageAvailable(1031));
  EXPECT_FALSE(TVoice::LanguageAvailable(0));
  EXPECT_FALSE(TVoice::LanguageAvailable(-1));
}

TEST(Synthesis, SpeaksAnEnglishLine) {
  const QString text = "I am looking very forward to spending time with you!";
  const TSynthesizedSpeech speech = TVoice::Synthesize(text, kEnglish);
  ASSERT_GT(speech.sampleRate, 8000);
  // Ten words take a couple of seconds, not a blip and not half a minute.
  EXPECT_GT(speech.durationMs, 1500);
  EXPECT_LT(speech.durationMs, 8000);
  EXPECT_EQ(speech.durationMs, int(int64_t(speech.samples.size()) * 1000 / speech.sampleRate));
  EXPECT_GT(Level(speech.samples), 500);

  EXPECT_EQ(SpokenTexts(text, speech),
            (QStringList{"I", "am", "looking", "very", "forward", "to", "spending", "time", "with",
                         "you!"}));
  ExpectOrderedWithin(speech);
  // The words are spread over the audio, not bunched at its start.
  EXPECT_GT(speech.words.back().startMs, speech.durationMs / 2);
}

TEST(Synthesis, SpeaksAChineseLine) {
  const QString text = QString::fromUtf8("我喜欢吃饼干。你好！");
  const TSynthesizedSpeech speech = TVoice::Synthesize(text, kChinese);
  ASSERT_GT(speech.sampleRate, 8000);
  EXPECT_GT(speech.durationMs, 1500);
  EXPECT_LT(speech.durationMs, 10000);
  EXPECT_GT(Level(speech.samples), 500);

  EXPECT_EQ(SpokenTexts(text, speech),
            (QStringList{QString::fromUtf8("我"), QString::fromUtf8("喜"), QString::fromUtf8("欢"),
                         QString::fromUtf8("吃"), QString::fromUtf8("饼"),
                         QString::fromUtf8("干。"), QString::fromUtf8("你"),
                         QString::fromUtf8("好！")}));
  ExpectOrderedWithin(speech);
  // Each character is timed by the synthesizer, so the times strictly grow.
  for (int i = 1; i < speech.words.size(); ++i)
    EXPECT_GT(speech.words[i].startMs, speech.words[i - 1].startMs) << i;
}

TEST(Synthesis, MapsPositionsPastWideCharactersAndControls) {
  // Characters of two UTF-16 units, and a NUL and a tab, come before the
  // words: positions are still those of the QString.
  QString text = QString::fromUtf8("\U0001F426\U0001F426 good");
  text += QChar(0);
  text += "\tmorning bird";
  const TSynthesizedSpeech speech = TVoice::Synthesize(text, kEnglish);
  const QStringList spoken = SpokenTexts(text, speech);
  ASSERT_GE(spoken.size(), 3);
  EXPECT_EQ(spoken.mid(spoken.size() - 3), (QStringList{"good", "morning", "bird"}));
  // All three words were heard: the NUL did not end the text.
  EXPECT_GT(speech.durationMs, 1000);
  EXPECT_GT(speech.words.back().startMs, speech.words[speech.words.size() - 3].startMs);
}

TEST(Synthesis, BoundsAVeryLongText) {
  QString text;
  for (int i = 0; i < 3000; ++i) text += "bird ";
  const TSynthesizedSpeech speech = TVoice::Synthesize(text, kEnglish);
  ASSERT_FALSE(speech.words.isEmpty());
  const TSpokenWord& last = speech.words.back();
  EXPECT_LE(last.textPosition + last.textLength, 4000);
  EXPECT_LE(speech.durationMs, 6 * 60 * 1000);
  ExpectOrderedWithin(speech);
}

TEST(Synthesis, PacesAnUnknownLanguageWithoutAudio) {
  const QString text = "Hello there, little bird.";
  const TSynthesizedSpeech speech = TVoice::Synthesize(text, 1031);
  EXPECT_TRUE(speech.samples.empty());
  EXPECT_EQ(SpokenTexts(text, speech), (QStringList{"Hello", "there,", "little", "bird."}));
  EXPECT_GT(speech.durationMs, 0);
  ExpectOrderedWithin(speech);
}
