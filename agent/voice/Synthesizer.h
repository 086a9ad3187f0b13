#pragma once

#include "agent/voice/Voice.h"

#include <functional>

namespace perch {

// The one libespeak-ng of the process. Its API keeps global state and is not
// thread-safe, so every call goes through one lock; synthesis of a sentence
// takes milliseconds, so nobody waits long.

// The espeak voice for a speech language id, or nullptr for an unknown id.
const char* EspeakVoiceName(int languageId);

// Whether the voice for that language id can be selected on this machine.
bool EspeakVoiceAvailable(int languageId);

// Renders text to memory. cancelled is polled while the audio comes in;
// when it answers true, synthesis ends early with what it has. If the
// synthesizer cannot speak the language, the samples are empty and the words
// carry an estimated pace (see EstimateWords).
TSynthesizedSpeech SynthesizeSpeech(const QString& text, int languageId,
                                    const std::function<bool()>& cancelled = {});

}  // namespace perch
