#include "agent/voice/Voice.h"

#include "tests/support/EnvironmentGuard.h"

#include <QtCore/qtestsupport_core.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>

using namespace perch;

namespace {

constexpr int EnglishLanguageId = 1033;
constexpr int ChineseLanguageId = 2052;
constexpr int PatienceMs = 30000;  // only a voice that hangs waits this long
const char* const Silent = "perch-no-such-device";
const char* const LongLine =
    "I am an Artificial Life, not like you, human. We live in computers. I need to eat and "
    "sleep, and I can do some work. I am looking very forward to spending time with you!";

// The sound device voices created while it lives speak on.
struct TDevice {
  explicit TDevice(const QByteArray& name) : variable("PERCH_AUDIO_DEVICE", name.toStdString()) {}
  TEnvironmentGuard variable;
};

struct TEvent {
  enum TKind { Started, Word, Finished } kind;
  int value = 0;  // word index, or the line's duration for Started
  qint64 atMs = 0;
  QVector<TSpokenWord> words;
};

// Everything a voice reports on the line given last, with the time since it was given.
class TRecorder {
 public:
  explicit TRecorder(TVoice& voice) : voice_(voice) {
    clock_.start();
    QObject::connect(&voice, &TVoice::Started, &voice, [this](QVector<TSpokenWord> words, int durationMs) {
      Add(TEvent::Started, durationMs, words);
    });
    QObject::connect(&voice, &TVoice::WordReached, &voice, [this](int index) { Add(TEvent::Word, index); });
    QObject::connect(&voice, &TVoice::Finished, &voice, [this] {
      Add(TEvent::Finished, 0);
      ++finished;
    });
  }
  void Speak(const QString& text, int languageId = EnglishLanguageId) {
    events.clear();
    clock_.restart();
    voice_.Speak(text, languageId);
  }
  bool WaitFinished(int count) {
    return QTest::qWaitFor([&] { return finished >= count; }, PatienceMs);
  }
  int WordsReached() const {
    return int(
        std::count_if(events.begin(), events.end(), [](const TEvent& e) { return e.kind == TEvent::Word; }));
  }

  std::vector<TEvent> events;
  int finished = 0;

 private:
  void Add(TEvent::TKind kind, int value, QVector<TSpokenWord> words = {}) {
    events.push_back({kind, value, clock_.elapsed(), std::move(words)});
  }
  TVoice& voice_;
  QElapsedTimer clock_;
};

// One line's report: Started, each word in order no earlier than its time,
// then Finished no earlier than the end of the line.
void ExpectWholeLine(const std::vector<TEvent>& events) {
  ASSERT_GE(events.size(), 2u);
  ASSERT_EQ(events.front().kind, TEvent::Started);
  const QVector<TSpokenWord>& words = events.front().words;
  ASSERT_EQ(events.size(), size_t(words.size()) + 2);
  for (int i = 0; i < words.size(); ++i) {
    const TEvent& event = events[size_t(i) + 1];
    ASSERT_EQ(event.kind, TEvent::Word);
    EXPECT_EQ(event.value, i);
    EXPECT_GE(event.atMs, words[i].startMs) << "word " << i << " came early";
  }
  EXPECT_EQ(events.back().kind, TEvent::Finished);
  EXPECT_GE(events.back().atMs, events.front().value);
}

// No sound device at all (silent pacing), and ALSA's null device, which
// takes samples as fast as they come.
class VoiceOnDevice : public testing::TestWithParam<const char*> {
 protected:
  TDevice device_{GetParam()};
};

}  // namespace

TEST_P(VoiceOnDevice, ReportsEachWordInOrderAtItsTime) {
  // A second voice speaks at the same time.
  TVoice voice, other;
  TRecorder recorder(voice), otherRecorder(other);
  otherRecorder.Speak("我们下棋吧！", ChineseLanguageId);
  // English, then Chinese on the same voice, then a line with nothing to say.
  const std::tuple<QString, int, int> lines[] = {{"Well,Hello there!    ", EnglishLanguageId, 3},
                                                 {"你好，我是小鸟。", ChineseLanguageId, 6},
                                                 {"   ", EnglishLanguageId, 0}};
  int spoken = 0;
  for (const auto& [text, language, words] : lines) {
    SCOPED_TRACE(text.toStdString());
    recorder.Speak(text, language);
    ASSERT_TRUE(recorder.WaitFinished(++spoken));
    ASSERT_EQ(recorder.events.front().words.size(), words);
    ExpectWholeLine(recorder.events);
  }
  ASSERT_TRUE(otherRecorder.WaitFinished(1));
  EXPECT_EQ(otherRecorder.events.front().words.size(), 5);
  ExpectWholeLine(otherRecorder.events);
}

TEST_P(VoiceOnDevice, StopsMidLineAndANewLineStopsTheOneSpeaking) {
  TVoice voice;
  TRecorder recorder(voice);
  recorder.Speak(LongLine);
  ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.WordsReached() >= 3; }, PatienceMs));
  voice.Stop();
  ASSERT_TRUE(recorder.WaitFinished(1));
  EXPECT_LT(recorder.WordsReached(), recorder.events.front().words.size());
  EXPECT_LT(recorder.events.back().atMs, recorder.events.front().value) << "the line played to its end";

  // Nothing follows the Finished of a stopped line, and a second Stop on a
  // silent voice reports nothing.
  const size_t reported = recorder.events.size();
  voice.Stop();
  QTest::qWait(300);
  EXPECT_EQ(recorder.events.size(), reported);

  // It speaks again; each new line stops the one before, which still ends in
  // a Finished of its own; the last line is reported whole, after the others.
  recorder.Speak(LongLine);
  voice.Speak("I am here!", EnglishLanguageId);
  voice.Speak("May I help you?", EnglishLanguageId);
  ASSERT_TRUE(recorder.WaitFinished(4));
  QTest::qWait(100);
  EXPECT_EQ(recorder.finished, 4);
  const auto lastStart = std::find_if(recorder.events.rbegin(), recorder.events.rend(),
                                      [](const TEvent& e) { return e.kind == TEvent::Started; });
  ASSERT_NE(lastStart, recorder.events.rend());
  const std::vector<TEvent> last(lastStart.base() - 1, recorder.events.end());
  ASSERT_EQ(last.front().words.size(), 4);
  ExpectWholeLine(last);
}

