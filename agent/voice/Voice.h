#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <cstdint>
#include <memory>

// A word of a spoken line: where it stands in the text (UTF-16 units of the
// QString that was spoken) and when it begins, counted from the start of the
// audio.
struct TSpokenWord {
  int textPosition = 0;
  int textLength = 0;
  int startMs = 0;
};

// A line rendered to memory: mono 16-bit samples at sampleRate, and its words.
struct TSynthesizedSpeech {
  std::vector<int16_t> samples;
  int sampleRate = 0;
  QVector<TSpokenWord> words;
  int DurationMs() const {
    return sampleRate > 0 ? int(int64_t(samples.size()) * 1000 / sampleRate) : 0;
  }
};

class TVoiceWorker;

// The character's voice. Speak returns at once; synthesis and playback run on
// worker threads, and the signals arrive on the thread that owns the voice
// (queued). Where no sound device answers, the same signals come at the same
// pace in silence.
class TVoice : public QObject {
  Q_OBJECT
 public:
  explicit TVoice(QObject* parent = nullptr);
  ~TVoice() override;

  // 1033 speaks with the "en-us" voice, 2052 with Mandarin ("cmn").
  static bool LanguageAvailable(int languageId);

  // Renders text synchronously on the caller's thread. An unknown language or
  // a failing synthesizer gives empty speech.
  static TSynthesizedSpeech Synthesize(const QString& text, int languageId);

  // Starts speaking text; a line still speaking is stopped first.
  void Speak(const QString& text, int languageId);
  // Stops the current utterance promptly; Finished follows.
  void Stop();

 signals:
  // Synthesis done; playback (or silent pacing) begins.
  void Started(QVector<TSpokenWord> words, int durationMs);
  // The word at that index begins now.
  void WordReached(int wordIndex);
  // The utterance ended (played, paced in silence, or stopped).
  void Finished();

 private:
  std::shared_ptr<TVoiceWorker> worker_;
};

Q_DECLARE_METATYPE(TSpokenWord)
