#include "agent/CharacterPainter.h"
#include "agent/CharacterService.h"
#include "agent/ServiceAgent.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace perch;

namespace {

// Runs the event loop until done holds; false if it never does.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000) {
  return QTest::qWaitFor(done, timeoutMs);
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
  void Drain() {
    ASSERT_TRUE(WaitUntil([this] { return !bird->Impl().Busy(); }));
  }
  QStringList Starts() const { return notes.filter(QRegularExpression("^start ")); }
  // Shows the bird and returns its window.
  QWidget& Shown() {
    bird->Show(true);
    Drain();
    return bird->Impl().Window();
  }
  QPoint Belly() { return {bird->Impl().Window().width() / 2, int(bird->Impl().Window().height() * 0.7)}; }

  TServiceAgent agent;
  TServiceCharacter* bird = nullptr;
  QStringList notes;
};

}  // namespace

TEST_F(Service, RequestsRunOneAfterAnotherInOrderEachSpokenInTheLanguageSetWhenQueued) {
  bird->Show(false);
  bird->Play("Wave");
  bird->Speak("Hi there", "");
  bird->setLanguageID(2052);
  bird->MoveTo(260, 150, 1);
  bird->Speak("你好", "");
  bird->Play("blink");
  EXPECT_TRUE(notes.isEmpty()) << "calls return before anything runs";
  Drain();
  EXPECT_EQ(notes, QStringList({"start Show animated", "end Show animated", "start Play Wave",
                                "end Play Wave", "start Speak 1033 Hi there", "end Speak 1033 Hi there",
                                "start Move 260,150", "end Move 260,150", "start Speak 2052 你好",
                                "end Speak 2052 你好", "start Play Blink", "end Play Blink"}));
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
  EXPECT_EQ(Starts(), QStringList({"start Show fast", "start Play Reading", "start Speak 1033 one",
                                   "start Move 300,150"}));
  EXPECT_TRUE(notes.contains("stop Play Reading"));
  // Types are matched without regard to case; an unknown one is an error.
  EXPECT_NO_THROW(bird->StopAll("Play, Speak"));
  EXPECT_THROW(bird->StopAll("dance"), TAgentError);
}

TEST_F(Service, FailingCallsThrowWithClearMessages) {
  TServiceAgent unconnected;
  const std::pair<std::function<void()>, const char*> cases[] = {
      {[&] { bird->Play("Dance"); }, "no animation 'Dance'"},
      {[&] { agent.Characters().Character("other"); }, "no character is loaded under the id 'other'"},
      {[&] { agent.Characters().Load("x", "missing.chr"); }, "'missing.chr' not found"},
      {[&] { agent.Characters().Load("test", "bird.chr"); }, "already loaded"},
      {[&] { bird->setLanguageID(9999); }, "language 9999 is not available"},
      {[&] { unconnected.Characters(); }, "not connected"},
  };
  for (const auto& [call, expected] : cases) {
    std::string message = "(no error)";
    try {
      call();
    } catch (const TAgentError& e) {
      message = e.what();
    }
    EXPECT_NE(message.find(expected), std::string::npos) << message;
  }
  EXPECT_EQ(bird->LanguageID(), 1033) << "a refused language leaves the one set";
  EXPECT_FALSE(bird->Impl().Busy()) << "a failed call queues nothing";
}