// While synthesizing, and while words are being reported.
TEST_P(VoiceOnDevice, CanBeDestroyedWhileSpeaking) {
  for (int wordsBeforeDestroying : {0, 2}) {
    auto voice = std::make_unique<TVoice>();
    TRecorder recorder(*voice);
    recorder.Speak(LongLine);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return recorder.WordsReached() >= wordsBeforeDestroying; }, PatienceMs));
    voice.reset();
    const size_t reported = recorder.events.size();
    QTest::qWait(200);  // reports still queued for the voice must not arrive
    EXPECT_EQ(recorder.events.size(), reported);
  }
}

INSTANTIATE_TEST_SUITE_P(Devices, VoiceOnDevice, testing::Values(Silent, "null"),
                         [](const testing::TestParamInfo<const char*>& param) {
                           return std::string(param.index == 0 ? "Silent" : "AlsaNull");
                         });

TEST(Voice, MayBeDeletedByWhoeverHearsItFinish) {
  TDevice device(Silent);
  auto* voice = new TVoice;
  bool deleted = false;
  QObject::connect(voice, &TVoice::Finished, [&] {
    delete voice;
    deleted = true;
  });
  // Two lines, so that reports of the second may be waiting behind the
  // Finished of the first when the voice goes.
  voice->Speak("Do not bother me!", EnglishLanguageId);
  voice->Speak("Yes", EnglishLanguageId);
  EXPECT_TRUE(QTest::qWaitFor([&] { return deleted; }, PatienceMs));
  QTest::qWait(200);
}

TEST(Voice, PlaysEverySampleOfTheLineOnTheDevice) {
  // ALSA's file device keeps what it is given (and plays it on the null device).
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString recording = folder.filePath("line.raw");
  int durationMs = 0;
  {
    TDevice device(QString("file:'%1',raw").arg(recording).toUtf8());
    TVoice voice;
    TRecorder recorder(voice);
    recorder.Speak("It is so nice to meet you!");
    ASSERT_TRUE(recorder.WaitFinished(1));
    ExpectWholeLine(recorder.events);
    durationMs = recorder.events.front().value;
  }
  // espeak varies a line slightly from one synthesis to the next, so the
  // recording is checked against the length the voice announced.
  QFile played(recording);
  ASSERT_TRUE(played.open(QIODevice::ReadOnly));
  const QByteArray bytes = played.readAll();
  std::vector<int16_t> samples(size_t(bytes.size()) / sizeof(int16_t));
  std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(int16_t));
  EXPECT_EQ(int(int64_t(samples.size()) * 1000 / 22050), durationMs);
  double sum = 0;
  for (int16_t s : samples) sum += double(s) * s;
  EXPECT_GT(std::sqrt(sum / double(std::max<size_t>(samples.size(), 1))), 500);
}

namespace {

std::vector<int16_t> Recording(const QString& path) {
  QFile played(path);
  if (!played.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = played.readAll();
  std::vector<int16_t> samples(size_t(bytes.size()) / sizeof(int16_t));
  std::memcpy(samples.data(), bytes.constData(), samples.size() * sizeof(int16_t));
  return samples;
}

int Peak(const std::vector<int16_t>& samples) {
  int peak = 0;
  for (int16_t s : samples) peak = std::max(peak, std::abs(int(s)));
  return peak;
}

}  // namespace

TEST(Voice, VolumeScalesWhatIsPlayedAndMuteOpensNoDeviceButKeepsThePace) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString full = folder.filePath("full.raw"), quarter = folder.filePath("quarter.raw"),
                muted = folder.filePath("muted.raw");
  const char* const line = "It is so nice to meet you!";
  auto speak = [&](const QString& recording, const std::function<void(TVoice&)>& set) {
    TDevice device(QString("file:'%1',raw").arg(recording).toUtf8());
    TVoice voice;
    set(voice);
    TRecorder recorder(voice);
    recorder.Speak(line);
    EXPECT_TRUE(recorder.WaitFinished(1));
    return recorder.events;
  };
  speak(full, [](TVoice& voice) { EXPECT_EQ(voice.Volume(), 100); });
  speak(quarter, [](TVoice& voice) {
    voice.SetVolume(25);
    voice.SetVolume(25);
  });
  const auto events = speak(muted, [](TVoice& voice) {
    voice.SetVolume(140);
    EXPECT_EQ(voice.Volume(), 100) << "held to 0-100";
    voice.SetMuted(true);
    EXPECT_TRUE(voice.Muted());
  });
  const int fullPeak = Peak(Recording(full));
  ASSERT_GT(fullPeak, 2000);
  EXPECT_NEAR(Peak(Recording(quarter)), fullPeak / 4, fullPeak / 20);
  EXPECT_TRUE(Recording(muted).empty()) << "nothing reached the device";
  ExpectWholeLine(events);  // the balloon is paced as if it were heard
}
