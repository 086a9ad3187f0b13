// TActor against the recording character service: the designed form, the
// set-up, the introduction and the handling of the controller's messages.
// Waits run on a clock that jumps a second per step.

#include "Unit1.h"

#include "LinkWindow.h"
#include "RecordingAgent.h"
#include "TempRuntimeDir.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>

namespace {

struct TSeenDialog {
  QString title, prompt, initialText;
  int maxLength = 0;
};

// Answers the modal dialogs that open, in turn: a text means OK after
// typing it, nullopt means Cancel. Message boxes are closed and noted.
class TDialogAnswerer : public QObject {
 public:
  explicit TDialogAnswerer(std::deque<std::optional<QString>> answers) : answers_(std::move(answers)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Answer(); });
    timer_.start();
  }
  std::vector<TSeenDialog> dialogs;
  QStringList errorBoxes;

 private:
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      errorBoxes << box->text();
      box->accept();
      return;
    }
    auto* dialog = qobject_cast<QInputDialog*>(modal);
    if (dialog == nullptr || !dialog->isVisible()) return;
    auto* edit = dialog->findChild<QLineEdit*>();
    dialogs.push_back({dialog->windowTitle(), dialog->labelText(), dialog->textValue(),
                       edit != nullptr ? edit->maxLength() : -1});
    std::optional<QString> answer;
    if (!answers_.empty()) {
      answer = answers_.front();
      answers_.pop_front();
    }
    if (answer) {
      dialog->setTextValue(*answer);
      dialog->accept();
    } else {
      dialog->reject();
    }
  }
  std::deque<std::optional<QString>> answers_;
  QTimer timer_;
};

class ActorTest : public testing::Test {
 protected:
  void SetUp() override {
    TRecordingAgent::Reset();
    Quitting = false;
    CompanionWaitSteps().now = [this] { return fakeNow_; };
    CompanionWaitSteps().processMessagesFor = [this](std::chrono::milliseconds) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      fakeNow_ += std::chrono::seconds(1);
    };
    controller_ = std::make_unique<perch::TLinkWindow>(perch::ControllerClass);
    actor_ = std::make_unique<TActor>();
    actor_->ProgramFolder = program_.path();
    Actor = actor_.get();
  }
  void TearDown() override {
    Actor = nullptr;
    if (Quitting) {
      // The quit request told every event loop to end at once; the
      // application's own loop clears that when it returns.
      QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
      QApplication::exec();
    }
    Quitting = false;
  }

  std::vector<std::uint64_t> Notices() {
    std::vector<std::uint64_t> codes;
    std::optional<perch::TLinkMessage> message;
    while (controller_->ReceiveOne(message)) {
      if (message) codes.push_back(message->wParam);
    }
    return codes;
  }
  // Set-up of the form; the notices and calls it made are cleared.
  void CreateWithCompletedFirstRun() {
    TSettingsFile(program_.filePath("config.ini")).WriteInteger("parameter", "firstRun", 1);
    actor_->FormCreate();
    Notices();
    TRecordingAgent::Calls().clear();
  }
  QString Setting(const QString& key) {
    return TSettingsFile(program_.filePath("config.ini")).ReadString("parameter", key).value_or("<none>");
  }
  void Request(std::uint64_t code) {
    perch::TLinkMessage message;
    message.message = perch::WM_COMPANION;
    message.wParam = code;
    actor_->HandleLinkMessage(message);
  }
  void Text(const std::string& text) {
    perch::TLinkMessage message;
    message.message = perch::WM_COPYDATA;
    message.text = text;
    actor_->HandleLinkMessage(message);
  }
  static QSize Screen() { return QGuiApplication::primaryScreen()->geometry().size(); }

  std::chrono::steady_clock::time_point fakeNow_{};
  TTempRuntimeDir runtime_;
  QTemporaryDir program_;
  std::unique_ptr<perch::TLinkWindow> controller_;
  std::unique_ptr<TActor> actor_;
};

}  // namespace

