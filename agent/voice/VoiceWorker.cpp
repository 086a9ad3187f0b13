#include "agent/voice/VoiceWorker.h"

#include "agent/voice/AudioOutput.h"
#include "agent/voice/Synthesizer.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace perch {

namespace {

// Samples go to the device in chunks of this length; it bounds how long a
// stop waits for a blocked write.
constexpr int ChunkMs = 20;
// A device whose position has not moved for this long is given up.
constexpr std::chrono::seconds Stall{2};

}  // namespace

TVoiceWorker::TVoiceWorker(TListener listener, std::string audioDevice)
    : listener_(std::move(listener)), audioDevice_(std::move(audioDevice)), thread_([this] { Run(); }) {}

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

void TVoiceWorker::SetVolume(int percent) { volume_ = std::clamp(percent, 0, 100); }

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
  const int64_t total = int64_t(speech.samples.size());
  if (total > 0 && !muted_) output.Open(audioDevice_, speech.sampleRate);
  std::vector<int16_t> quieter;  // a chunk below full volume
  const int64_t chunk = std::max<int64_t>(1, int64_t(speech.sampleRate) * ChunkMs / 1000);
  int64_t written = 0;
  int64_t played = 0;
  TClock::time_point lastProgress = TClock::now();

  // The line's clock: in silence it is the pace itself; with a device it
  // also holds back a device that takes samples faster than it plays them.
  TClock::time_point begin = TClock::now();
  int nextWord = 0;
  const int wordCount = int(speech.words.size());

  for (;;) {
    if (Stopped(line.id)) break;
    const TClock::time_point now = TClock::now();
    int64_t playedMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - begin).count();
    if (output.IsOpen()) {
      const int64_t frames = output.PlayedFrames();
      if (frames != played) lastProgress = now;
      played = frames;
      playedMs = std::min(playedMs, played * 1000 / speech.sampleRate);
    }
    while (nextWord < wordCount && speech.words[nextWord].startMs <= playedMs)
      listener_.wordReached(nextWord++);
    const bool heard = !output.IsOpen() || played >= total;
    if (heard && playedMs >= speech.durationMs && nextWord == wordCount) break;

    if (output.IsOpen() && muted_) {
      // Muted while it plays: the rest of the line goes on in silence.
      output.Close();
      begin = TClock::now() - std::chrono::milliseconds(playedMs);
      continue;
    }
    if (output.IsOpen()) {
      bool failed = played < written && now - lastProgress > Stall;
      if (!failed && written < total) {
        const int64_t count = std::min(chunk, total - written);
        const int16_t* samples = speech.samples.data() + written;
        if (const int volume = volume_.load(); volume < 100) {
          quieter.assign(samples, samples + count);
          for (int16_t& sample : quieter) sample = static_cast<int16_t>(sample * volume / 100);
          samples = quieter.data();
        }
        const int64_t queued = output.Write(samples, count, ChunkMs);
        failed = queued < 0;
        if (!failed) written += queued;
      } else if (!failed) {
        output.StartQueued();
        SleepUntil(line.id, now + std::chrono::milliseconds(ChunkMs / 2));
      }
      if (failed) {
        // The device gave up or stands still: go on in silence from here.
        output.Close();
        begin = TClock::now() - std::chrono::milliseconds(playedMs);
      }
      continue;
    }
    int64_t wakeMs = speech.durationMs;
    if (nextWord < wordCount) wakeMs = std::min<int64_t>(wakeMs, speech.words[nextWord].startMs);
    SleepUntil(line.id, begin + std::chrono::milliseconds(std::max<int64_t>(wakeMs, playedMs + 1)));
  }
}

void TVoiceWorker::SleepUntil(int64_t id, TClock::time_point until) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, until, [&] { return Stopped(id); });
}

}  // namespace perch
