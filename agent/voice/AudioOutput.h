#pragma once

#include <cstdint>
#include <string>

typedef struct _snd_pcm snd_pcm_t;  // NOLINT(bugprone-reserved-identifier): ALSA's own name

namespace perch {

// Mono 16-bit playback on an ALSA device. Nothing here blocks for longer
// than the wait the caller asks for, so that a stop is prompt even when the
// device stalls.
class TAudioOutput {
 public:
  TAudioOutput() = default;
  TAudioOutput(const TAudioOutput&) = delete;
  TAudioOutput& operator=(const TAudioOutput&) = delete;
  ~TAudioOutput() { Close(); }

  // False when the device does not answer (no sound card, no server).
  bool Open(const std::string& device, int sampleRate);
  bool IsOpen() const { return pcm_ != nullptr; }

  // Waits up to waitMs for room, then queues as many frames as fit. Returns
  // the frames queued (0 when the device stayed full), or -1 when the device
  // failed for good.
  int64_t Write(const int16_t* frames, int64_t count, int waitMs);
  // Starts playing what is queued even though the buffer is not full: the
  // end of a line, or a line shorter than the buffer.
  void StartQueued();
  // Frames that have left the speaker so far (queued minus still waiting).
  int64_t PlayedFrames();
  // Throws away what is still queued and lets the device go.
  void Close();

 private:
  snd_pcm_t* pcm_ = nullptr;
  int64_t written_ = 0;
};

}  // namespace perch