TEST_F(Service, ClicksOnTheBirdReachOnClickFromTheEventLoopAndDragsMoveIt) {
  int clicks = 0, button = 0;
  agent.OnClick = [&](TAgent* sender, const QString& id, int b, int, std::int16_t, std::int16_t) {
    EXPECT_EQ(sender, &agent);
    EXPECT_EQ(id, "test");
    button = b;
    ++clicks;
  };
  QWidget& window = Shown();
  QTest::mouseClick(&window, Qt::LeftButton, {}, Belly());
  EXPECT_EQ(clicks, 0) << "delivered from the event loop, not inside the mouse handler";
  ASSERT_TRUE(WaitUntil([&] { return clicks == 1; }));
  EXPECT_EQ(button, 1);

  // Beside the bird: no click. A drag moves the bird and is no click either.
  QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(2, 2));
  const QPoint pressedAt = window.mapToGlobal(Belly());
  QTest::mousePress(&window, Qt::LeftButton, {}, Belly());
  for (int step = 1; step <= 4; ++step) {
    // The pointer moves on the screen; the window follows it.
    const QPoint global = pressedAt + QPoint(10 * step, 5 * step);
    QMouseEvent move(QEvent::MouseMove, QPointF(window.mapFromGlobal(global)), QPointF(global), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &move);
  }
  QTest::mouseRelease(&window, Qt::LeftButton, {}, Belly() + QPoint(40, 20));
  QTest::qWait(50);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(bird->Left(), 240);
  EXPECT_EQ(bird->Top(), 170);
}

TEST_F(Service, RightClickMenuOnlyWhenAutoPopupMenu) {
  QWidget& window = Shown();
  bird->setAutoPopupMenu(false);
  QTest::mouseClick(&window, Qt::RightButton, {}, Belly());
  QTest::qWait(30);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  bird->setAutoPopupMenu(true);
  QTest::mouseClick(&window, Qt::RightButton, {}, Belly());
  ASSERT_TRUE(
      WaitUntil([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; }, 2000));
  QApplication::activePopupWidget()->close();
}

TEST_F(Service, ClickHandlersMayWaitInNestedLoopsAndFail) {
  // The companion waits in nested message loops, started from a click; a
  // handler that throws is reported, not propagated.
  bool finishedInside = false;
  QString reported;
  agent.OnError = [&](const QString& message) { reported = message; };
  agent.OnClick = [&](TAgent*, const QString&, int, int, std::int16_t, std::int16_t) {
    bird->Play("Wave");
    bird->Play("Pleased");
    finishedInside = WaitUntil([&] { return notes.contains("end Play Pleased"); });
    throw TAgentError("routine failed");
  };
  QTest::mouseClick(&Shown(), Qt::LeftButton, {}, Belly());
  ASSERT_TRUE(WaitUntil([&] { return !reported.isEmpty(); }));
  EXPECT_TRUE(finishedInside);
  EXPECT_EQ(reported, "routine failed");
}

