#pragma once
// The voice the character speaks with: the real one when it is built,
// otherwise a silent stand-in that paces the words at a speaking rate.

#if PERCH_AGENT_WITH_VOICE
#include "voice/Voice.h"
using TSpeechVoice = TVoice;
#else
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>

struct TSpokenWord {
  int textPosition = 0;
  int textLength = 0;
  int startMs = 0;
};

class TSpeechVoice : public QObject {
  Q_OBJECT
 public:
  explicit TSpeechVoice(QObject* parent = nullptr);
  static bool LanguageAvailable(int languageId) { return languageId == 1033 || languageId == 2052; }
  void Speak(const QString& text, int languageId);
  void Stop();

 signals:
  void Started(QVector<TSpokenWord> words, int durationMs);
  void WordReached(int wordIndex);
  void Finished();

 private:
  void Step();
  QTimer timer_;
  QVector<TSpokenWord> words_;
  int next_ = 0;
  int durationMs_ = 0;
  qint64 startedAt_ = 0;
  bool speaking_ = false;
};
#endif
