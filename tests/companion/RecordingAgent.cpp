#include "tests/companion/RecordingAgent.h"

#include "agent/AgentControl.h"

#include <QFile>

#include <cmath>

namespace perch {

class TAgentCharacterImpl {
 public:
  int language = 1033;
  bool autoPopupMenu = true;
  int left = 0, top = 0, nextRequest = 1;
  bool balloonHeld = false;
  double scale = 1;
  int volume = 100;
  bool muted = false, away = false;
};

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
TAgentRequestPtr Queued(TAgentCharacterImpl& impl, const QString& call) {
  Record(call);
  return std::make_shared<TAgentRequest>(impl.nextRequest++);
}
}  // namespace

TAgentCharacter::TAgentCharacter(std::unique_ptr<TAgentCharacterImpl> impl) : impl_(std::move(impl)) {}
TAgentCharacter::~TAgentCharacter() = default;

int TAgentCharacter::LanguageID() const { return impl_->language; }
bool TAgentCharacter::AutoPopupMenu() const { return impl_->autoPopupMenu; }
int TAgentCharacter::Left() const { return impl_->left; }
int TAgentCharacter::Top() const { return impl_->top; }
void TAgentCharacter::setLanguageID(int id) {
  Record(QStringLiteral("LanguageID %1").arg(impl_->language = id));
}
void TAgentCharacter::setAutoPopupMenu(bool on) {
  Record(QStringLiteral("AutoPopupMenu %1").arg(impl_->autoPopupMenu = on));
}
void TAgentCharacter::setLeft(std::int16_t x) { Record(QStringLiteral("Left %1").arg(impl_->left = x)); }
void TAgentCharacter::setTop(std::int16_t y) { Record(QStringLiteral("Top %1").arg(impl_->top = y)); }
int TAgentCharacter::Width() const { return int(std::ceil(200 * impl_->scale)); }
int TAgentCharacter::Height() const { return int(std::ceil(184 * impl_->scale)); }
double TAgentCharacter::Scale() const { return impl_->scale; }
void TAgentCharacter::setScale(double scale) { Record(QStringLiteral("Scale %1").arg(impl_->scale = scale)); }
int TAgentCharacter::Volume() const { return impl_->volume; }
void TAgentCharacter::setVolume(int percent) {
  Record(QStringLiteral("Volume %1").arg(impl_->volume = percent));
}
bool TAgentCharacter::Muted() const { return impl_->muted; }
void TAgentCharacter::setMuted(bool muted) { Record(QStringLiteral("Muted %1").arg(impl_->muted = muted)); }
TAgentRequestPtr TAgentCharacter::FlyOff() {
  impl_->away = true;
  return Queued(*impl_, QStringLiteral("FlyOff"));
}
TAgentRequestPtr TAgentCharacter::FlyBack() {
  impl_->away = false;
  return Queued(*impl_, QStringLiteral("FlyBack"));
}
bool TAgentCharacter::Away() const { return impl_->away; }
void TAgentCharacter::setKeepClear(const QRect& r) {
  Record(QStringLiteral("KeepClear %1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()));
}
TAgentRequestPtr TAgentCharacter::Show(bool Fast) {
  return Queued(*impl_, QStringLiteral("Show %1").arg(Fast));
}
TAgentRequestPtr TAgentCharacter::Hide(bool Fast) {
  return Queued(*impl_, QStringLiteral("Hide %1").arg(Fast));
}
TAgentRequestPtr TAgentCharacter::Play(const QString& animation) {
  return Queued(*impl_, "Play " + animation);
}
TAgentRequestPtr TAgentCharacter::MoveTo(std::int16_t x, std::int16_t y, int Speed) {
  return Queued(*impl_, QStringLiteral("MoveTo %1 %2 %3").arg(x).arg(y).arg(Speed));
}
TAgentRequestPtr TAgentCharacter::Speak(const QString& Text, const QString& Url) {
  const QString call = QStringLiteral("Speak %1 [%2]").arg(Text, QString::number(impl_->language));
  auto request = Queued(*impl_, call + (Url.isEmpty() ? "" : " url"));
  if (TRecordingAgent::onSpeak) TRecordingAgent::onSpeak(Text);
  return request;
}
// Recorded as a Speak: what is said is the same; the service alone drops.
TAgentRequestPtr TAgentCharacter::SpeakLatest(const QString& Text) { return Speak(Text, QString()); }
void TAgentCharacter::StopAll(const QString& Types) { Record("StopAll " + Types); }
// Shows nothing, says nothing: not part of the script.
void TAgentCharacter::HoldBalloon(bool hold) { impl_->balloonHeld = hold; }

TAgentCharacters::~TAgentCharacters() = default;

TAgentRequestPtr TAgentCharacters::Load(const QString& CharacterID, const QString& file) {
  if (!owner_.Connected()) throw TAgentError("not connected");
  if (TRecordingAgent::failLoad) throw TAgentError(("cannot open " + file).toStdString());
  loaded_[CharacterID] = std::make_unique<TAgentCharacter>(std::make_unique<TAgentCharacterImpl>());
  Record(QStringLiteral("Load %1 %2").arg(CharacterID, file));
  return std::make_shared<TAgentRequest>(0);
}

TAgentCharacter& TAgentCharacters::Character(const QString& CharacterID) {
  const auto found = loaded_.find(CharacterID);
  if (found == loaded_.end()) throw TAgentError("unknown character " + CharacterID.toStdString());
  return *found->second;
}

TAgent::TAgent(QObject* parent) : QObject(parent) {}
TAgent::~TAgent() = default;
void TAgent::setConnected(bool value) { Record(QStringLiteral("Connected %1").arg(connected_ = value)); }
TAgentCharacters& TAgent::Characters() {
  if (!connected_) throw TAgentError("not connected");
  return characters_;
}

}  // namespace perch
