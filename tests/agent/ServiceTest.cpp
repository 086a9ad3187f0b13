#include "AgentControl.h"
#include "CharacterService.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QTest::qWait(2);
  }
  return true;
}

// A connected control with the bird loaded as the companion loads it, the
// clock sped up so that animations pass quickly.
class Service : public ::testing::Test {
 protected:
  void SetUp() override {
    agent.setConnected(true);
    agent.Characters().Load("test", "bird.chr");
    bird = &agent.Characters().Character("test");
    bird->Impl().SetTimeScale(12);
    bird->Impl().OnRequestNote = [this](const QString& note) { notes << note; };
    bird->setLeft(200);
    bird->setTop(150);
  }
  void Drain() { ASSERT_TRUE(WaitUntil([this] { return !bird->Impl().Busy(); })); }
  QStringList Starts() const { return notes.filter(QRegularExpression("^start ")); }

  TAgent agent;
  TAgentCharacter* bird = nullptr;
  QStringList notes;
};

}  // namespace

TEST_F(Service, RequestsRunOneAfterAnotherInOrder) {
  bird->Show(false);
  bird->Play("Wave");
  bird->Speak("Hi there", "");
  bird->MoveTo(260, 150, 1);
  bird->Play("blink");
  EXPECT_TRUE(notes.isEmpty()) << "calls return before anything runs";
  Drain();
  EXPECT_EQ(notes, QStringList({"start Show animated", "end Show animated", "start Play Wave", "end Play Wave",
                                "start Speak 1033 Hi there", "end Speak 1033 Hi there", "start Move 260,150",
                                "end Move 260,150", "start Play Blink", "end Play Blink"}));
  EXPECT_EQ(bird->Left(), 260);
  EXPECT_TRUE(bird->Impl().Visible());
}

TEST_F(Service, StopAllPlayDropsOnlyAnimations) {
  bird->Show(true);
  bird->Play("Reading");  // loops while nothing else waits
  bird->Speak("one", "");
  bird->Play("Wave");
  bird->MoveTo(300, 150, 1);
  bird->Play("sad");
  ASSERT_TRUE(WaitUntil([this] { return notes.contains("start Play Reading"); }));
  bird->StopAll("play");
  Drain();
  EXPECT_EQ(Starts(), QStringList({"start Show fast", "start Play Reading", "start Speak 1033 one", "start Move 300,150"}));
  EXPECT_TRUE(notes.contains("stop Play Reading"));
  // Types are matched without regard to case; an unknown one is an error.
  EXPECT_NO_THROW(bird->StopAll("Play, Speak"));
  EXPECT_THROW(bird->StopAll("dance"), TAgentError);
}

TEST_F(Service, LanguageAppliesToSpeechQueuedAfterIt) {
  bird->Show(true);
  bird->Speak("hello", "");
  bird->setLanguageID(2052);
  bird->Speak("你好", "");
  bird->setLanguageID(1033);
  bird->Speak("bye", "");
  Drain();
  EXPECT_EQ(Starts().filter("Speak"),
            QStringList({"start Speak 1033 hello", "start Speak 2052 你好", "start Speak 1033 bye"}));
  EXPECT_THROW(bird->setLanguageID(1041), TAgentError);
  EXPECT_EQ(bird->LanguageID(), 1033);
}

TEST_F(Service, FailingCallsThrowWithClearMessages) {
  auto message = [](const std::function<void()>& call) -> std::string {
    try {
      call();
    } catch (const TAgentError& e) {
      return e.what();
    }
    return "(no error)";
  };
  EXPECT_NE(message([&] { bird->Play("Dance"); }).find("no animation 'Dance'"), std::string::npos);
  EXPECT_NE(message([&] { agent.Characters().Character("other"); }).find("no character is loaded under the id 'other'"),
            std::string::npos);
  EXPECT_NE(message([&] { agent.Characters().Load("x", "missing.chr"); }).find("'missing.chr' not found"),
            std::string::npos);
  EXPECT_NE(message([&] { agent.Characters().Load("test", "bird.chr"); }).find("already loaded"), std::string::npos);
  EXPECT_NE(message([&] { bird->setLanguageID(9999); }).find("language 9999 is not available"), std::string::npos);
  TAgent unconnected;
  EXPECT_NE(message([&] { unconnected.Characters(); }).find("not connected"), std::string::npos);
  EXPECT_FALSE(bird->Impl().Busy()) << "a failed call queues nothing";
}

TEST_F(Service, ClickOnTheBirdFiresOnClickAfterTheMouseHandler) {
  int clicks = 0, button = 0;
  bool insideHandler = false, handlerRanNested = false;
  agent.OnClick = [&](TAgent* sender, const QString& id, int b, int, std::int16_t, std::int16_t) {
    EXPECT_EQ(sender, &agent);
    EXPECT_EQ(id, "test");
    handlerRanNested = insideHandler;
    button = b;
    ++clicks;
  };
  bird->Show(true);
  Drain();
  QWidget& window = bird->Impl().Window();
  const QPoint belly(window.width() / 2, int(window.height() * 0.7));
  insideHandler = true;
  QTest::mouseClick(&window, Qt::LeftButton, {}, belly);
  insideHandler = false;
  EXPECT_EQ(clicks, 0) << "delivered from the event loop, not inside the mouse handler";
  ASSERT_TRUE(WaitUntil([&] { return clicks == 1; }));
  EXPECT_EQ(button, 1);
  EXPECT_FALSE(handlerRanNested);

  // Beside the bird: no click.
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(2, 2));
  QTest::qWait(50);
  EXPECT_EQ(clicks, 1);
}

