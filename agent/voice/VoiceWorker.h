#pragma once

#include "agent/voice/Voice.h"

#include <QString>
#include <QVector>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace perch {

class TAudioOutput;

// The thread behind a TVoice: takes lines one after another, synthesizes
// each, then plays it on the sound device (or paces it in silence) and
// reports the words as they begin. The listener's functions are called on
// the worker thread.
class TVoiceWorker {
 public:
  struct TListener {
    std::function<void(const QVector<TSpokenWord>&, int durationMs)> started;
    std::function<void(int wordIndex)> wordReached;
    std::function<void()> finished;
  };

  TVoiceWorker(TListener listener, std::string audioDevice);
  // Stops the line being spoken and joins the thread; after it returns the
  // listener is not called again.
  ~TVoiceWorker();

  void Speak(const QString& text, int languageId);
  void Stop();
  // Read by the worker for every chunk it plays (see TVoice).
  void SetVolume(int percent);
  int Volume() const { return volume_.load(); }
  void SetMuted(bool muted) { muted_ = muted; }
  bool Muted() const { return muted_.load(); }

 private:
  using TClock = std::chrono::steady_clock;

  struct TLine {
    int64_t id = 0;
    QString text;
    int languageId = 0;
  };

  void Run();
  void SpeakLine(const TLine& line);
  // Plays the samples, reporting words on time; returns when done or stopped.
  void Play(const TLine& line, const TSynthesizedSpeech& speech);
  bool Stopped(int64_t id) const { return id < stopBelow_.load(); }
  // Sleeps until the time or a stop, whichever comes first.
  void SleepUntil(int64_t id, TClock::time_point until);

  const TListener listener_;
  const std::string audioDevice_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<TLine> pending_;
  int64_t nextId_ = 0;
  std::atomic<bool> quit_{false};
  std::atomic<int> volume_{100};  // percent
  std::atomic<bool> muted_{false};
  // Every line with a smaller id is stopped: Speak stops the lines before
  // it, Stop all lines so far.
  std::atomic<int64_t> stopBelow_{0};

  std::thread thread_;  // last, so it starts with everything above in place
};

}  // namespace perch
