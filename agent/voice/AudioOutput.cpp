#include "agent/voice/AudioOutput.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

namespace perch {

namespace {

// Without a sound card every failed open prints a page of configuration
// errors; the caller falls back to silence, so they say nothing useful.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

constexpr unsigned LatencyUs = 100'000;

}  // namespace

bool TAudioOutput::Open(const std::string& device, int sampleRate) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { snd_lib_error_set_handler(&QuietAlsaErrors); });
  Close();
  // Non-blocking throughout: a busy or stalled device cannot hold the voice.
  if (snd_pcm_open(&pcm_, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
    pcm_ = nullptr;
    return false;
  }
  if (snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1, unsigned(sampleRate), 1,
                         LatencyUs) < 0) {
    Close();
    return false;
  }
  written_ = 0;
  return true;
}

int64_t TAudioOutput::Write(const int16_t* frames, int64_t count, int waitMs) {
  if (!pcm_) return -1;
  const int ready = snd_pcm_wait(pcm_, waitMs);
  if (ready < 0 && snd_pcm_recover(pcm_, ready, 1) < 0) return -1;
  snd_pcm_sframes_t done = snd_pcm_writei(pcm_, frames, snd_pcm_uframes_t(count));
  if (done == -EAGAIN) return 0;
  if (done < 0) {
    // An underrun or a suspend is recovered once; anything else is final.
    if (snd_pcm_recover(pcm_, int(done), 1) < 0) return -1;
    done = snd_pcm_writei(pcm_, frames, snd_pcm_uframes_t(count));
    if (done == -EAGAIN) return 0;
    if (done < 0) return -1;
  }
  written_ += done;
  return done;
}

void TAudioOutput::StartQueued() {
  if (pcm_ && snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED) snd_pcm_start(pcm_);
}

int64_t TAudioOutput::PlayedFrames() {
  if (!pcm_) return written_;
  // After an underrun (the end of the line) nothing is waiting any more.
  snd_pcm_sframes_t waiting = 0;
  if (snd_pcm_delay(pcm_, &waiting) < 0) waiting = 0;
  return std::max<int64_t>(0, written_ - std::max<snd_pcm_sframes_t>(waiting, 0));
}

void TAudioOutput::Close() {
  if (!pcm_) return;
  snd_pcm_drop(pcm_);
  snd_pcm_close(pcm_);
  pcm_ = nullptr;
}

}  // namespace perch
