// The language modes against the recording character service: what the
// bird says, in which voice, at a greeting, at clicks and in the
// introduction; the request that changes the mode at run time, and the
// meaning of requests 21 and 22 in each mode.

#include "tests/companion/ActorFixture.h"

#include "companion/Translations.h"

#include "chess/board/TChessBrd.h"

#include <QRegularExpression>

namespace {

class LanguageModeTest : public ActorFixture {
 protected:
  void TearDown() override {
    InstallTranslations(TLanguageMode::Written);  // the next test starts as written
    ActorFixture::TearDown();
  }
  void Start(const char* mode) {
    TSettingsFile settings(program_.filePath("config.ini"));
    settings.WriteString("parameter", "language", QString::fromLatin1(mode));
    CreateWithCompletedFirstRun();
  }
  // The greeting and the four answers to a click, as spoken.
  QStringList GreetAndClicks() {
    Script();
    Request(3);
    for (int answer = 1; answer <= 4; ++answer) {
      draws_ = {answer};
      actor_.AgentClick(actor_.Agent, "test", 1, 0, 0, 0);
    }
    return Spoken(Script());
  }
  static QStringList Spoken(const QStringList& script) {
    return script.filter(QRegularExpression("^Speak |^LanguageID "));
  }
};

// The text of a "Speak TEXT [LANGUAGE]" call, the names left out.
QString SaidText(const QString& call, const QStringList& names = {}) {
  QString text = call.mid(6, call.lastIndexOf(u' ') - 6);
  for (const QString& name : names) text.remove(name);
  return text;
}

const QRegularExpression Chinese(
    QStringLiteral("[\\x{3000}-\\x{303F}\\x{4E00}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]"));
const QRegularExpression LatinWord(QStringLiteral("[A-Za-z]+"));

void ExpectOneLanguage(const QStringList& spoken, const char* mode, const QStringList& names = {}) {
  const bool chinese = QByteArray(mode) == "chinese";
  for (const QString& call : spoken) {
    SCOPED_TRACE(call.toStdString());
    if (!call.startsWith("Speak ")) continue;
    EXPECT_TRUE(call.endsWith(chinese ? " [2052]" : " [1033]")) << "in the mode's voice";
    const QString text = SaidText(call, names);
    EXPECT_FALSE(text.trimmed().isEmpty());
    if (chinese) EXPECT_FALSE(text.contains(LatinWord));
    else EXPECT_FALSE(text.contains(Chinese));
  }
}

TEST(LanguageModeSetting, AbsentOrUnknownIsWrittenCaseAndBlanksDoNotMatter) {
  QTemporaryDir folder;
  TSettingsFile settings(folder.filePath("config.ini"));
  EXPECT_EQ(ReadLanguageMode(settings), TLanguageMode::Written);
  const std::pair<const char*, TLanguageMode> cases[] = {{"english", TLanguageMode::English},
                                                         {" Chinese ", TLanguageMode::Chinese},
                                                         {"written", TLanguageMode::Written},
                                                         {"klingon", TLanguageMode::Written},
                                                         {"", TLanguageMode::Written}};
  for (const auto& [text, mode] : cases) {
    settings.WriteString("parameter", "language", QString::fromLatin1(text));
    EXPECT_EQ(ReadLanguageMode(settings), mode) << text;
  }
}

TEST_F(LanguageModeTest, WrittenIsTodaysMixEachLineInItsOwnVoice) {
  Start("written");
  EXPECT_EQ(
      GreetAndClicks(),
      (QStringList{"LanguageID 2052", "Speak 忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？ [2052]",
                   "Speak Yes [2052]", "Speak May I help you? [2052]", "Speak I am here! [2052]",
                   "Speak Yes [2052]", "Speak What can I do for you? [2052]",
                   "Speak Do not bother me! [2052]"}));
  EXPECT_EQ(actor_.windowTitle(), QStringLiteral("Perch — Chess"));
  EXPECT_EQ(actor_.Button1->text() + actor_.Button2->text(), QStringLiteral("NewExit"));
}

TEST_F(LanguageModeTest, InEnglishEveryLineIsEnglishInTheEnglishVoice) {
  Start("english");
  const QStringList spoken = GreetAndClicks();
  ExpectOneLanguage(spoken, "english");
  EXPECT_EQ(spoken.size(), 7) << "set up in English already: no voice set";
  EXPECT_EQ(actor_.Button1->text() + actor_.Button2->text(), QStringLiteral("NewExit"));
}

TEST_F(LanguageModeTest, InChineseEveryLineIsChineseInTheChineseVoice) {
  Start("Chinese ");
  EXPECT_EQ(actor_.LanguageMode(), TLanguageMode::Chinese);
  const QStringList spoken = GreetAndClicks();
  ExpectOneLanguage(spoken, "chinese");
  EXPECT_EQ(spoken.first(), QStringLiteral("LanguageID 2052"));
  EXPECT_EQ(spoken.filter("LanguageID").size(), 1) << "the voice is set once";
  EXPECT_EQ(actor_.Button1->text() + actor_.Button2->text(), QStringLiteral("新局退出"));
  EXPECT_FALSE(actor_.windowTitle().contains("Chess"));
}

class IntroductionInMode : public LanguageModeTest, public testing::WithParamInterface<const char*> {};

TEST_P(IntroductionInMode, SpeaksInTheModeAndLeavesTheNamesAsTyped) {
  const QByteArray mode = GetParam();
  TSettingsFile(program_.filePath("config.ini")).WriteString("parameter", "language", mode);
  answers_ = {"Polly", "Ann Lee"};
  actor_.FormCreate();
  const QStringList spoken = Spoken(Script()).filter(QRegularExpression("^Speak "));
  const QStringList prompts = mode == "english" ? QStringList{"Give me a name", "Enter your name"}
                                                : QStringList{"起名字", "输入你的名字"};
  EXPECT_EQ(dialogs_, (QStringList{"|" + prompts[0] + "||255", "|" + prompts[1] + "||255"}));
  EXPECT_EQ(spoken.size(), 12) << spoken.join('\n').toStdString();
  EXPECT_EQ(spoken.filter("Polly").size(), 1);
  EXPECT_EQ(spoken.filter("Ann Lee").size(), 1);
  if (mode == "written") {
    EXPECT_EQ(spoken.filter("Speak Great,Your name is Ann Lee. [1033]").size(), 1);
    EXPECT_EQ(spoken.filter(Chinese), QStringList{});
  } else {
    ExpectOneLanguage(spoken, mode.constData(), {"Polly", "Ann Lee"});
  }
  EXPECT_EQ(Setting("username"), QStringLiteral("Ann Lee"));
}

INSTANTIATE_TEST_SUITE_P(Modes, IntroductionInMode, testing::Values("written", "english", "chinese"));

TEST_F(LanguageModeTest, TheRequestChangesTheModeForTheNextLineAndKeepsIt) {
  CreateWithCompletedFirstRun();
  Request(32);
  EXPECT_EQ(Setting("language"), QStringLiteral("chinese"));
  Request(22);  // the voices of the texts as written: nothing heard changes
  Text("hello");
  EXPECT_EQ(Script(), (QStringList{"LanguageID 2052", "StopAll play", "Speak hello [2052]"}));

  Request(31);
  EXPECT_EQ(Setting("language"), QStringLiteral("english"));
  Request(21);
  Request(1);
  QStringList spoken = Spoken(Script());
  ExpectOneLanguage(spoken, "english");
  EXPECT_EQ(spoken, (QStringList{"LanguageID 1033", "Speak I am hungry. Time for a bite to eat. [1033]",
                                 "Speak I love cookies. [1033]"}));

  // Back to the texts as written, in the voice they would have by now
  // (request 21, then the Chinese line of the eating routine).
  Request(30);
  EXPECT_EQ(Setting("language"), QStringLiteral("written"));
  Text("hi");
  Request(22);
  Request(4);
  EXPECT_EQ(Spoken(Script()),
            (QStringList{"LanguageID 2052", "Speak hi [2052]", "LanguageID 1033", "LanguageID 2052",
                         "Speak 我现在要工作了。 [2052]", "Speak I hate work,but I must work now. [2052]"}));
  EXPECT_EQ(Notices(), (Codes{20, 20}));
}

// Eat, sleep, work, and a chess game's opening, a castling and both ends:
// every line and box in one language, or exactly as written.
class RoutinesInMode : public LanguageModeTest, public testing::WithParamInterface<const char*> {
 protected:
  // A game with the computer off, played in coordinates ("e2e4 e7e5").
  void PlayGame(const std::string& moves) {
    actor_.PlayChess();
    TChessBrd& board = *actor_.ChessBrd1;
    board.setComputerPlaysBlack(false);
    auto square = [&](std::size_t at) { return SquareOf(moves[at] - 'a' + 1, moves[at + 1] - '0'); };
    for (std::size_t at = 0; at + 4 <= moves.size(); at += 5)
      ASSERT_TRUE(board.MakeMove(square(at), square(at + 2))) << moves.substr(at, 4);
  }
};

TEST_P(RoutinesInMode, EveryLineAndBoxIsInTheMode) {
  const QByteArray mode = GetParam();
  Start(mode.constData());
  for (const std::uint64_t routine : {1, 2, 4}) Request(routine);
  PlayGame("e2e4 e7e5 g1f3 b8c6 f1c4 f8c5 e1g1");  // castling
  PlayGame("e2e4 e7e5 f1c4 b8c6 d1h5 g8f6 h5f7");  // the user mates
  PlayGame("f2f3 e7e5 g2g4 d8h4");                 // the bird mates
  const QStringList spoken = Spoken(Script()).filter(QRegularExpression("^Speak "));
  ASSERT_GE(spoken.size(), 10) << spoken.join('\n').toStdString();
  ASSERT_EQ(boxes_.size(), 2);
  if (mode == "written") {
    // The system's own texts, each in its own voice.
    for (const char* line :
         {"Speak 肚子饿了，吃点东西吧。 [2052]", "Speak I love cookies. [2052]", "Speak 睡觉了 [2052]",
          "Speak 我现在要工作了。 [2052]", "Speak 你先~~ [2052]", "Speak 车王易位！ [2052]",
          "Speak 你赢了，厉害厉害。 [2052]", "Speak 我赢了，承让承让 [2052]"})
      EXPECT_TRUE(spoken.contains(QString::fromUtf8(line))) << line;
    EXPECT_EQ(boxes_, (QStringList{"你赢了!", "你输了!"}));
    return;
  }
  ExpectOneLanguage(spoken, mode.constData());
  for (const QString& box : boxes_) {
    SCOPED_TRACE(box.toStdString());
    if (mode == "chinese") EXPECT_FALSE(box.contains(LatinWord));
    else EXPECT_FALSE(box.contains(Chinese));
  }
  EXPECT_NE(boxes_[0], boxes_[1]) << "a win and a loss are told apart";
  const QString title = QString(actor_.windowTitle()).remove(QStringLiteral("Perch"));  // the program's name
  if (mode == "chinese") EXPECT_FALSE(title.contains(LatinWord)) << title.toStdString();
  else EXPECT_FALSE(title.contains(Chinese)) << title.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Modes, RoutinesInMode, testing::Values("written", "english", "chinese"));

TEST(LanguageModeErrors, ASettingsFailureIsToldInTheMode) {
  QTemporaryDir folder;
  QFile blocker(folder.filePath("not-a-folder"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the settings' folder should be
  for (const auto& [mode, expected] :
       {std::pair{TLanguageMode::Chinese, "Perch 无法把设置保存到"},
        std::pair{TLanguageMode::Written, "Perch could not save its settings to"}}) {
    InstallTranslations(mode);
    TSettingsFile settings(folder.filePath("not-a-folder/config.ini"));
    QString told;
    settings.OnWriteFailed = [&](const QString& message) { told = message; };
    EXPECT_FALSE(settings.WriteString("parameter", "username", "Ann"));
    EXPECT_TRUE(told.startsWith(QString::fromUtf8(expected))) << told.toStdString();
  }
}

}  // namespace
