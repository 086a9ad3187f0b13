#include "agent/voice/Voice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr int kEnglish = 1033;
constexpr int kChinese = 2052;
// Only a voice that hangs waits this long.
constexpr int kPatienceMs = 30000;

const char* const kLongLine =
    "I am an Artificial Life, not like you, human. We live in computers. I need to eat and "
    "sleep, and I can do some work. I am looking very forward to spending time with you!";

// Everything a voice reports, with the time since the line was given to it.
struct TEvent {
  enum TKind { Started, Word, Finished } kind;
  int value = 0;  // word index, or the line's duration for Started
  qint64 atMs = 0;
  QVector<TSpokenWord> words;
};

class TRecorder {
 public:
  explicit TRecorder(TVoice& voice) {
    clock_.start();
    QObject::connect(&voice, &TVoice::Started, &voice,
                     [this](QVector<TSpokenWord> words, int durationMs) {
                       events.push_back({TEvent::Started, durationMs, clock_.elapsed(), words});
                     });
    QObject::connect(&voice, &TVoice::WordReached, &voice, [this](int index) {
      events.push_back({TEvent::Word, index, clock_.elapsed(), {}});
    });
    QObject::connect(&voice, &TVoice::Finished, &voice, [this] {
      events.push_back({TEvent::Finished, 0, clock_.elapsed(), {}});
      ++finished;
    });
  }

  // Restarts the clock as a line is given to the voice.
  void Speak(TVoice& voice, const QString& text, int languageId = kEnglish) {
    clock_.restart();
    voice.Speak(text, languageId);
  }

  // Runs the event loop until the condition holds; false if it never does.
  template <typename TCondition>
  bool WaitFor(TCondition condition) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
      if (waited.elapsed() > kPatienceMs) return false;
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
  }

  int WordsReached() const {
    int count = 0;
    for (const TEvent& event : events) count += event.kind == TEvent::Word;
    return count;
  }

  std::vector<TEvent> events;
  int finished = 0;

 private:
  QElapsedTimer clock_;
};

void RunEventsFor(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Checks one line's report: Started, each word in order no earlier than its
// time, then Finished no earlier than the end of the line.
void ExpectWholeLine(const std::vector<TEvent>& events) {
  ASSERT_GE(events.size(), 2u);
  ASSERT_EQ(events.front().kind, TEvent::Started);
  const QVector<TSpokenWord>& words = events.front().words;
  const int durationMs = events.front().value;
  ASSERT_EQ(events.size(), size_t(words.size()) + 2);
  for (int i = 0; i < words.size(); ++i) {
    const TEvent& event = events[size_t(i) + 1];
    ASSERT_EQ(event.kind, TEvent::Word);
    EXPECT_EQ(event.value, i);
    EXPECT_GE(event.atMs, words[i].startMs) << "word " << i << " came early";
  }
  EXPECT_EQ(events.back().kind, TEvent::Finished);
  EXPECT_GE(events.back().atMs, durationMs);
}

// Sound devices to speak on: none at all (silent pacing), and ALSA's null
// device, which takes samples as fast as they come.
class VoiceOnDevice : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override { qputenv("PERCH_AUDIO_DEVICE", GetParam()); }
  void TearDown() override { qunsetenv("PERCH_AUDIO_DEVICE"); }
};

}  // namespace

TEST_P(VoiceOnDevice, ReportsEachWordInOrderAtItsTime) {
  TVoice voice;
  TRecorder recorder(voice);
  recorder.Speak(voice, "Well,Hello there!    ");
  ASSERT_TRUE(recorder.WaitFor([&] { return recorder.finished == 1; }));
  ASSERT_EQ(recorder.events.front().words.size(), 3);
  ExpectWholeLine(recorder.events);

  // The same voice speaks Chinese next, and a line with nothing to say.
  recorder.events.clear();
  recorder.Speak(voice, QString::fromUtf8("你好，我是小鸟。"), kChinese);
  ASSERT_TRUE(recorder.WaitFor([&] { return recorder.finished == 2; }));
  ASSERT_EQ(recorder.events.front().words.size(), 6);
  ExpectWholeLine(recorder.events);

  recorder.events.clear();
  recorder.Speak(voice, "   ");
  ASSERT_TRUE(recorder.WaitFor([&] { return recorder.finished == 3; }));
  ASSERT_EQ(recorder.events.size(), 2u);
  EXPECT_EQ(recorder.events[0].kind, TEvent::Started);
  EXPECT_TRUE(recorder.events[0].words.isEmpty());
  EXPECT_EQ(recorder.events[1].kind, TEvent::Finished);
}

TEST_P(VoiceOnDevice, StopsMidLine) {
  TVoice voice;
  TRecorder recorder(voice);
  recorder.Speak(voice, kLongLine);
  ASSERT_TRUE(recorder.WaitFor([&] { return recorder.WordsReached() >= 3; }));
  voice.Stop();
  ASSERT_TRUE(recorder.WaitFor([&] { return recorder.finished == 1; }));
  const TEvent& started = recorder.events.front();
  EXPECT_LT(recorder.WordsReached(), started.words.size());
  EXPECT_LT(recorder.events.back().atMs, started.value) << "the line played to its end";

  // Nothing follows the Finished of a stopped line, and a second Stop on a
  // silent voice reports nothing.
  const size_t reported = recorder.events.size();
  voice.Stop();
  RunEventsFor(300);
  EXPECT_EQ(recorder.events.size(), reported);

  // The voice speaks again after a stop.
  recorder.events.clear();
  recorder.Speak(voice, "Yes");
  ASSERT_TRUE(recorder.WaitFor([&] { return recorder.finished == 2; }));
  ExpectWholeLine(recorder.events);
}

