// TActor against the recording character service: the form, the set-up, the
// introduction and the handling of the controller's messages.

#include "tests/companion/ActorFixture.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

namespace {

using ActorTest = ActorFixture;

QSize Screen() { return QGuiApplication::primaryScreen()->geometry().size(); }

// The set-up of every start, before any introduction.
QStringList SetUpCalls() {
  return {"Connected 1",     "Load test bird.chr",
          "LanguageID 1033", "AutoPopupMenu 0",
          "Top 10",          QStringLiteral("Left %1").arg(Screen().width() - 450),
          "Show 0"};
}

TEST_F(ActorTest, TheFormStartsWithItsWoodLoadedNewDisabledAndTheEditHidden) {
  EXPECT_EQ(actor_.Image1Bitmap().size(), QSize(160, 160));
  EXPECT_EQ(actor_.Image2Bitmap().size(), QSize(160, 160));
  EXPECT_FALSE(actor_.Button1->isEnabled());
  EXPECT_TRUE(actor_.Edit1->isHidden());
}

TEST_F(ActorTest, ALaterStartPlacesTheCharacterAndOnlyReports) {
  TSettingsFile(program_.filePath("config.ini")).WriteInteger("parameter", "firstRun", 1);
  actor_.FormCreate();
  actor_.Introduce();       // the program entry's second run
  Request(0x100000015ull);  // no request: the code is not cut to 32 bits
  EXPECT_EQ(Script(), SetUpCalls());
  EXPECT_EQ(actor_.IniPath, program_.filePath("config.ini"));
  EXPECT_EQ(Notices(), (Codes{40, 40}));
}

TEST_F(ActorTest, TheFirstRunIntroductionAsksBothNamesAndStoresThem) {
  answers_ = {"  Polly\t", "Ann "};
  actor_.FormCreate();
  const QSize screen = Screen();
  const QStringList setUp = SetUpCalls();
  const QStringList script = Script();
  ASSERT_EQ(script.mid(0, setUp.size()), setUp);
  EXPECT_EQ(
      Observed(script.mid(setUp.size())),
      QStringLiteral("said: Well,Hello there!     [1033] | It is so nice to meet you! [1033] | "
                     "I am an Artificial Life,Not like you - Human,We live in computer. [1033] | "
                     "I need eat,sleep and I can do some work.  [1033] | "
                     "I will be able to actually speak to you with my own very cool voice! [1033] | "
                     "I am looking very forward to spending time with you! [1033] | "
                     "Please give me a name, and Enter my name here and press OK. [1033] | "
                     "Cool, my name is Polly [1033] | "
                     "Please tell me your name.Enter your name or a name that you would like to be called "
                     "and press OK. [1033] | "
                     "Great,Your name is Ann. [1033] | You can type here to talk with me. [1033] | "
                     "Have a try! [1033]; "
                     "played: Wave Greet RestPose GestureDown Pleased GestureDown Write GestureLeft Pleased; "
                     "flew: %1,%2 330,200 %3,10; waited 32 s")
          .arg(HalfRoundedToEven(screen.width()) - 100)
          .arg(HalfRoundedToEven(screen.height()) - 200)
          .arg(screen.width() - 150));
  EXPECT_EQ(dialogs_, (QStringList{"|起名字||255", "|输入你的名字||255"}));
  EXPECT_EQ(Setting("username"), QStringLiteral("Ann"));
  EXPECT_EQ(Setting("halname"), QStringLiteral("Polly"));
  EXPECT_EQ(Setting("firstRun"), QStringLiteral("1"));
  EXPECT_EQ(Notices(), Codes{40});
  actor_.Introduce();  // the program entry's second run
  EXPECT_EQ(Script(), QStringList{});
  EXPECT_EQ(Notices(), Codes{40});
}

TEST_F(ActorTest, BlankNamesBecomeTheDefaultsOnlyTheUsersNameCompletesTheFirstRun) {
  struct TCase {
    std::deque<std::optional<QString>> answers;
    QString halname, username, firstRun;
    QStringList said;
  } const cases[] = {
      {{" ", "\t"},
       "TuliBird",
       "UserName",
       "1",
       {"Speak Cool, my name is TuliBird [1033]", "Speak Great,Your name is UserName. [1033]"}},
      {{std::nullopt, "Ann"}, "", "Ann", "1", {"Speak Great,Your name is Ann. [1033]"}},
      // Cancelling the user's name stores nothing: the next start plays it again.
      {{"Polly", std::nullopt}, "<none>", "<none>", "<none>", {"Speak Cool, my name is Polly [1033]"}}};
  CreateWithCompletedFirstRun();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.said.join(", ").toStdString());
    QFile::remove(program_.filePath("config.ini"));
    answers_ = c.answers;
    actor_.Introduce();
    const QStringList script = Script();
    EXPECT_EQ(script.filter(QRegularExpression("^Speak (Cool|Great)")), c.said);
    EXPECT_EQ(script.last(), QStringLiteral("Speak Have a try! [1033]")) << "played to its end";
    EXPECT_EQ(Setting("halname"), c.halname);
    EXPECT_EQ(Setting("username"), c.username);
    EXPECT_EQ(Setting("firstRun"), c.firstRun);
  }
  EXPECT_EQ(Notices(), (Codes{40, 40, 40}));
}

