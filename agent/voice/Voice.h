#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <cstdint>
#include <memory>
#include <vector>

namespace perch {

// A word of a spoken line: where it stands in the text (UTF-16 units of the
// QString that was spoken) and when it begins, counted from the start of the
// audio.
struct TSpokenWord {
  int textPosition = 0;
  int textLength = 0;
  int startMs = 0;
};

// A line rendered to memory: mono 16-bit samples at sampleRate, and its words
// in text order with non-decreasing start times. Without a working
// synthesizer the samples are empty and the words carry an estimated pace
// over durationMs, so that a balloon can still reveal the text.
struct TSynthesizedSpeech {
  std::vector<int16_t> samples;
  int sampleRate = 0;
  int durationMs = 0;
  QVector<TSpokenWord> words;
};

class TMailbox;
class TVoiceWorker;

// The character's voice. Speak returns at once; synthesis and playback run on
// a worker thread, and the signals arrive queued on the thread that owns the
// voice. Where no sound device answers, the same signals come at the same
// pace in silence.
//
// Every Speak ends in exactly one Finished, and all reports of a line come
// before those of the next. Started comes before Finished unless the line
// was stopped (or superseded by a later Speak) before its synthesis was
// done. A stopped line's Finished arrives later, not inside Stop: a caller
// that speaks again at once tells the lines apart by counting Finished. The sound device is ALSA's "default",
// or the one named by the environment variable PERCH_AUDIO_DEVICE when the voice is created.
class TVoice : public QObject {
  Q_OBJECT
 public:
  explicit TVoice(QObject* parent = nullptr);
  ~TVoice() override;

  // 1033 speaks with the "en-us" voice, 2052 with Mandarin ("cmn").
  static bool LanguageAvailable(int languageId);

  // Renders text on the caller's thread, for tests and tools. Only the first
  // few thousand characters of a very long text are spoken.
  static TSynthesizedSpeech Synthesize(const QString& text, int languageId);

  // Starts speaking text; a line still speaking is stopped first.
  void Speak(const QString& text, int languageId);
  // Stops the current line promptly; its Finished follows. Does nothing when
  // the voice is silent.
  void Stop();

  // The loudness of what is played, 0 to 100 percent of the samples'
  // amplitude (held to that range); it applies from the next few
  // milliseconds of sound on, the line being spoken included.
  void SetVolume(int percent);
  int Volume() const;
  // Muted, no sound device is opened and a line playing lets go of its
  // device at once: lines are paced in silence with the same reports.
  void SetMuted(bool muted);
  bool Muted() const;

 signals:
  // Synthesis done; playback (or silent pacing) begins.
  void Started(QVector<TSpokenWord> words, int durationMs);
  // The word at that index begins now.
  void WordReached(int wordIndex);
  // The line ended (played, paced in silence, or stopped).
  void Finished();

 private:
  TMailbox* mailbox_ = nullptr;  // a child: reports from the worker thread
  std::unique_ptr<TVoiceWorker> worker_;
};

}  // namespace perch

Q_DECLARE_METATYPE(perch::TSpokenWord)
