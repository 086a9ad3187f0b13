#include "agent/AgentControl.h"

#include "agent/CharacterFile.h"
#include "agent/CharacterService.h"

#include "agent/CharacterPainter.h"

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

TAgentCharacter::TAgentCharacter(std::unique_ptr<TAgentCharacterImpl> impl) : impl_(std::move(impl)) {}
TAgentCharacter::~TAgentCharacter() = default;

int TAgentCharacter::LanguageID() const { return impl_->LanguageID(); }
void TAgentCharacter::setLanguageID(int languageId) { impl_->SetLanguageID(languageId); }
bool TAgentCharacter::AutoPopupMenu() const { return impl_->AutoPopupMenu(); }
void TAgentCharacter::setAutoPopupMenu(bool value) { impl_->SetAutoPopupMenu(value); }
int TAgentCharacter::Left() const { return impl_->Position().x(); }
void TAgentCharacter::setLeft(std::int16_t x) { impl_->Place({x, impl_->Position().y()}); }
int TAgentCharacter::Top() const { return impl_->Position().y(); }
void TAgentCharacter::setTop(std::int16_t y) { impl_->Place({impl_->Position().x(), y}); }
int TAgentCharacter::Width() const { return impl_->Window().width(); }
int TAgentCharacter::Height() const { return impl_->Window().height(); }
void TAgentCharacter::setKeepClear(const QRect& area) { impl_->Balloon().SetKeepClear(area); }
double TAgentCharacter::Scale() const { return impl_->Scale(); }
void TAgentCharacter::setScale(double scale) { impl_->SetScale(scale); }
int TAgentCharacter::Volume() const { return impl_->Volume(); }
void TAgentCharacter::setVolume(int percent) { impl_->SetVolume(percent); }
bool TAgentCharacter::Muted() const { return impl_->Muted(); }
void TAgentCharacter::setMuted(bool muted) { impl_->SetMuted(muted); }
TAgentRequestPtr TAgentCharacter::FlyOff() { return std::make_shared<TAgentRequest>(impl_->FlyOff()); }
TAgentRequestPtr TAgentCharacter::FlyBack() { return std::make_shared<TAgentRequest>(impl_->FlyBack()); }
bool TAgentCharacter::Away() const { return impl_->Away(); }

TAgentRequestPtr TAgentCharacter::Show(bool Fast) {
  return std::make_shared<TAgentRequest>(impl_->Show(Fast));
}
TAgentRequestPtr TAgentCharacter::Hide(bool Fast) {
  return std::make_shared<TAgentRequest>(impl_->Hide(Fast));
}
TAgentRequestPtr TAgentCharacter::Play(const QString& animation) {
  return std::make_shared<TAgentRequest>(impl_->Play(animation));
}
TAgentRequestPtr TAgentCharacter::Speak(const QString& Text, const QString& /*Url: no sound files*/) {
  return std::make_shared<TAgentRequest>(impl_->Speak(Text));
}
TAgentRequestPtr TAgentCharacter::SpeakLatest(const QString& Text) {
  return std::make_shared<TAgentRequest>(impl_->SpeakLatest(Text));
}
TAgentRequestPtr TAgentCharacter::MoveTo(std::int16_t x, std::int16_t y, int Speed) {
  return std::make_shared<TAgentRequest>(impl_->MoveTo({x, y}, Speed));
}
void TAgentCharacter::StopAll(const QString& Types) { impl_->StopAll(Types); }
void TAgentCharacter::HoldBalloon(bool hold) { impl_->HoldBalloon(hold); }

TAgentCharacters::~TAgentCharacters() = default;

TAgentRequestPtr TAgentCharacters::Load(const QString& CharacterID, const QString& file) {
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
  loaded_[CharacterID] = std::make_unique<TAgentCharacter>(std::move(impl));
  return std::make_shared<TAgentRequest>(0);
}

TAgentCharacter& TAgentCharacters::Character(const QString& CharacterID) {
  if (!owner_.Connected()) throw TAgentError("Characters.Character: the agent control is not connected");
  const auto it = loaded_.find(CharacterID);
  if (it == loaded_.end())
    throw TAgentError(
        Text("Characters.Character: no character is loaded under the id '" + CharacterID + "'"));
  return *it->second;
}

TAgent::TAgent(QObject* parent) : QObject(parent) {}
TAgent::~TAgent() = default;

void TAgent::setConnected(bool value) { connected_ = value; }

TAgentCharacters& TAgent::Characters() {
  if (!connected_) throw TAgentError("the agent control is not connected: set Connected to true first");
  return characters_;
}

}  // namespace perch