TEST(Balloon, RevealsTextWordByWordAsTheVoiceReachesThem) {
  TBalloonWindow balloon(true);
  balloon.Present("Hello there, chess friend", QPoint(300, 300), QRect(250, 300, 200, 184));
  EXPECT_EQ(balloon.RevealedLength(), 0);
  balloon.SetWords({{0, 5, 0}, {6, 6, 300}, {13, 5, 600}, {19, 6, 900}});
  // Up to the end of "Hello there,"; never taking words back; unknown word
  // indices ignored; the whole line.
  for (const auto& [word, revealed] : {std::pair{1, 12}, {0, 12}, {7, 12}, {-1, 12}, {3, 25}}) {
    balloon.RevealWord(word);
    EXPECT_EQ(balloon.RevealedLength(), revealed) << word;
  }
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

// After its voice a line stays whole for the time a reader needs: 1 s and
// 50 ms a character, counted as a reader counts them, and never less than
// the moment a short line always stayed.
TEST(BalloonReading, LongerLinesStayLongerShortOnesAsBefore) {
  EXPECT_EQ(TBalloonWindow::ReadingMs(""), TBalloonWindow::MinLingerMs);
  EXPECT_EQ(TBalloonWindow::ReadingMs("Hi"), TBalloonWindow::MinLingerMs);
  EXPECT_EQ(TBalloonWindow::ReadingMs(QString(88, 'a')), 1000 + 88 * 50);
  EXPECT_EQ(TBalloonWindow::ReadingMs(QString(100, QChar(0x4F60))), 1000 + 100 * 50);
  EXPECT_EQ(TBalloonWindow::ReadingMs(QString::fromUtf8("\U0001F426").repeated(20)), 1000 + 20 * 50)
      << "a character outside the BMP counts once";
  EXPECT_GT(TBalloonWindow::ReadingMs(QString(1 << 20, 'a')), 0) << "no overflow for a flood";
}

TEST_F(Service, AfterItsVoiceALongLineLingersForItsReadingTime) {
  bird->Show(true);
  const QString line =
      "Please tell me your name.Enter your name or a name that you would like to be called and press OK.";
  bird->Speak(line, "");
  Drain();
  TBalloonWindow& balloon = bird->Impl().Balloon();
  EXPECT_TRUE(balloon.isVisible());
  EXPECT_EQ(balloon.RevealedLength(), line.size()) << "whole";
  EXPECT_TRUE(balloon.Lingering());
  EXPECT_EQ(balloon.LingerMs(), 1000 + 50 * int(line.size()));
  bird->Speak("Next", "");
  ASSERT_TRUE(WaitUntil([&] { return notes.contains("start Speak 1033 Next"); }));
  EXPECT_FALSE(balloon.Lingering()) << "the next line replaces it";
  Drain();
  EXPECT_EQ(balloon.LingerMs(), TBalloonWindow::MinLingerMs);
}

// A line that asks a question answered in a dialog stays up while held:
// after its voice, when held late (it comes back whole), and until released,
// after which it lingers as any line does. A line spoken meanwhile replaces
// it and is held in turn.
TEST_F(Service, AHeldBalloonStaysUpUntilReleased) {
  bird->Show(true);
  TBalloonWindow& balloon = bird->Impl().Balloon();
  bird->Speak("Please give me a name", "");
  bird->HoldBalloon(true);
  Drain();
  EXPECT_TRUE(balloon.isVisible());
  EXPECT_FALSE(balloon.Lingering()) << "held after its voice";
  bird->HoldBalloon(false);
  EXPECT_TRUE(balloon.Lingering());
  EXPECT_EQ(balloon.LingerMs(), TBalloonWindow::ReadingMs("Please give me a name"));
  ASSERT_TRUE(WaitUntil([&] { return !balloon.isVisible(); }, 10000));

  bird->HoldBalloon(true);
  EXPECT_TRUE(balloon.isVisible()) << "brought back for the dialog";
  EXPECT_EQ(balloon.RevealedLength(), QString("Please give me a name").size());
  bird->Speak("Your name", "");
  Drain();
  EXPECT_EQ(balloon.RevealedLength(), QString("Your name").size());
  EXPECT_FALSE(balloon.Lingering());
  bird->HoldBalloon(false);
  EXPECT_TRUE(WaitUntil([&] { return !balloon.isVisible(); }, 10000));
}

TEST_F(Service, HoldingBringsNothingBackWhileALineIsOnItsWayOrTheBirdIsHidden) {
  TBalloonWindow& balloon = bird->Impl().Balloon();
  bird->HoldBalloon(true);
  EXPECT_FALSE(balloon.isVisible()) << "nothing was said";
  bird->HoldBalloon(false);
  bird->Show(true);
  bird->Speak("One", "");
  Drain();
  ASSERT_TRUE(WaitUntil([&] { return !balloon.isVisible(); }, 10000));
  bird->Play("Wave");
  bird->Speak("Two", "");
  bird->HoldBalloon(true);
  EXPECT_FALSE(balloon.isVisible()) << "the next line is on its way";
  Drain();
  EXPECT_EQ(balloon.RevealedLength(), 3);
  bird->HoldBalloon(false);
  ASSERT_TRUE(WaitUntil([&] { return !balloon.isVisible(); }, 10000));
  bird->Hide(true);
  Drain();
  bird->HoldBalloon(true);
  EXPECT_FALSE(balloon.isVisible()) << "no balloon without its bird";
  bird->HoldBalloon(false);
}

// A conversation keeps only its latest line: earlier lines still waiting are
// dropped, the one being spoken is cut; other requests keep their turn.
TEST_F(Service, TheLatestTextWinsOverTextsNotYetSpokenAndRoutineLinesKeepTheirTurn) {
  Shown();
  notes.clear();
  bird->Speak("Routine line", "");
  bird->SpeakLatest("first");
  bird->Play("Wave");
  bird->SpeakLatest("second");
  ASSERT_TRUE(WaitUntil([this] { return notes.contains("start Speak 1033 second"); }));
  bird->SpeakLatest("third");  // while "second" is being spoken
  Drain();
  EXPECT_EQ(Starts(), QStringList({"start Speak 1033 Routine line", "start Play Wave",
                                   "start Speak 1033 second", "start Speak 1033 third"}));
  EXPECT_TRUE(notes.contains("drop Speak 1033 first"));
  EXPECT_TRUE(notes.contains("stop Speak 1033 second"));
  EXPECT_FALSE(notes.contains("end Speak 1033 second"));
}

// A flood of requests holds at most the bounds; the newest are kept.
TEST_F(Service, TheQueueIsBoundedByCountAndByTextTheNewestKept) {
  TAgentCharacterImpl& impl = bird->Impl();
  bird->Speak("speaking", "");  // becomes the running request at the next tick
  for (int i = 0; i < 1000; ++i) bird->Play(i % 2 ? "Wave" : "Blink");
  EXPECT_EQ(impl.Waiting(), TAgentCharacterImpl::MaxWaiting);
  bird->Speak("newest", "");
  EXPECT_EQ(impl.Waiting(), TAgentCharacterImpl::MaxWaiting);
  EXPECT_TRUE(notes.contains("drop Speak 1033 speaking")) << "the oldest gave way";

  const QString page(60 * 1024, QChar(u'x'));
  for (int i = 0; i < 200; ++i) bird->Speak(page, "");
  EXPECT_LE(impl.WaitingText(), TAgentCharacterImpl::MaxWaitingText);
  EXPECT_GE(impl.WaitingText(), TAgentCharacterImpl::MaxWaitingText - page.size());
  // One text larger than the whole bound still gets its turn.
  bird->StopAll("");
  bird->Speak(QString(TAgentCharacterImpl::MaxWaitingText + 1, QChar(u'y')), "");
  EXPECT_EQ(impl.Waiting(), 1);
  bird->StopAll("");
}

TEST_F(Service, EachSizeIsPaintedAnewWholeAndClickableWithItsFeetKept) {
  QWidget& window = Shown();
  const QSize designed = window.size();
  const QPoint feet(bird->Left() + designed.width() / 2, bird->Top() + designed.height());
  const QPoint anchorAtOne = bird->Impl().Window().BalloonAnchor() - window.pos();
  int clicks = 0;
  agent.OnClick = [&](TAgent*, const QString&, int, int, std::int16_t, std::int16_t) { ++clicks; };
  for (const double scale : {0.75, 1.5, 1.0}) {
    bird->setScale(scale);
    const QSize size = window.size();
    EXPECT_EQ(size,
              QSize(int(std::ceil(designed.width() * scale)), int(std::ceil(designed.height() * scale))));
    EXPECT_EQ(QPoint(bird->Left() + size.width() / 2, bird->Top() + size.height()), feet) << scale;
    // Drawn from the vectors at that size: the window's picture is the
    // character rendered at that scale, not the designed one stretched.
    const QImage shown = window.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage painted = RenderCharacter(bird->Impl().Definition(), bird->Impl().Window().Pose(), scale)
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    ASSERT_EQ(shown.size(), painted.size());
    EXPECT_EQ(qAlpha(shown.pixel(size.width() / 2, size.height() / 2)), 255) << "the body at the centre";
    EXPECT_EQ(shown.pixel(size.width() / 2, int(size.height() * 0.6)),
              painted.pixel(size.width() / 2, int(size.height() * 0.6)));
    // Its outline follows: the belly takes a click, a corner does not.
    EXPECT_TRUE(bird->Impl().Window().Shape().contains(Belly())) << scale;
    EXPECT_FALSE(bird->Impl().Window().Shape().contains(QPoint(1, 1)));
    const int before = clicks;
    QTest::mouseClick(&window, Qt::LeftButton, {}, Belly());
    ASSERT_TRUE(WaitUntil([&] { return clicks == before + 1; })) << "no click at scale " << scale;
    // The balloon points at the head of the bird as large as it is.
    const QPoint anchor = bird->Impl().Window().BalloonAnchor() - window.pos();
    EXPECT_NEAR(anchor.x(), anchorAtOne.x() * scale, 1);
    EXPECT_NEAR(anchor.y(), anchorAtOne.y() * scale, 1);
  }
  EXPECT_THROW(bird->setScale(0), TAgentError);
  EXPECT_THROW(bird->setScale(100), TAgentError);
}

TEST_F(Service, AwayTheBirdFliesOffUnseenAndUnheardAndComesBackHome) {
  Shown();
  bird->Speak("Still talking", "");
  bird->FlyOff();
  EXPECT_TRUE(bird->Away());
  EXPECT_EQ(QPoint(bird->Left(), bird->Top()), QPoint(200, 150)) << "Left and Top tell its home";
  Drain();
  EXPECT_FALSE(bird->Impl().Visible());
  EXPECT_FALSE(bird->Impl().Balloon().isVisible());
  // Off the screen before it hid: past the nearer side of its monitor.
  const QString flight = notes.filter(QRegularExpression("^end Move")).last();
  const int flownTo = flight.section(' ', 2).section(',', 0, 0).toInt();
  const QRect monitor = QGuiApplication::primaryScreen()->geometry();
  EXPECT_TRUE(flownTo + bird->Width() <= monitor.left() || flownTo > monitor.right()) << qPrintable(flight);

  // Meanwhile nothing shows or speaks; a place given is its new home.
  notes.clear();
  bird->Show(false);
  bird->Speak("Nobody hears this", "");
  bird->MoveTo(300, 200, 1);
  Drain();
  EXPECT_FALSE(bird->Impl().Visible());
  EXPECT_FALSE(bird->Impl().Balloon().isVisible());
  EXPECT_EQ(notes.filter("start").size(), notes.filter("end").size());
  bird->setLeft(260);
  EXPECT_EQ(bird->Left(), 260);

  bird->FlyBack();
  EXPECT_FALSE(bird->Away());
  Drain();
  EXPECT_TRUE(bird->Impl().Visible());
  EXPECT_EQ(QPoint(bird->Left(), bird->Top()), QPoint(260, 150));
  EXPECT_EQ(bird->Impl().Window().pos(), QPoint(260, 150));
}

TEST_F(Service, CallingTheBirdBackMidFlightCallsTheFlightOff) {
  Shown();
  bird->FlyOff();
  ASSERT_TRUE(WaitUntil([this] { return !notes.filter("start Move").isEmpty(); }));
  bird->FlyBack();
  Drain();
  EXPECT_TRUE(bird->Impl().Visible()) << "the hiding queued behind the flight is dropped";
  EXPECT_EQ(QPoint(bird->Left(), bird->Top()), QPoint(200, 150));
}

TEST_F(Service, LettingGoAfterADragTellsOnDragCompleteAndAClickDoesNot) {
  int completed = 0, clicks = 0;
  agent.OnDragComplete = [&](TAgent* sender, const QString& id, int, int, std::int16_t, std::int16_t) {
    EXPECT_EQ(sender, &agent);
    EXPECT_EQ(id, "test");
    ++completed;
  };
  agent.OnClick = [&](TAgent*, const QString&, int, int, std::int16_t, std::int16_t) { ++clicks; };
  QWidget& window = Shown();
  QTest::mouseClick(&window, Qt::LeftButton, {}, Belly());
  ASSERT_TRUE(WaitUntil([&] { return clicks == 1; }));
  const QPoint pressedAt = window.mapToGlobal(Belly());
  QTest::mousePress(&window, Qt::LeftButton, {}, Belly());
  const QPoint global = pressedAt + QPoint(30, 10);
  QMouseEvent move(QEvent::MouseMove, QPointF(window.mapFromGlobal(global)), QPointF(global), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &move);
  QTest::mouseRelease(&window, Qt::LeftButton, {}, Belly());
  EXPECT_EQ(completed, 0) << "delivered from the event loop";
  ASSERT_TRUE(WaitUntil([&] { return completed == 1; }));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(bird->Left(), 230);
}
