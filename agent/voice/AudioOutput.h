#pragma once

#include <cstdint>
#include <string>

typedef struct _snd_pcm snd_pcm_t;

// Mono 16-bit playback on an ALSA device. Writes block until the device
// takes the samples (at most about one chunk of playing time), so the
// caller can check for a stop between chunks.
class TAudioOutput {
 public:
  TAudioOutput() = default;
  TAudioOutput(const TAudioOutput&) = delete;
  TAudioOutput& operator=(const TAudioOutput&) = delete;
  ~TAudioOutput();

  // False when the device does not answer (no sound card, no server).
  bool Open(const std::string& device, int sampleRate);
  bool IsOpen() const { return pcm_ != nullptr; }

  // Plays frames; false when the device failed for good.
  bool Write(const int16_t* frames, int64_t count);
  // Frames that have left the speaker so far (written minus still queued).
  int64_t PlayedFrames();
  // Lets the queued sound play out, or throws it away.
  void Finish(bool discard);

 private:
  snd_pcm_t* pcm_ = nullptr;
  int64_t written_ = 0;
};
