#include "tests/companion/RecordingAgent.h"

#include <QFile>

#include <cmath>

namespace perch {

QStringList& TRecordingAgent::Calls() {
  static QStringList calls;
  return calls;
}

void TRecordingAgent::Reset() {
  Calls().clear();
  failLoad = false;
  onSpeak = nullptr;
}

namespace {
// The stand-in program perch-recorded also appends every call to the file
// named by PERCH_RECORDING_AGENT_LOG, for the end-to-end tests to read.
void Record(const QString& call) {
  TRecordingAgent::Calls().append(call);
  static const QString logPath = qEnvironmentVariable("PERCH_RECORDING_AGENT_LOG");
  QFile log(logPath);
  if (!logPath.isEmpty() && log.open(QIODevice::Append)) log.write(call.toUtf8() + '\n');
}
}  // namespace

// What the companion set on the character, kept so that it reads back.
class TRecordedCharacter final : public TAgentCharacter {
 public:
  int LanguageID() const override { return language_; }
  bool AutoPopupMenu() const override { return autoPopupMenu_; }
  int Left() const override { return left_; }
  int Top() const override { return top_; }
  void setLanguageID(int id) override { Record(QStringLiteral("LanguageID %1").arg(language_ = id)); }
  void setAutoPopupMenu(bool on) override {
    Record(QStringLiteral("AutoPopupMenu %1").arg(autoPopupMenu_ = on));
  }
  void setLeft(std::int16_t x) override { Record(QStringLiteral("Left %1").arg(left_ = x)); }
  void setTop(std::int16_t y) override { Record(QStringLiteral("Top %1").arg(top_ = y)); }
  int Width() const override { return int(std::ceil(200 * scale_)); }
  int Height() const override { return int(std::ceil(184 * scale_)); }
  double Scale() const override { return scale_; }
  void setScale(double scale) override { Record(QStringLiteral("Scale %1").arg(scale_ = scale)); }
  int Volume() const override { return volume_; }
  void setVolume(int percent) override { Record(QStringLiteral("Volume %1").arg(volume_ = percent)); }
  bool Muted() const override { return muted_; }
  void setMuted(bool muted) override { Record(QStringLiteral("Muted %1").arg(muted_ = muted)); }
  TAgentRequestPtr FlyOff() override {
    away_ = true;
    return Queued(QStringLiteral("FlyOff"));
  }
  TAgentRequestPtr FlyBack() override {
    away_ = false;
    return Queued(QStringLiteral("FlyBack"));
  }
  bool Away() const override { return away_; }
  void setKeepClear(const QRect& r) override {
    Record(QStringLiteral("KeepClear %1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
  }
  TAgentRequestPtr Show(bool Fast) override { return Queued(QStringLiteral("Show %1").arg(Fast)); }
  TAgentRequestPtr Hide(bool Fast) override { return Queued(QStringLiteral("Hide %1").arg(Fast)); }
  TAgentRequestPtr Play(const QString& animation) override { return Queued("Play " + animation); }
  TAgentRequestPtr MoveTo(std::int16_t x, std::int16_t y, int Speed) override {
    return Queued(QStringLiteral("MoveTo %1 %2 %3").arg(x).arg(y).arg(Speed));
  }
  TAgentRequestPtr Speak(const QString& Text, const QString& Url) override {
    const QString call = QStringLiteral("Speak %1 [%2]").arg(Text, QString::number(language_));
    auto request = Queued(call + (Url.isEmpty() ? "" : " url"));
    if (TRecordingAgent::onSpeak) TRecordingAgent::onSpeak(Text);
    return request;
  }
  // Recorded as a Speak: what is said is the same; the service alone drops.
  TAgentRequestPtr SpeakLatest(const QString& Text) override { return Speak(Text, QString()); }
  void StopAll(const QString& Types) override { Record("StopAll " + Types); }
  // Shows nothing, says nothing: not part of the script.
  void HoldBalloon(bool hold) override { balloonHeld_ = hold; }

 private:
  TAgentRequestPtr Queued(const QString& call) {
    Record(call);
    return std::make_shared<TAgentRequest>(nextRequest_++);
  }

  int language_ = 1033;
  bool autoPopupMenu_ = true;
  int left_ = 0, top_ = 0, nextRequest_ = 1;
  bool balloonHeld_ = false;
  double scale_ = 1;
  int volume_ = 100;
  bool muted_ = false, away_ = false;
};

TRecordedCharacters::TRecordedCharacters(const TAgent& owner) : owner_(owner) {}
TRecordedCharacters::~TRecordedCharacters() = default;

TAgentRequestPtr TRecordedCharacters::Load(const QString& CharacterID, const QString& file) {
  if (!owner_.Connected()) throw TAgentError("not connected");
  if (TRecordingAgent::failLoad) throw TAgentError(("cannot open " + file).toStdString());
  loaded_[CharacterID] = std::make_unique<TRecordedCharacter>();
  Record(QStringLiteral("Load %1 %2").arg(CharacterID, file));
  return std::make_shared<TAgentRequest>(0);
}

TAgentCharacter& TRecordedCharacters::Character(const QString& CharacterID) {
  const auto found = loaded_.find(CharacterID);
  if (found == loaded_.end()) throw TAgentError("unknown character " + CharacterID.toStdString());
  return *found->second;
}

TRecordingAgent::TRecordingAgent(QObject* parent) : TAgent(parent) {}
TRecordingAgent::~TRecordingAgent() = default;
void TRecordingAgent::setConnected(bool value) {
  Record(QStringLiteral("Connected %1").arg(connected_ = value));
}
TAgentCharacters& TRecordingAgent::Characters() {
  if (!connected_) throw TAgentError("not connected");
  return characters_;
}

}  // namespace perch