TEST_F(Service, DragMovesTheBirdAndIsNoClick) {
  int clicks = 0;
  agent.OnClick = [&](TAgent*, const QString&, int, int, std::int16_t, std::int16_t) { ++clicks; };
  bird->Show(true);
  Drain();
  QWidget& window = bird->Impl().Window();
  const QPoint belly(window.width() / 2, int(window.height() * 0.7));
  const QPoint pressedAt = window.mapToGlobal(belly);
  QTest::mousePress(&window, Qt::LeftButton, {}, belly);
  for (int step = 1; step <= 4; ++step) {
    // The pointer moves on the screen; the window follows it.
    const QPoint global = pressedAt + QPoint(10 * step, 5 * step);
    QMouseEvent move(QEvent::MouseMove, QPointF(window.mapFromGlobal(global)), QPointF(global), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
  }
  QTest::mouseRelease(&window, Qt::LeftButton, {}, belly + QPoint(40, 20));
  QTest::qWait(50);
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(bird->Left(), 240);
  EXPECT_EQ(bird->Top(), 170);
}

TEST_F(Service, RightClickMenuOnlyWhenAutoPopupMenu) {
  bird->Show(true);
  Drain();
  QWidget& window = bird->Impl().Window();
  const QPoint belly(window.width() / 2, int(window.height() * 0.7));
  auto menuShown = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (qobject_cast<QMenu*>(w) && w->isVisible()) return true;
    return false;
  };
  bird->setAutoPopupMenu(false);
  QTest::mouseClick(&window, Qt::RightButton, {}, belly);
  QTest::qWait(30);
  EXPECT_FALSE(menuShown());
  bird->setAutoPopupMenu(true);
  QTest::mouseClick(&window, Qt::RightButton, {}, belly);
  EXPECT_TRUE(WaitUntil(menuShown, 2000));
  for (QWidget* w : QApplication::topLevelWidgets())
    if (qobject_cast<QMenu*>(w)) w->close();
}

TEST_F(Service, RequestsKeepRunningInsideNestedEventLoops) {
  // The companion waits in nested message loops, started from a click.
  bool finishedInside = false;
  agent.OnClick = [&](TAgent*, const QString&, int, int, std::int16_t, std::int16_t) {
    bird->Play("Wave");
    bird->Play("Pleased");
    finishedInside = WaitUntil([&] { return notes.contains("end Play Pleased"); });
  };
  bird->Show(true);
  Drain();
  QWidget& window = bird->Impl().Window();
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(window.width() / 2, int(window.height() * 0.7)));
  ASSERT_TRUE(WaitUntil([&] { return finishedInside; }));
}

TEST_F(Service, AClickHandlerThatThrowsIsReportedNotPropagated) {
  QString reported;
  agent.OnError = [&](const QString& message) { reported = message; };
  agent.OnClick = [&](TAgent*, const QString&, int, int, std::int16_t, std::int16_t) {
    throw TAgentError("routine failed");
  };
  bird->Show(true);
  Drain();
  QWidget& window = bird->Impl().Window();
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(window.width() / 2, int(window.height() * 0.7)));
  ASSERT_TRUE(WaitUntil([&] { return !reported.isEmpty(); }));
  EXPECT_EQ(reported, "routine failed");
}

TEST(Balloon, RevealsTextWordByWordAsTheVoiceReachesThem) {
  TBalloonWindow balloon(true);
  const QString text = "Hello there, chess friend";
  balloon.Present(text, QPoint(300, 300), QRect(250, 300, 200, 184));
  EXPECT_EQ(balloon.RevealedLength(), 0);
  balloon.SetWords({{0, 5, 0}, {6, 6, 300}, {13, 5, 600}, {19, 6, 900}});
  balloon.RevealWord(1);
  EXPECT_EQ(balloon.RevealedLength(), 12);  // "Hello there,"
  balloon.RevealWord(0);
  EXPECT_EQ(balloon.RevealedLength(), 12) << "never takes words back";
  balloon.RevealWord(7);
  EXPECT_EQ(balloon.RevealedLength(), 12) << "an unknown word index is ignored";
  balloon.RevealWord(3);
  EXPECT_EQ(balloon.RevealedLength(), text.size());
}

TEST_F(Service, SpokenLineFillsTheBalloonAndItLingers) {
  bird->Show(true);
  bird->Speak("Shall we play chess", "");
  ASSERT_TRUE(WaitUntil([this] { return notes.contains("start Speak 1033 Shall we play chess"); }));
  TBalloonWindow& balloon = bird->Impl().Balloon();
  EXPECT_TRUE(balloon.isVisible());
  EXPECT_LT(balloon.RevealedLength(), 19);
  std::vector<int> seen;
  const TCharacterDef& character = bird->Impl().Definition();
  float widestBeak = 0;
  ASSERT_TRUE(WaitUntil([&] {
    if (seen.empty() || seen.back() != balloon.RevealedLength()) seen.push_back(balloon.RevealedLength());
    const TPose& pose = bird->Impl().Window().Pose();
    widestBeak = std::max(widestBeak, pose[character.mouthPart][int(character.mouthChannel)]);
    return !bird->Impl().Busy();
  }));
  EXPECT_GE(seen.size(), 3u) << "the words appear one after another";
  EXPECT_GT(widestBeak, character.mouthOpen * 0.5f) << "the beak opens as the words come";
  EXPECT_EQ(balloon.RevealedLength(), 19);
  EXPECT_TRUE(balloon.isVisible()) << "stays a moment after the line";
  EXPECT_TRUE(WaitUntil([&] { return !balloon.isVisible(); }, 5000));
}
