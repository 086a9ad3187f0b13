#include "agent/voice/Voice.h"

#include "agent/voice/Synthesizer.h"
#include "agent/voice/VoiceWorker.h"

#include <QMetaObject>

namespace {

std::string AudioDevice() {
  const QByteArray chosen = qgetenv("PERCH_AUDIO_DEVICE");
  return chosen.isEmpty() ? std::string("default") : chosen.toStdString();
}

}  // namespace

TVoice::TVoice(QObject* parent) : QObject(parent) {
  qRegisterMetaType<TSpokenWord>();
  qRegisterMetaType<QVector<TSpokenWord>>();
  // The worker's reports are posted to this object, so they run on its
  // thread, and those still queued when it is destroyed are dropped with it.
  TVoiceWorker::TListener listener;
  listener.started = [this](const QVector<TSpokenWord>& words, int durationMs) {
    QMetaObject::invokeMethod(
        this, [this, words, durationMs] { emit Started(words, durationMs); }, Qt::QueuedConnection);
  };
  listener.wordReached = [this](int wordIndex) {
    QMetaObject::invokeMethod(
        this, [this, wordIndex] { emit WordReached(wordIndex); }, Qt::QueuedConnection);
  };
  listener.finished = [this] {
    QMetaObject::invokeMethod(this, [this] { emit Finished(); }, Qt::QueuedConnection);
  };
  worker_ = std::make_unique<TVoiceWorker>(std::move(listener), AudioDevice());
}

// The worker is joined here, before QObject's destructor drops the reports
// still queued for this object.
TVoice::~TVoice() { worker_.reset(); }

bool TVoice::LanguageAvailable(int languageId) { return EspeakVoiceAvailable(languageId); }

TSynthesizedSpeech TVoice::Synthesize(const QString& text, int languageId) {
  return SynthesizeSpeech(text, languageId);
}

void TVoice::Speak(const QString& text, int languageId) { worker_->Speak(text, languageId); }

void TVoice::Stop() { worker_->Stop(); }
