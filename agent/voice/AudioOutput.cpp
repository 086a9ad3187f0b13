#include "agent/voice/AudioOutput.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <mutex>

namespace {

// Without a sound card every failed open prints a page of configuration
// errors; the caller falls back to silence, so they say nothing useful.
void QuietAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

constexpr unsigned kLatencyUs = 100'000;

}  // namespace

TAudioOutput::~TAudioOutput() { Finish(true); }

bool TAudioOutput::Open(const std::string& device, int sampleRate) {
  static std::once_flag quiet;
  std::call_once(quiet, [] { snd_lib_error_set_handler(&QuietAlsaErrors); });
  Finish(true);
  // Opened without blocking, so that a busy device cannot hold the voice.
  if (snd_pcm_open(&pcm_, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
    pcm_ = nullptr;
    return false;
  }
  if (snd_pcm_nonblock(pcm_, 0) < 0 ||
      snd_pcm_set_params(pcm_, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 1,
                         unsigned(sampleRate), 1, kLatencyUs) < 0) {
    Finish(true);
    return false;
  }
  written_ = 0;
  return true;
}

bool TAudioOutput::Write(const int16_t* frames, int64_t count) {
  if (!pcm_) return false;
  while (count > 0) {
    snd_pcm_sframes_t done = snd_pcm_writei(pcm_, frames, snd_pcm_uframes_t(count));
    if (done < 0) {
      // An underrun or a suspend is recovered once; anything else is final.
      if (snd_pcm_recover(pcm_, int(done), 1) < 0) return false;
      done = snd_pcm_writei(pcm_, frames, snd_pcm_uframes_t(count));
      if (done < 0) return false;
    }
    frames += done;
    count -= done;
    written_ += done;
  }
  return true;
}

int64_t TAudioOutput::PlayedFrames() {
  if (!pcm_) return written_;
  snd_pcm_sframes_t queued = 0;
  if (snd_pcm_delay(pcm_, &queued) < 0) queued = 0;
  return std::max<int64_t>(0, written_ - std::max<snd_pcm_sframes_t>(queued, 0));
}

void TAudioOutput::Finish(bool discard) {
  if (!pcm_) return;
  if (discard)
    snd_pcm_drop(pcm_);
  else
    snd_pcm_drain(pcm_);
  snd_pcm_close(pcm_);
  pcm_ = nullptr;
}
