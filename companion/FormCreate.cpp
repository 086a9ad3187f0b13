// Set-up of the companion form: settings, the character, and the
// introduction; the operations that speak the lines, and the language mode.

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/ErrorBox.h"
#include "companion/ScreenArea.h"
#include "companion/Translations.h"

namespace perch {

namespace {

constexpr const char* CharacterId = "test";
constexpr const char* CharacterFile = "bird.chr";

}  // namespace

void TActor::FormCreate() {
  // No taskbar entry: the form is a tool window (see the constructor).
  IniPath = SettingsLocation(ProgramFolder);
  IniFile = std::make_unique<TSettingsFile>(IniPath);
  IniFile->RemoveStaleTemporaries();  // left by a write that was cut short
  IniFile->OnWriteFailed = [](const QString& message) { ShowErrorBox(message); };
  SetLanguageMode(ReadLanguageMode(*IniFile));

  Agent->setConnected(true);
  Agent->OnClick = [this](TAgent* sender, const QString& id, int button, int shift, std::int16_t x,
                          std::int16_t y) {
    RunReportingErrors([&] { AgentClick(sender, id, button, shift, x, y); });
  };
  LoadRequest =
      Agent->Characters().Load(QString::fromLatin1(CharacterId), QString::fromLatin1(CharacterFile));
  Character = &Agent->Characters().Character(QString::fromLatin1(CharacterId));
  Character->setLanguageID(LanguageEnglish);
  writtenLanguage_ = LanguageEnglish;
  Character->setAutoPopupMenu(false);
  // Where the user left it, as large and as loud as it was; the first time
  // as designed.
  RestoreHome();
  Agent->OnDragComplete = [this](TAgent*, const QString&, int, int, std::int16_t, std::int16_t) {
    RunReportingErrors([this] { KeepPlace(); });
  };
  Character->Show(false);
  Introduce();
}

void TActor::SayChinese(const QString& text) {
  writtenLanguage_ = LanguageChinese;
  if (languageMode_ == TLanguageMode::Written) Char().setLanguageID(LanguageChinese);
  else UseModeVoice();
  Char().Speak(text, QString());
  WaitSeconds(1);
}

void TActor::Say(const QString& text) {
  if (languageMode_ != TLanguageMode::Written) UseModeVoice();
  Char().Speak(text, QString());
}

void TActor::UseModeVoice() {
  const int voice = languageMode_ == TLanguageMode::Chinese ? LanguageChinese : LanguageEnglish;
  if (Char().LanguageID() != voice) Char().setLanguageID(voice);
}

void TActor::SetLanguageMode(TLanguageMode mode) {
  languageMode_ = mode;
  InstallTranslations(mode);
  RetranslateForm();
  if (Character == nullptr) return;
  if (mode != TLanguageMode::Written) UseModeVoice();
  else if (Character->LanguageID() != writtenLanguage_) Character->setLanguageID(writtenLanguage_);
}

}  // namespace perch
