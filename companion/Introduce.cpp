// The first-run introduction: the character presents itself, is given a
// name, learns the user's name and shows where to type. Later starts only
// report that start-up is done.

#include "companion/Actor.h"
#include "companion/Companion.h"
#include "companion/NameDialog.h"
#include "companion/ScreenArea.h"

namespace perch {

namespace {

std::int16_t Coordinate(int value) { return static_cast<std::int16_t>(value); }

// A dialog is a wait of its own: once the quit request came, none opens.
std::optional<QString> AskNameUnlessQuitting(const QString& prompt) {
  if (Quitting) return std::nullopt;
  return AskName(prompt);
}

}  // namespace

void TActor::Introduce() {
  const QString section = QString::fromLatin1(SettingsSection);
  if (IniFile == nullptr || IniFile->ReadInteger(section, QStringLiteral("firstRun"), 0) == 1 ||
      Character == nullptr) {
    NotifyController(NoticeStartupDone);
    return;
  }
  TAgentCharacter& bird = Char();
  const QString noUrl;
  // Places are taken in the available area of the monitor the bird is on.
  const QRect screen = CharacterArea(Character);

  bird.Play(QStringLiteral("Wave"));
  bird.Speak(QStringLiteral("Well,Hello there!    "), noUrl);
  bird.Play(QStringLiteral("Greet"));
  bird.Speak(QStringLiteral("It is so nice to meet you!"), noUrl);
  bird.Play(QStringLiteral("RestPose"));
  bird.Speak(QStringLiteral("I am an Artificial Life,Not like you - Human,We live in computer."), noUrl);
  bird.Speak(QStringLiteral("I need eat,sleep and I can do some work. "), noUrl);
  bird.Speak(QStringLiteral("I will be able to actually speak to you with my own very cool voice!"), noUrl);
  bird.Speak(QStringLiteral("I am looking very forward to spending time with you!"), noUrl);
  bird.MoveTo(Coordinate(screen.x() + HalfRoundedToEven(screen.width()) - 100),
              Coordinate(screen.y() + HalfRoundedToEven(screen.height()) - 200), 1);
  bird.Play(QStringLiteral("GestureDown"));
  bird.Speak(QStringLiteral("Please give me a name, and Enter my name here and press OK."), noUrl);
  WaitSeconds(25);

  QString characterName;
  if (const auto typed = AskNameUnlessQuitting(QStringLiteral("起名字"))) {
    characterName = typed->isEmpty() ? QStringLiteral("TuliBird") : *typed;
    bird.Speak(QStringLiteral("Cool, my name is ") + characterName, noUrl);
    bird.Play(QStringLiteral("Pleased"));
  }

  bird.Play(QStringLiteral("GestureDown"));
  bird.Speak(QStringLiteral("Please tell me your name.Enter your name or a name that you would like "
                            "to be called and press OK."),
             noUrl);
  WaitSeconds(7);

  if (const auto typed = AskNameUnlessQuitting(QStringLiteral("输入你的名字"))) {
    const QString userName = typed->isEmpty() ? QStringLiteral("UserName") : *typed;
    bird.Speak(QStringLiteral("Great,Your name is ") + userName + u'.', noUrl);
    bird.Play(QStringLiteral("Write"));
    IniFile->WriteString(section, QStringLiteral("username"), userName);
    IniFile->WriteString(section, QStringLiteral("halname"), characterName);
    IniFile->WriteInteger(section, QStringLiteral("firstRun"), 1);
  }

  bird.MoveTo(Coordinate(screen.x() + 330), Coordinate(screen.y() + 200), 1);
  bird.Play(QStringLiteral("GestureLeft"));
  bird.Speak(QStringLiteral("You can type here to talk with me."), noUrl);
  bird.Play(QStringLiteral("Pleased"));
  bird.MoveTo(Coordinate(screen.x() + screen.width() - 150), Coordinate(screen.y() + 10), 1);
  bird.Speak(QStringLiteral("Have a try!"), noUrl);
  NotifyController(NoticeStartupDone);
}

}  // namespace perch