TEST_F(ActorTest, NestingIsBoundedButQuitAlwaysGetsThrough) {
  CreateWithCompletedFirstRun();
  int deepest = 0;
  TRecordingAgent::onSpeak = [&](const QString&) {
    deepest = std::max(deepest, actor_.RoutineDepth());
    Text("again");  // a message arriving while this one is handled
  };
  Text("again");
  EXPECT_EQ(deepest, TActor::MaxRoutineDepth);
  EXPECT_EQ(TRecordingAgent::Calls().count("Speak again [1033]"), TActor::MaxRoutineDepth);
  EXPECT_EQ(actor_.RoutineDepth(), 0);

  TRecordingAgent::onSpeak = [&](const QString&) {
    if (actor_.RoutineDepth() < TActor::MaxRoutineDepth) Text("again");
    else Request(70);
  };
  Text("again");
  EXPECT_TRUE(Quitting);
}

TEST_F(ActorTest, ARoutineDroppedAtTheNestingBoundReportsItsEndAtOnce) {
  CreateWithCompletedFirstRun();
  Codes atTheBound;
  TRecordingAgent::onSpeak = [&](const QString&) {
    if (actor_.RoutineDepth() < TActor::MaxRoutineDepth) return Text("again");
    // At the bound: routines 0 to 5 are answered at once, nothing else is.
    for (const std::uint64_t code : {2, 5, 0, 6, 21, 4}) Request(code);
    Text("dropped");
    atTheBound = Notices();
  };
  Text("again");
  EXPECT_EQ(atTheBound, (Codes{20, 20, 20, 20}));
  EXPECT_EQ(TRecordingAgent::Calls().count("Speak dropped [1033]"), 0);
  EXPECT_EQ(actor_.RoutineDepth(), 0);
}

TEST_F(ActorTest, SettingsThatCannotBeSavedAreShownOnceAndTheIntroductionRunsOn) {
  // A settings folder that is a file: every write fails.
  QFile blocker(program_.filePath("blocked"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  actor_.ProgramFolder = blocker.fileName();
  answers_ = {"Polly", "Ann"};
  actor_.FormCreate();
  ASSERT_EQ(boxes_.size(), 1) << boxes_.join('|').toStdString();
  EXPECT_TRUE(
      boxes_[0].startsWith("Perch could not save its settings to " + blocker.fileName() + "/config.ini: "));
  EXPECT_EQ(Script().last(), QStringLiteral("Speak Have a try! [1033]"));
  EXPECT_EQ(Notices(), Codes{40});
}

TEST_F(ActorTest, AFailingAgentCallEndsItsStepAndIsShownThenTheCompanionRunsOn) {
  CreateWithCompletedFirstRun();
  TRecordingAgent::onSpeak = [](const QString& text) {
    if (text == "boom") throw TAgentError("the voice failed");
  };
  Text("boom");
  EXPECT_EQ(boxes_, QStringList{"the voice failed"});
  Text("fine");
  EXPECT_EQ(actor_.Edit1->text(), QStringLiteral("fine"));
  EXPECT_EQ(actor_.RoutineDepth(), 0);
}

TEST_F(ActorTest, WithoutItsCharacterTheCompanionStillAnswers) {
  TRecordingAgent::failLoad = true;
  EXPECT_THROW(actor_.FormCreate(), TAgentError);
  EXPECT_EQ(actor_.Character, nullptr);
  actor_.Introduce();
  EXPECT_EQ(Notices(), Codes{40});
  Text("hello");
  EXPECT_EQ(actor_.Edit1->text(), QStringLiteral("hello"));
  Request(21);
  for (std::uint64_t code = 0; code <= 5; ++code) Request(code);
  EXPECT_EQ(Notices(), Codes(6, 20)) << "every routine still reports";
  EXPECT_EQ(Script(), QStringList{"Connected 1"});
}

TEST(StripName, RemovesBlanksAndControlCharactersAtBothEndsOnly) {
  EXPECT_EQ(StripName(QStringLiteral("\t\x01Tuli Bird\r\n\x7f")), QStringLiteral("Tuli Bird"));
  EXPECT_EQ(StripName(QStringLiteral("\u3000小鸟\u00a0")), QStringLiteral("小鸟"));
  EXPECT_EQ(StripName(QStringLiteral(" \t \x1b ")), QString());
  EXPECT_EQ(StripName(QStringLiteral("a\tb")), QStringLiteral("a\tb"));
}

TEST(HalfRoundedToEven, ExactHalvesGoToTheEvenNeighbour) {
  for (auto [length, half] : {std::pair{1024, 512}, {1025, 512}, {1027, 514}, {1, 0}, {3, 2}})
    EXPECT_EQ(HalfRoundedToEven(length), half) << length;
}

}  // namespace
