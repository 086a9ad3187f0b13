#include "agent/voice/Voice.h"

#include "agent/voice/Mailbox.h"
#include "agent/voice/Synthesizer.h"
#include "agent/voice/VoiceWorker.h"

namespace perch {

namespace {

std::string AudioDevice() {
  const QByteArray chosen = qgetenv("PERCH_AUDIO_DEVICE");
  return chosen.isEmpty() ? std::string("default") : chosen.toStdString();
}

}  // namespace

TVoice::TVoice(QObject* parent) : QObject(parent), mailbox_(new TMailbox(this)) {
  qRegisterMetaType<TSpokenWord>();
  qRegisterMetaType<QVector<TSpokenWord>>();
  // The worker's reports go through the mailbox, so they run on this
  // object's thread, and those still waiting when it is destroyed are dropped.
  TVoiceWorker::TListener listener;
  listener.started = [this](const QVector<TSpokenWord>& words, int durationMs) {
    mailbox_->Post([this, words, durationMs] { emit Started(words, durationMs); });
  };
  listener.wordReached = [this](int wordIndex) {
    mailbox_->Post([this, wordIndex] { emit WordReached(wordIndex); });
  };
  listener.finished = [this] { mailbox_->Post([this] { emit Finished(); }); };
  worker_ = std::make_unique<TVoiceWorker>(std::move(listener), AudioDevice());
}

// The worker is joined here, before the mailbox (a child) goes with QObject's
// destructor.
TVoice::~TVoice() { worker_.reset(); }

bool TVoice::LanguageAvailable(int languageId) { return EspeakVoiceAvailable(languageId); }

TSynthesizedSpeech TVoice::Synthesize(const QString& text, int languageId) {
  return SynthesizeSpeech(text, languageId);
}

void TVoice::Speak(const QString& text, int languageId) { worker_->Speak(text, languageId); }

void TVoice::Stop() { worker_->Stop(); }

void TVoice::SetVolume(int percent) { worker_->SetVolume(percent); }
int TVoice::Volume() const { return worker_->Volume(); }
void TVoice::SetMuted(bool muted) { worker_->SetMuted(muted); }
bool TVoice::Muted() const { return worker_->Muted(); }

}  // namespace perch
