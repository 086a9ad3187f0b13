#include "agent/voice/VoiceWorker.h"

#include "agent/voice/AudioOutput.h"
#include "agent/voice/Synthesizer.h"

#include <algorithm>
#include <limits>

namespace {

// Samples go to the device in chunks of this length; it bounds how long a
// stop waits for a blocked write.
constexpr int kChunkMs = 20;

}  // namespace

TVoiceWorker::TVoiceWorker(TListener listener, std::string audioDevice)
    : listener_(std::move(listener)),
      audioDevice_(std::move(audioDevice)),
      thread_([this] { Run(); }) {}

TVoiceWorker::~TVoiceWorker() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    stopBelow_ = std::numeric_limits<int64_t>::max();
  }
  wake_.notify_all();
  thread_.join();
}

void TVoiceWorker::Speak(const QString& text, int languageId) {
  {
    std::lock_guard lock(mutex_);
    const int64_t id = nextId_++;
    pending_.push_back({id, text, languageId});
    stopBelow_ = id;
  }
  wake_.notify_all();
}

void TVoiceWorker::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopBelow_ = nextId_;
  }
  wake_.notify_all();
}

void TVoiceWorker::Run() {
  for (;;) {
    TLine line;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || !pending_.empty(); });
      if (quit_) return;
      line = std::move(pending_.front());
      pending_.pop_front();
    }
    SpeakLine(line);
  }
}

void TVoiceWorker::SpeakLine(const TLine& line) {
  if (!Stopped(line.id)) {
    const TSynthesizedSpeech speech =
        SynthesizeSpeech(line.text, line.languageId, [&] { return Stopped(line.id); });
    if (!Stopped(line.id)) {
      listener_.started(speech.words, speech.durationMs);
      Play(line, speech);
    }
  }
  if (!quit_) listener_.finished();
}

void TVoiceWorker::Play(const TLine& line, const TSynthesizedSpeech& speech) {
  TAudioOutput output;
  const bool hasAudio = !speech.samples.empty();
  if (hasAudio) output.Open(audioDevice_, speech.sampleRate);

  const auto& samples = speech.samples;
  const int64_t chunk = hasAudio ? std::max<int64_t>(1, int64_t(speech.sampleRate) * kChunkMs / 1000) : 0;
  int64_t written = 0;
  // The line's clock: in silence it is the pace itself; with a device it
  // also holds back a device that takes samples faster than it plays them.
  TClock::time_point begin = TClock::now();
  int nextWord = 0;
  const int wordCount = int(speech.words.size());

  for (;;) {
    if (Stopped(line.id)) break;
    int64_t playedMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - begin).count();
    if (output.IsOpen())
      playedMs = std::min(playedMs, output.PlayedFrames() * 1000 / speech.sampleRate);
    while (nextWord < wordCount && speech.words[nextWord].startMs <= playedMs)
      listener_.wordReached(nextWord++);
    if (playedMs >= speech.durationMs && nextWord == wordCount) break;

    if (output.IsOpen() && written < int64_t(samples.size())) {
      const int64_t count = std::min<int64_t>(chunk, int64_t(samples.size()) - written);
      if (output.Write(samples.data() + written, count)) {
        written += count;
        continue;
      }
      // The device failed midway: go on in silence from where it was.
      output.Finish(true);
      begin = TClock::now() - std::chrono::milliseconds(playedMs);
      continue;
    }
    if (output.IsOpen()) {
      // Everything is written; the device's position moves on by itself.
      SleepUntil(line.id, TClock::now() + std::chrono::milliseconds(kChunkMs / 2));
      continue;
    }
    int64_t wakeMs = speech.durationMs;
    if (nextWord < wordCount) wakeMs = std::min<int64_t>(wakeMs, speech.words[nextWord].startMs);
    SleepUntil(line.id, begin + std::chrono::milliseconds(std::max<int64_t>(wakeMs, playedMs + 1)));
  }
  output.Finish(Stopped(line.id));
}

void TVoiceWorker::SleepUntil(int64_t id, TClock::time_point until) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, until, [&] { return Stopped(id); });
}