INSTANTIATE_TEST_SUITE_P(Devices, VoiceOnDevice, testing::Values("perch-no-such-device", "null"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.index == 0 ? "Silent" : "AlsaNull");
                         });

TEST(Voice, ANewLineStopsTheOneSpeaking) {
  qputenv("PERCH_AUDIO_DEVICE", "perch-no-such-device");
  TVoice voice;
  TRecorder recorder(voice);
  recorder.Speak(voice, kLongLine);
  voice.Speak("I am here!", kEnglish);
  voice.Speak("May I help you?", kEnglish);
  ASSERT_TRUE(recorder.WaitFor([&] { return recorder.finished == 3; }));
  RunEventsFor(100);
  EXPECT_EQ(recorder.finished, 3);  // one Finished for every line

  // The last line is reported whole, after the others have finished.
  std::vector<TEvent> last;
  for (const TEvent& event : recorder.events) {
    if (event.kind == TEvent::Started) last.clear();
    last.push_back(event);
  }
  ASSERT_EQ(last.front().kind, TEvent::Started);
  ASSERT_EQ(last.front().words.size(), 4);
  ASSERT_EQ(last.size(), 6u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(last[size_t(i) + 1].value, i);
  EXPECT_EQ(last.back().kind, TEvent::Finished);
  qunsetenv("PERCH_AUDIO_DEVICE");
}

TEST(Voice, CanBeDestroyedWhileSpeaking) {
  for (const char* device : {"perch-no-such-device", "null"}) {
    qputenv("PERCH_AUDIO_DEVICE", device);
    // While synthesizing, and while words are being reported.
    for (int wordsBeforeDestroying : {0, 2}) {
      auto voice = std::make_unique<TVoice>();
      auto recorder = std::make_unique<TRecorder>(*voice);
      recorder->Speak(*voice, kLongLine);
      if (wordsBeforeDestroying > 0) {
        ASSERT_TRUE(recorder->WaitFor(
            [&] { return recorder->WordsReached() >= wordsBeforeDestroying; }));
      }
      voice.reset();
      const size_t reported = recorder->events.size();
      RunEventsFor(200);  // reports still queued for the voice must not arrive
      EXPECT_EQ(recorder->events.size(), reported) << device;
    }
  }
  qunsetenv("PERCH_AUDIO_DEVICE");
}

TEST(Voice, TwoVoicesSpeakAtOnce) {
  qputenv("PERCH_AUDIO_DEVICE", "perch-no-such-device");
  TVoice english;
  TVoice chinese;
  TRecorder englishRecorder(english);
  TRecorder chineseRecorder(chinese);
  englishRecorder.Speak(english, "Hi,Play Chess with me?");
  chineseRecorder.Speak(chinese, QString::fromUtf8("我们下棋吧！"), kChinese);
  ASSERT_TRUE(englishRecorder.WaitFor(
      [&] { return englishRecorder.finished == 1 && chineseRecorder.finished == 1; }));
  ExpectWholeLine(englishRecorder.events);
  ExpectWholeLine(chineseRecorder.events);
  EXPECT_EQ(englishRecorder.events.front().words.size(), 5);
  EXPECT_EQ(chineseRecorder.events.front().words.size(), 5);
  qunsetenv("PERCH_AUDIO_DEVICE");
}

TEST(Voice, MayBeDeletedByWhoeverHearsItFinish) {
  qputenv("PERCH_AUDIO_DEVICE", "perch-no-such-device");
  auto* voice = new TVoice;
  bool deleted = false;
  QObject::connect(voice, &TVoice::Finished, [&] {
    delete voice;
    deleted = true;
  });
  // Two lines, so that reports of the second may be waiting behind the
  // Finished of the first when the voice goes.
  voice->Speak("Do not bother me!", kEnglish);
  voice->Speak("Yes", kEnglish);
  QElapsedTimer waited;
  waited.start();
  while (!deleted && waited.elapsed() < kPatienceMs)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  EXPECT_TRUE(deleted);
  RunEventsFor(200);
  qunsetenv("PERCH_AUDIO_DEVICE");
}

TEST(Voice, PlaysEverySampleOfTheLineOnTheDevice) {
  // ALSA's file device keeps what it is given (and plays it on the null device).
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString recording = folder.filePath("line.raw");
  qputenv("PERCH_AUDIO_DEVICE", QString("file:'%1',raw").arg(recording).toUtf8());
  int durationMs = 0;
  {
    TVoice voice;
    TRecorder recorder(voice);
    recorder.Speak(voice, "It is so nice to meet you!");
    ASSERT_TRUE(recorder.WaitFor([&] { return recorder.finished == 1; }));
    ExpectWholeLine(recorder.events);
    durationMs = recorder.events.front().value;
  }
  qunsetenv("PERCH_AUDIO_DEVICE");

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