TEST_F(ActorTest, TheFormHasItsDesignedLayout) {
  EXPECT_EQ(actor_->windowTitle(), QStringLiteral("Game"));
  EXPECT_EQ(actor_->size(), QSize(369, 369));
  EXPECT_EQ(actor_->pos(), QPoint(-400, 117));
  EXPECT_TRUE(actor_->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(actor_->windowFlags() & Qt::Tool) << "no taskbar entry";
  EXPECT_FALSE(actor_->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(actor_->Image1->geometry(), QRect(40, 56, 105, 105));
  EXPECT_EQ(actor_->Image2->geometry(), QRect(152, 56, 105, 105));
  EXPECT_EQ(actor_->Edit1->text(), QStringLiteral("Edit1"));
  EXPECT_TRUE(actor_->Edit1->isHidden());
  EXPECT_EQ(actor_->Button1->text(), QStringLiteral("New"));
  EXPECT_FALSE(actor_->Button1->isEnabled());
  EXPECT_EQ(actor_->Button2->text(), QStringLiteral("Exit"));
  EXPECT_EQ(actor_->Button2->geometry(), QRect(304, 344, 35, 25));

  // The wood: 160 x 160, 16 colours, the dark one darker.
  auto meanGray = [](const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) sum += qGray(image.pixel(x, y));
    return sum / (image.width() * image.height());
  };
  for (const QImage& wood : {actor_->Image1Bitmap(), actor_->Image2Bitmap()}) {
    ASSERT_EQ(wood.size(), QSize(160, 160));
    EXPECT_LE(wood.colorCount(), 16);
    EXPECT_GT(wood.colorCount(), 0);
  }
  EXPECT_LT(meanGray(actor_->Image1Bitmap()) + 60, meanGray(actor_->Image2Bitmap()));
}

TEST_F(ActorTest, SetUpOfALaterStartPlacesTheCharacterAndOnlyReports) {
  TSettingsFile(program_.filePath("config.ini")).WriteInteger("parameter", "firstRun", 1);
  actor_->FormCreate();
  const QStringList expected{
      "Connected 1", "Load test bird.chr", "LanguageID 1033", "AutoPopupMenu 0", "Top 10",
      QStringLiteral("Left %1").arg(Screen().width() - 450), "Show 0"};
  EXPECT_EQ(TRecordingAgent::Calls(), expected);
  EXPECT_EQ(actor_->IniPath, program_.filePath("config.ini"));
  actor_->Introduce();
  EXPECT_EQ(TRecordingAgent::Calls(), expected) << "a later start says nothing";
  EXPECT_EQ(Notices(), (std::vector<std::uint64_t>{40, 40}));
}

TEST_F(ActorTest, FirstRunIntroductionAsksBothNamesAndStoresThem) {
  TDialogAnswerer answers({QStringLiteral("  Polly\t"), QStringLiteral("Ann ")});
  actor_->FormCreate();
  const QSize screen = Screen();
  const QString en = QStringLiteral(" [1033]");
  QStringList expected{
      "Connected 1", "Load test bird.chr", "LanguageID 1033", "AutoPopupMenu 0", "Top 10",
      QStringLiteral("Left %1").arg(screen.width() - 450), "Show 0",
      "Play Wave", "Speak Well,Hello there!    " + en, "Play Greet",
      "Speak It is so nice to meet you!" + en, "Play RestPose",
      "Speak I am an Artificial Life,Not like you - Human,We live in computer." + en,
      "Speak I need eat,sleep and I can do some work. " + en,
      "Speak I will be able to actually speak to you with my own very cool voice!" + en,
      "Speak I am looking very forward to spending time with you!" + en,
      QStringLiteral("MoveTo %1 %2 1").arg(HalfRoundedToEven(screen.width()) - 100).arg(HalfRoundedToEven(screen.height()) - 200),
      "Play GestureDown", "Speak Please give me a name, and Enter my name here and press OK." + en,
      "Speak Cool, my name is Polly" + en, "Play Pleased", "Play GestureDown",
      "Speak Please tell me your name.Enter your name or a name that you would like to be called and press OK." + en,
      "Speak Great,Your name is Ann." + en, "Play Write",
      "MoveTo 330 200 1", "Play GestureLeft", "Speak You can type here to talk with me." + en, "Play Pleased",
      QStringLiteral("MoveTo %1 10 1").arg(screen.width() - 150), "Speak Have a try!" + en};
  EXPECT_EQ(TRecordingAgent::Calls(), expected);
  ASSERT_EQ(answers.dialogs.size(), 2u);
  EXPECT_EQ(answers.dialogs[0].prompt, QStringLiteral("起名字"));
  EXPECT_EQ(answers.dialogs[1].prompt, QStringLiteral("输入你的名字"));
  for (const auto& dialog : answers.dialogs) {
    EXPECT_EQ(dialog.title, QString());
    EXPECT_EQ(dialog.initialText, QString());
    EXPECT_EQ(dialog.maxLength, 255);
  }
  EXPECT_EQ(Setting("username"), QStringLiteral("Ann"));
  EXPECT_EQ(Setting("halname"), QStringLiteral("Polly"));
  EXPECT_EQ(Setting("firstRun"), QStringLiteral("1"));
  EXPECT_EQ(Notices(), (std::vector<std::uint64_t>{40}));

  TRecordingAgent::Calls().clear();
  actor_->Introduce();  // the program entry's second run
  EXPECT_TRUE(TRecordingAgent::Calls().isEmpty());
  EXPECT_EQ(Notices(), (std::vector<std::uint64_t>{40}));
}

TEST_F(ActorTest, BlankNamesBecomeTheDefaults) {
  TDialogAnswerer answers({QStringLiteral("   "), QStringLiteral("\t")});
  actor_->FormCreate();
  EXPECT_TRUE(TRecordingAgent::Calls().contains("Speak Cool, my name is TuliBird [1033]"));
  EXPECT_TRUE(TRecordingAgent::Calls().contains("Speak Great,Your name is UserName. [1033]"));
  EXPECT_EQ(Setting("halname"), QStringLiteral("TuliBird"));
  EXPECT_EQ(Setting("username"), QStringLiteral("UserName"));
}

TEST_F(ActorTest, CancellingTheUsersNameStoresNothingAndTheIntroductionPlaysAgain) {
  TDialogAnswerer answers({QStringLiteral("Polly"), std::nullopt, std::nullopt, std::nullopt});
  actor_->FormCreate();
  const qsizetype firstLength = TRecordingAgent::Calls().size();
  EXPECT_FALSE(QFile::exists(program_.filePath("config.ini")));
  EXPECT_FALSE(TRecordingAgent::Calls().join('\n').contains("Great,Your name"));
  actor_->Introduce();
  EXPECT_EQ(answers.dialogs.size(), 4u);
  EXPECT_EQ(TRecordingAgent::Calls().count("Play Wave"), 2);
  EXPECT_EQ(TRecordingAgent::Calls().count("Speak Have a try! [1033]"), 2) << "played in full once more";
  EXPECT_FALSE(TRecordingAgent::Calls().mid(firstLength).join('\n').contains("Cool, my name"));
  EXPECT_FALSE(QFile::exists(program_.filePath("config.ini")));
  EXPECT_EQ(Notices(), (std::vector<std::uint64_t>{40, 40}));
}

TEST_F(ActorTest, CancellingOnlyTheCharactersNameStoresAnEmptyName) {
  TDialogAnswerer answers({std::nullopt, QStringLiteral("Ann")});
  actor_->FormCreate();
  EXPECT_FALSE(TRecordingAgent::Calls().join('\n').contains("Cool, my name"));
  EXPECT_EQ(Setting("halname"), QString());
  EXPECT_EQ(Setting("username"), QStringLiteral("Ann"));
  EXPECT_EQ(Setting("firstRun"), QStringLiteral("1"));
}

TEST_F(ActorTest, QuittingDuringTheFirstWaitOpensNoDialog) {
  TDialogAnswerer answers({});
  QTimer::singleShot(0, [this] { Request(70); });
  actor_->FormCreate();
  EXPECT_TRUE(Quitting);
  EXPECT_TRUE(answers.dialogs.empty());
  EXPECT_FALSE(QFile::exists(program_.filePath("config.ini")));
  EXPECT_EQ(Notices(), (std::vector<std::uint64_t>{40}));
}

TEST_F(ActorTest, RequestsSwitchTheLanguageUnknownOnesDoNothingAndQuitEndsWaits) {
  CreateWithCompletedFirstRun();
  Request(21);
  Request(22);
  Request(6);
  Request(23);
  Request(0xFFFFFFFFFFFFull);
  EXPECT_EQ(TRecordingAgent::Calls(), (QStringList{"LanguageID 2052", "LanguageID 1033"}));
  EXPECT_TRUE(Notices().empty());
  EXPECT_FALSE(Quitting);
  Request(70);
  EXPECT_TRUE(Quitting);
}

TEST_F(ActorTest, TextGoesIntoEdit1StopsTheAnimationsAndIsSpoken) {
  CreateWithCompletedFirstRun();
  Request(21);
  Text("你好 bird");
  EXPECT_EQ(actor_->Edit1->text(), QStringLiteral("你好 bird"));
  EXPECT_EQ(TRecordingAgent::Calls(),
            (QStringList{"LanguageID 2052", "StopAll play", "Speak 你好 bird [2052]"}));
  TRecordingAgent::Calls().clear();
  Text("");
  EXPECT_EQ(actor_->Edit1->text(), QString());
  EXPECT_EQ(TRecordingAgent::Calls(), QStringList{"StopAll play"});
}

TEST_F(ActorTest, SayChineseLeavesLanguage2052AndWaitsASecond) {
  CreateWithCompletedFirstRun();
  const auto before = fakeNow_;
  actor_->SayChinese(QStringLiteral("睡觉了"));
  EXPECT_EQ(TRecordingAgent::Calls(), (QStringList{"LanguageID 2052", "Speak 睡觉了 [2052]"}));
  EXPECT_GE(fakeNow_ - before, std::chrono::seconds(1));
  TRecordingAgent::Calls().clear();
  Text("hello");
  EXPECT_EQ(TRecordingAgent::Calls().last(), QStringLiteral("Speak hello [2052]"));
}

TEST_F(ActorTest, NestingIsBoundedButQuitAlwaysGetsThrough) {
  CreateWithCompletedFirstRun();
  int deepest = 0;
  TRecordingAgent::onSpeak = [&](const QString&) {
    deepest = std::max(deepest, actor_->RoutineDepth());
    Text("again");  // a message arriving while this one is handled
  };
  Text("again");
  EXPECT_EQ(deepest, TActor::MaxRoutineDepth);
  EXPECT_EQ(TRecordingAgent::Calls().count("Speak again [1033]"), TActor::MaxRoutineDepth);
  EXPECT_EQ(actor_->RoutineDepth(), 0);

  TRecordingAgent::onSpeak = [&](const QString&) {
    if (actor_->RoutineDepth() < TActor::MaxRoutineDepth) Text("again");
    else Request(70);
  };
  Text("again");
  EXPECT_TRUE(Quitting);
}

TEST_F(ActorTest, AFailingAgentCallEndsItsStepAndIsShownThenTheCompanionRunsOn) {
  CreateWithCompletedFirstRun();
  TDialogAnswerer answers({});
  TRecordingAgent::onSpeak = [](const QString& text) {
    if (text == "boom") throw TAgentError("the voice failed");
  };
  Text("boom");
  EXPECT_EQ(answers.errorBoxes, QStringList{"the voice failed"});
  Text("fine");
  EXPECT_EQ(actor_->Edit1->text(), QStringLiteral("fine"));
  EXPECT_EQ(actor_->RoutineDepth(), 0);
}

TEST_F(ActorTest, WithoutItsCharacterTheCompanionStillAnswers) {
  TRecordingAgent::failLoad = true;
  EXPECT_THROW(actor_->FormCreate(), TAgentError);
  EXPECT_EQ(actor_->Character, nullptr);
  actor_->Introduce();
  EXPECT_EQ(Notices(), std::vector<std::uint64_t>{40});
  Text("hello");
  EXPECT_EQ(actor_->Edit1->text(), QStringLiteral("hello"));
  Request(21);
  for (std::uint64_t code = 0; code <= 5; ++code) Request(code);
  EXPECT_EQ(Notices(), (std::vector<std::uint64_t>(6, 20))) << "every routine still reports";
  EXPECT_EQ(TRecordingAgent::Calls(), QStringList{"Connected 1"});
}
