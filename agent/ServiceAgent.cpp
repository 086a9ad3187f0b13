#include "agent/ServiceAgent.h"

#include "agent/CharacterFile.h"
#include "agent/CharacterPainter.h"
#include "agent/CharacterService.h"

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>

namespace perch {

namespace {

std::string Text(const QString& s) { return s.toStdString(); }

// Errors that reach the event loop (a click handler that throws) go to the
// application's error box.
void ReportError(const QString& message) {
  qWarning("perch agent: %s", qPrintable(message));
  QMessageBox box(QMessageBox::Critical, "Perch", message, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace

TServiceCharacter::TServiceCharacter(std::unique_ptr<TAgentCharacterImpl> impl) : impl_(std::move(impl)) {}
TServiceCharacter::~TServiceCharacter() = default;

int TServiceCharacter::LanguageID() const { return impl_->LanguageID(); }
void TServiceCharacter::setLanguageID(int languageId) { impl_->SetLanguageID(languageId); }
bool TServiceCharacter::AutoPopupMenu() const { return impl_->AutoPopupMenu(); }
void TServiceCharacter::setAutoPopupMenu(bool value) { impl_->SetAutoPopupMenu(value); }
int TServiceCharacter::Left() const { return impl_->Position().x(); }
void TServiceCharacter::setLeft(std::int16_t x) { impl_->Place({x, impl_->Position().y()}); }
int TServiceCharacter::Top() const { return impl_->Position().y(); }
void TServiceCharacter::setTop(std::int16_t y) { impl_->Place({impl_->Position().x(), y}); }
int TServiceCharacter::Width() const { return impl_->Window().width(); }
int TServiceCharacter::Height() const { return impl_->Window().height(); }
void TServiceCharacter::setKeepClear(const QRect& area) { impl_->Balloon().SetKeepClear(area); }
double TServiceCharacter::Scale() const { return impl_->Scale(); }
void TServiceCharacter::setScale(double scale) { impl_->SetScale(scale); }
int TServiceCharacter::Volume() const { return impl_->Volume(); }
void TServiceCharacter::setVolume(int percent) { impl_->SetVolume(percent); }
bool TServiceCharacter::Muted() const { return impl_->Muted(); }
void TServiceCharacter::setMuted(bool muted) { impl_->SetMuted(muted); }
TAgentRequestPtr TServiceCharacter::FlyOff() { return std::make_shared<TAgentRequest>(impl_->FlyOff()); }
TAgentRequestPtr TServiceCharacter::FlyBack() { return std::make_shared<TAgentRequest>(impl_->FlyBack()); }
bool TServiceCharacter::Away() const { return impl_->Away(); }

TAgentRequestPtr TServiceCharacter::Show(bool Fast) {
  return std::make_shared<TAgentRequest>(impl_->Show(Fast));
}
TAgentRequestPtr TServiceCharacter::Hide(bool Fast) {
  return std::make_shared<TAgentRequest>(impl_->Hide(Fast));
}
TAgentRequestPtr TServiceCharacter::Play(const QString& animation) {
  return std::make_shared<TAgentRequest>(impl_->Play(animation));
}
TAgentRequestPtr TServiceCharacter::Speak(const QString& Text, const QString& /*Url: no sound files*/) {
  return std::make_shared<TAgentRequest>(impl_->Speak(Text));
}
TAgentRequestPtr TServiceCharacter::SpeakLatest(const QString& Text) {
  return std::make_shared<TAgentRequest>(impl_->SpeakLatest(Text));
}
TAgentRequestPtr TServiceCharacter::MoveTo(std::int16_t x, std::int16_t y, int Speed) {
  return std::make_shared<TAgentRequest>(impl_->MoveTo({x, y}, Speed));
}
void TServiceCharacter::StopAll(const QString& Types) { impl_->StopAll(Types); }
void TServiceCharacter::HoldBalloon(bool hold) { impl_->HoldBalloon(hold); }

TServiceCharacters::~TServiceCharacters() = default;

TAgentRequestPtr TServiceCharacters::Load(const QString& CharacterID, const QString& file) {
  if (!owner_.Connected()) throw TAgentError("Characters.Load: the agent control is not connected");
  if (CharacterID.isEmpty()) throw TAgentError("Characters.Load: the character id is empty");
  if (loaded_.count(CharacterID))
    throw TAgentError(
        Text("Characters.Load: a character is already loaded under the id '" + CharacterID + "'"));
  const QString path = ResolveCharacterFile(file);
  if (path.isEmpty())
    throw TAgentError(Text("Characters.Load: character file '" + file +
                           "' not found beside the program or in share/perch/characters"));
  auto impl = std::make_unique<TAgentCharacterImpl>(CharacterID, LoadCharacterFile(path));
  TAgent* agent = &owner_;
  impl->OnClick = [agent, CharacterID](int button, int shift, QPoint global) {
    if (agent->OnClick)
      agent->OnClick(agent, CharacterID, button, shift, std::int16_t(global.x()), std::int16_t(global.y()));
  };
  impl->OnDragComplete = [agent, CharacterID](int button, int shift, QPoint global) {
    if (agent->OnDragComplete)
      agent->OnDragComplete(agent, CharacterID, button, shift, std::int16_t(global.x()),
                            std::int16_t(global.y()));
  };
  impl->OnError = [agent](const QString& message) {
    if (agent->OnError) agent->OnError(message);
    else ReportError(message);
  };
  if (QApplication::windowIcon().isNull()) {
    // A program without an installed icon shows the character's face.
    const TCharacterDef& character = impl->Definition();
    QApplication::setWindowIcon(QPixmap::fromImage(RenderCharacter(character, character.RestPose(), 0.5)));
  }
  loaded_[CharacterID] = std::make_unique<TServiceCharacter>(std::move(impl));
  return std::make_shared<TAgentRequest>(0);
}

TServiceCharacter& TServiceCharacters::Character(const QString& CharacterID) {
  if (!owner_.Connected()) throw TAgentError("Characters.Character: the agent control is not connected");
  const auto it = loaded_.find(CharacterID);
  if (it == loaded_.end())
    throw TAgentError(
        Text("Characters.Character: no character is loaded under the id '" + CharacterID + "'"));
  return *it->second;
}

TServiceAgent::TServiceAgent(QObject* parent) : TAgent(parent) {}
TServiceAgent::~TServiceAgent() = default;

void TServiceAgent::setConnected(bool value) { connected_ = value; }

TServiceCharacters& TServiceAgent::Characters() {
  if (!connected_) throw TAgentError("the agent control is not connected: set Connected to true first");
  return characters_;
}

}  // namespace perch
