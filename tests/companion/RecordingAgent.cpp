#include "RecordingAgent.h"

#include "AgentControl.h"

#include <QFile>

class TAgentCharacterImpl {
 public:
  int language = 1033;
  bool autoPopupMenu = true;
  int left = 0;
  int top = 0;
  int nextRequest = 1;
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
  if (logPath.isEmpty()) return;
  QFile log(logPath);
  if (log.open(QIODevice::Append)) log.write(call.toUtf8() + '\n');
}
}  // namespace

TAgentCharacter::TAgentCharacter(std::unique_ptr<TAgentCharacterImpl> impl) : impl_(std::move(impl)) {}
TAgentCharacter::~TAgentCharacter() = default;

int TAgentCharacter::LanguageID() const { return impl_->language; }
void TAgentCharacter::setLanguageID(int languageId) {
  impl_->language = languageId;
  Record(QStringLiteral("LanguageID %1").arg(languageId));
}
bool TAgentCharacter::AutoPopupMenu() const { return impl_->autoPopupMenu; }
void TAgentCharacter::setAutoPopupMenu(bool value) {
  impl_->autoPopupMenu = value;
  Record(QStringLiteral("AutoPopupMenu %1").arg(value));
}
int TAgentCharacter::Left() const { return impl_->left; }
void TAgentCharacter::setLeft(std::int16_t x) {
  impl_->left = x;
  Record(QStringLiteral("Left %1").arg(x));
}
int TAgentCharacter::Top() const { return impl_->top; }
void TAgentCharacter::setTop(std::int16_t y) {
  impl_->top = y;
  Record(QStringLiteral("Top %1").arg(y));
}
TAgentRequestPtr TAgentCharacter::Show(bool Fast) {
  Record(QStringLiteral("Show %1").arg(Fast));
  return std::make_shared<TAgentRequest>(impl_->nextRequest++);
}
TAgentRequestPtr TAgentCharacter::Hide(bool Fast) {
  Record(QStringLiteral("Hide %1").arg(Fast));
  return std::make_shared<TAgentRequest>(impl_->nextRequest++);
}
TAgentRequestPtr TAgentCharacter::Play(const QString& animation) {
  Record(QStringLiteral("Play ") + animation);
  return std::make_shared<TAgentRequest>(impl_->nextRequest++);
}
TAgentRequestPtr TAgentCharacter::Speak(const QString& Text, const QString& Url) {
  Record(QStringLiteral("Speak %1 [%2]").arg(Text).arg(impl_->language) + (Url.isEmpty() ? "" : " url"));
  if (TRecordingAgent::onSpeak) TRecordingAgent::onSpeak(Text);
  return std::make_shared<TAgentRequest>(impl_->nextRequest++);
}
TAgentRequestPtr TAgentCharacter::MoveTo(std::int16_t x, std::int16_t y, int Speed) {
  Record(QStringLiteral("MoveTo %1 %2 %3").arg(x).arg(y).arg(Speed));
  return std::make_shared<TAgentRequest>(impl_->nextRequest++);
}
void TAgentCharacter::StopAll(const QString& Types) { Record(QStringLiteral("StopAll ") + Types); }

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
void TAgent::setConnected(bool value) {
  connected_ = value;
  Record(QStringLiteral("Connected %1").arg(value));
}
TAgentCharacters& TAgent::Characters() {
  if (!connected_) throw TAgentError("not connected");
  return characters_;
}
