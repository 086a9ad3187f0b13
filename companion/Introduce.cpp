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

// The bird and the band where its balloon shows (over its head, or under
// its feet near the top of its monitor), as wide and tall as the largest
// balloon: the name dialog keeps clear of both, so that neither covers the
// other's text.
QRect BirdAndBalloon(TAgentCharacter& bird) {
  constexpr int BalloonWidth = 280;   // the widest balloon's window, and a little
  constexpr int BalloonHeight = 180;  // eight lines and the tail
  const QRect body(bird.Left(), bird.Top(), bird.Width(), bird.Height());
  const bool above = body.top() - BalloonHeight >= AreaAround(body).top();
  const QRect balloon(body.center().x() - BalloonWidth / 2,
                      above ? body.top() - BalloonHeight : body.bottom(), BalloonWidth, BalloonHeight);
  return body.united(balloon);
}

// A dialog is a wait of its own: once the quit request came, none opens.
// The bird's line that asks for the name stays up while the dialog is open.
std::optional<QString> AskNameUnlessQuitting(TAgentCharacter& bird, const QString& prompt) {
  if (Quitting) return std::nullopt;
  struct THold {
    TAgentCharacter& bird;
    explicit THold(TAgentCharacter& b) : bird(b) { bird.HoldBalloon(true); }
    ~THold() { bird.HoldBalloon(false); }
    THold(const THold&) = delete;
    THold& operator=(const THold&) = delete;
  } hold(bird);
  return AskName(prompt, BirdAndBalloon(bird));
}

}  // namespace

void TActor::Introduce() {
  const QString section = QString::fromLatin1(SettingsSection);
  if (IniFile == nullptr || IniFile->ReadInteger(section, QStringLiteral("firstRun"), 0) == 1 ||
      Character == nullptr) {
    NotifyController(NoticeStarted);
    return;
  }
  TAgentCharacter& bird = Char();
  // Places are taken in the available area of the monitor the bird is on.
  const QRect screen = CharacterArea(Character);

  bird.Play(QStringLiteral("Wave"));
  Say(tr("Well,Hello there!    "));
  bird.Play(QStringLiteral("Greet"));
  Say(tr("It is so nice to meet you!"));
  bird.Play(QStringLiteral("RestPose"));
  Say(tr("I am an Artificial Life,Not like you - Human,We live in computer."));
  Say(tr("I need eat,sleep and I can do some work. "));
  Say(tr("I will be able to actually speak to you with my own very cool voice!"));
  Say(tr("I am looking very forward to spending time with you!"));
  bird.MoveTo(Coordinate(screen.x() + HalfRoundedToEven(screen.width()) - 100),
              Coordinate(screen.y() + HalfRoundedToEven(screen.height()) - 200), 1);
  bird.Play(QStringLiteral("GestureDown"));
  Say(tr("Please give me a name, and Enter my name here and press OK."));
  WaitSeconds(25);

  QString characterName;
  if (const auto typed = AskNameUnlessQuitting(bird, tr("起名字"))) {
    characterName = typed->isEmpty() ? QStringLiteral("TuliBird") : *typed;
    // The name stands as typed, in every language.
    Say(tr("Cool, my name is %1").arg(characterName));
    bird.Play(QStringLiteral("Pleased"));
  }

  bird.Play(QStringLiteral("GestureDown"));
  Say(tr(
      "Please tell me your name.Enter your name or a name that you would like to be called and press OK."));
  WaitSeconds(7);

  if (const auto typed = AskNameUnlessQuitting(bird, tr("输入你的名字"))) {
    const QString userName = typed->isEmpty() ? QStringLiteral("UserName") : *typed;
    Say(tr("Great,Your name is %1.").arg(userName));
    bird.Play(QStringLiteral("Write"));
    IniFile->WriteString(section, QStringLiteral("username"), userName);
    IniFile->WriteString(section, QStringLiteral("halname"), characterName);
    IniFile->WriteInteger(section, QStringLiteral("firstRun"), 1);
    HalName = characterName;
    UserName = userName;
  }

  bird.MoveTo(Coordinate(screen.x() + 330), Coordinate(screen.y() + 200), 1);
  bird.Play(QStringLiteral("GestureLeft"));
  Say(tr("You can type here to talk with me."));
  bird.Play(QStringLiteral("Pleased"));
  bird.MoveTo(Coordinate(screen.x() + screen.width() - 150), Coordinate(screen.y() + 10), 1);
  Say(tr("Have a try!"));
  NotifyController(NoticeStarted);
}

}  // namespace perch
