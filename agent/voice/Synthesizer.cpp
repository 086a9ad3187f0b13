#include "agent/voice/Synthesizer.h"

#include "agent/voice/WordTiming.h"

#include <espeak-ng/speak_lib.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>

namespace perch {

namespace {

// A balloon of more than this is not read out in full; it also bounds the
// audio kept in memory for one line.
constexpr int MaxSpokenLength = 4000;
constexpr int MaxAudioSeconds = 6 * 60;

// The bird speaks a little higher than espeak's default, and English a
// little slower (words per minute).
constexpr int Pitch = 62;
constexpr int EnglishRate = 165;
constexpr int MandarinRate = 175;

// Text as espeak reads it, and for each of its characters (code points) the
// UTF-16 index it came from: espeak reports positions in characters.
struct TEspeakText {
  std::string utf8;
  std::vector<int> utf16Position;
};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += char(c);
  } else if (c < 0x800) {
    out += char(0xC0 | (c >> 6));
    out += char(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += char(0xE0 | (c >> 12));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  } else {
    out += char(0xF0 | (c >> 18));
    out += char(0x80 | ((c >> 12) & 0x3F));
    out += char(0x80 | ((c >> 6) & 0x3F));
    out += char(0x80 | (c & 0x3F));
  }
}

TEspeakText ToEspeakText(const QString& text) {
  TEspeakText result;
  for (int i = 0; i < text.size();) {
    const QChar unit = text.at(i);
    char32_t c = unit.unicode();
    int units = 1;
    if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      c = QChar::surrogateToUcs4(unit, text.at(i + 1));
      units = 2;
    } else if (unit.isSurrogate()) {
      c = 0xFFFD;
    }
    // A NUL would end espeak's text early; other control characters mean
    // nothing spoken. Either way one character stays one character.
    if (c < 0x20 || c == 0x7F) c = ' ';
    AppendUtf8(result.utf8, c);
    result.utf16Position.push_back(i);
    i += units;
  }
  return result;
}

// Cuts a very long text at a blank near the limit, never inside a
// surrogate pair.
QString SpokenPart(const QString& text) {
  if (text.size() <= MaxSpokenLength) return text;
  qsizetype cut = MaxSpokenLength;
  const qsizetype blank = text.lastIndexOf(QChar(' '), cut);
  if (blank > MaxSpokenLength / 2) cut = blank;
  if (text.at(cut - 1).isHighSurrogate()) --cut;
  return text.left(cut);
}

// What one synthesis collects through espeak's callback.
struct TCollector {
  std::vector<int16_t>* samples = nullptr;
  std::vector<TWordEvent> events;
  const TEspeakText* text = nullptr;
  const std::function<bool()>* cancelled = nullptr;
  size_t maxSamples = 0;
};

class TEspeak {
 public:
  static TEspeak& Instance() {
    static TEspeak instance;
    return instance;
  }

  std::mutex& Lock() { return mutex_; }

  // Everything below runs with Lock() held.
  bool Initialized() {
    if (!tried_) {
      tried_ = true;
      sampleRate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
      if (sampleRate_ > 0) espeak_SetSynthCallback(&TEspeak::Receive);
    }
    return sampleRate_ > 0;
  }

  int SampleRate() const { return sampleRate_; }

  bool SelectVoice(int languageId) {
    const char* name = EspeakVoiceName(languageId);
    if (!name || !Initialized()) return false;
    if (currentVoice_ == name) return true;
    auto known = available_.find(languageId);
    if (known != available_.end() && !known->second) return false;
    const bool ok = espeak_SetVoiceByName(name) == EE_OK;
    available_[languageId] = ok;
    if (!ok) return false;
    currentVoice_ = name;
    espeak_SetParameter(espeakPITCH, Pitch, 0);
    espeak_SetParameter(espeakRATE, languageId == 1033 ? EnglishRate : MandarinRate, 0);
    return true;
  }

  void Speak(TCollector& collector) {
    collector_ = &collector;
    espeak_Synth(collector.text->utf8.c_str(), collector.text->utf8.size() + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_UTF8, nullptr, nullptr);
    collector_ = nullptr;
  }

 private:
  // Called by espeak on the synthesizing thread, inside espeak_Synth.
  static int Receive(short* wave, int count, espeak_EVENT* events) {
    TCollector* collector = Instance().collector_;
    if (!collector) return 1;
    if (wave && count > 0) collector->samples->insert(collector->samples->end(), wave, wave + count);
    for (espeak_EVENT* event = events; event && event->type != espeakEVENT_LIST_TERMINATED; ++event) {
      if (event->type != espeakEVENT_WORD) continue;
      const int character = event->text_position - 1;
      const std::vector<int>& positions = collector->text->utf16Position;
      if (character < 0 || character >= int(positions.size())) continue;
      collector->events.push_back({positions[size_t(character)], event->audio_position});
    }
    const bool cancelled = *collector->cancelled && (*collector->cancelled)();
    return cancelled || collector->samples->size() >= collector->maxSamples ? 1 : 0;
  }

  std::mutex mutex_;
  bool tried_ = false;
  int sampleRate_ = 0;
  std::string currentVoice_;
  std::map<int, bool> available_;
  TCollector* collector_ = nullptr;
};

}  // namespace

const char* EspeakVoiceName(int languageId) {
  switch (languageId) {
    case 1033: return "en-us";
    case 2052: return "cmn";
    default: return nullptr;
  }
}

bool EspeakVoiceAvailable(int languageId) {
  if (!EspeakVoiceName(languageId)) return false;
  // Answered once per language: later questions come from the main thread
  // and must not wait behind a long synthesis holding the lock.
  enum : int { Unknown, Yes, No };
  static std::atomic<int> english{Unknown}, mandarin{Unknown};
  std::atomic<int>& known = languageId == 1033 ? english : mandarin;
  if (known != Unknown) return known == Yes;
  TEspeak& espeak = TEspeak::Instance();
  std::lock_guard lock(espeak.Lock());
  const bool available = espeak.SelectVoice(languageId);
  known = available ? Yes : No;
  return available;
}

TSynthesizedSpeech SynthesizeSpeech(const QString& fullText, int languageId,
                                    const std::function<bool()>& cancelled) {
  const QString text = SpokenPart(fullText);
  TSynthesizedSpeech speech;
  const TEspeakText espeakText = ToEspeakText(text);
  TCollector collector;
  collector.samples = &speech.samples;
  collector.text = &espeakText;
  collector.cancelled = &cancelled;
  {
    TEspeak& espeak = TEspeak::Instance();
    std::lock_guard lock(espeak.Lock());
    if (espeak.SelectVoice(languageId)) {
      speech.sampleRate = espeak.SampleRate();
      collector.maxSamples = size_t(speech.sampleRate) * MaxAudioSeconds;
      espeak.Speak(collector);
    }
  }
  if (speech.samples.empty()) {
    speech.sampleRate = 0;
    speech.words = EstimateWords(text, &speech.durationMs);
    return speech;
  }
  speech.durationMs = int(int64_t(speech.samples.size()) * 1000 / speech.sampleRate);
  speech.words = TimeWords(text, collector.events, speech.durationMs);
  return speech;
}

}  // namespace perch
