#include "SpeechVoice.h"

#if !PERCH_AGENT_WITH_VOICE
#include <QDateTime>

namespace {
bool IsCjk(QChar c) { return c.unicode() >= 0x2E80 && c.unicode() <= 0x9FFF; }
}  // namespace

TSpeechVoice::TSpeechVoice(QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  connect(&timer_, &QTimer::timeout, this, &TSpeechVoice::Step);
}

void TSpeechVoice::Speak(const QString& text, int) {
  if (speaking_) Stop();
  words_.clear();
  int at = 0;
  for (int i = 0; i < text.size();) {
    if (text[i].isSpace()) {
      ++i;
      continue;
    }
    int end = i + 1;
    if (!IsCjk(text[i]))
      while (end < text.size() && !text[end].isSpace() && !IsCjk(text[end])) ++end;
    words_.push_back({i, end - i, at});
    at += IsCjk(text[i]) ? 260 : 140 + 55 * (end - i);
    i = end;
  }
  durationMs_ = at + 150;
  next_ = 0;
  speaking_ = true;
  startedAt_ = QDateTime::currentMSecsSinceEpoch();
  QTimer::singleShot(0, this, [this] {
    if (!speaking_) return;
    emit Started(words_, durationMs_);
    Step();
  });
}

void TSpeechVoice::Step() {
  if (!speaking_) return;
  const qint64 now = QDateTime::currentMSecsSinceEpoch() - startedAt_;
  while (next_ < words_.size() && words_[next_].startMs <= now) emit WordReached(next_++);
  if (next_ < words_.size()) {
    timer_.start(int(words_[next_].startMs - now));
  } else if (now >= durationMs_) {
    speaking_ = false;
    emit Finished();
  } else {
    timer_.start(int(durationMs_ - now));
  }
}

void TSpeechVoice::Stop() {
  if (!speaking_) return;
  speaking_ = false;
  timer_.stop();
  emit Finished();
}
#endif
