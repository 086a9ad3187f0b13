// The routines and the click reaction against the recording character
// service: their requests, draws, waits and notices, and how they nest.

#include "tests/companion/ActorFixture.h"

#include <QGuiApplication>
#include <QScreen>

#include <set>

namespace {

class Routines : public ActorFixture {
 protected:
  void SetUp() override {
    ActorFixture::SetUp();
    CreateWithCompletedFirstRun();
  }
};

TEST_F(Routines, EachRequestShowsItsLinesAndAnimationsForItsTimeAndReportsOnce) {
  struct TCase {
    std::uint64_t code;
    std::deque<int> draws;
    QString seen;
  };
  const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
  std::vector<TCase> cases{
      {1,
       {},
       "said: 肚子饿了，吃点东西吧。 [2052] | I love cookies. [2052]; played: Idle2_2 Idle2_2; flew: ; "
       "waited 21 s"},
      {2,
       {},
       "said: 睡觉了 [2052] | Sleep is important.  [2052]; played: Idle3_1 Idle3_2 Idle3_1 Blink; flew: ; "
       "waited 205 s"},
      {3,
       {},
       "said: 忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？ [2052]; played: Wave; flew: ; waited 4 "
       "s"},
      {4,
       {},
       "said: 我现在要工作了。 [2052] | I hate work,but I must work now. [2052]; played: Processing; flew: ; "
       "waited 21 s"},
      // The tour: three places drawn (y before x), then the top right; nothing waits for it.
      {0,
       {9, 10, 20, 30, 40, 599, 799},
       QStringLiteral(
           "said: ; played: GetAttention GetAttention; flew: 20,10 40,30 799,599 %1,10; waited 0 s")
           .arg(screenWidth - 150)},
  };
  const std::pair<const char*, int> activities[9] = {{"Reading", 120}, {"Reading", 120},  {"Writing", 60},
                                                     {"Writing", 60},  {"Searching", 20}, {"thinking", 20},
                                                     {"Idle2_1", 20},  {"Idle3_3", 40},   {"Idle3_3", 40}};
  for (int n = 0; n < 9; ++n) {
    const auto& [animation, seconds] = activities[n];
    cases.push_back(
        {0, {n}, QStringLiteral("said: ; played: %1; flew: ; waited %2 s").arg(animation).arg(seconds)});
  }
  // The invitation opens the game and holds it for 10000 s; the bird flies
  // beside the window (its frame included), on its left on the 800-pixel screen.
  cases.push_back(
      {5,
       {},
       "said: Hi,Play Chess with me? [1033] | 你先~~ [2052]; played: Wave; flew: 192,67; waited 10002 s"});
  // Each starts in English; a Chinese line leaves the later English ones in Chinese.
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.seen.toStdString());
    Request(22);
    draws_ = c.draws;
    Script();
    Request(c.code);
    const QStringList script = Script();
    EXPECT_EQ(Observed(script), c.seen);
    EXPECT_EQ(Notices(), Codes{20}) << "one notice, at the end";
    if (c.code == 5) {
      EXPECT_TRUE(script.contains("KeepClear 400 117 373 373")) << "the balloon kept off the board";
    }
  }
}

TEST_F(Routines, AClickTellsTheControllerAndGivesOneOfFourAnswers) {
  const QStringList answers[] = {
      {"Speak Yes [1033]", "Play hearing_1", "Play restpose", "Speak May I help you? [1033]"},
      {"Play hearing_2", "Play restpose", "Speak I am here! [1033]"},
      {"Play hearing_3", "Play restpose", "Speak Yes [1033]", "Speak What can I do for you? [1033]"},
      {"Speak Do not bother me! [1033]", "Play confused", "Play restpose"}};
  for (int n = 1; n <= 4; ++n) {
    draws_ = {n};
    actor_.Agent->OnClick(actor_.Agent, "test", 2, 0, 10, 10);
    const QStringList draw{"StopAll play", QStringLiteral("draw 1-4: %1").arg(n)};
    EXPECT_EQ(Script(), draw + answers[n - 1] + QStringList{"Play RestPose"});
    EXPECT_EQ(Notices(), Codes{41}) << "notice 41 and nothing at the end";
  }
}

TEST(DrawFromClock, StaysInRangeAndReachesEveryNumber) {
  std::set<int> seen;
  for (int i = 0; i < 400; ++i) seen.insert(DrawFromClock(1, 4));
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4}));
}

TEST_F(Routines, AClickAndARequestDuringTheSleepRunNestedAndEveryoneReports) {
  draws_ = {4};
  int steps = 0;
  auto outerStep = CompanionWaitSteps().processMessagesFor;
  CompanionWaitSteps().processMessagesFor = [&](std::chrono::milliseconds step) {
    if (++steps == 50) {
      actor_.Agent->OnClick(actor_.Agent, "test", 1, 0, 0, 0);
      Request(3);
    }
    outerStep(step);
  };
  const auto start = now_;
  Request(2);
  const QStringList script = Script();
  const auto answer = script.indexOf("Speak Do not bother me! [2052]");
  const auto greeting = script.indexOf("Speak 忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？ [2052]");
  ASSERT_GE(answer, 0) << script.join('\n').toStdString();
  EXPECT_LT(script.indexOf("Play Idle3_2"), answer);
  EXPECT_LT(answer, greeting);
  EXPECT_LT(greeting, script.indexOf("Play Blink")) << "the sleep resumes its own wait after the greeting";
  // The greeting's 4 s lie inside the sleep's 200 s: the deadline holds.
  EXPECT_EQ(now_ - start, std::chrono::seconds(1 + 200 + 4));
  EXPECT_EQ(Notices(), (Codes{41, 20, 20}));
}

TEST_F(Routines, QuitEndsTheInvitationsLongWaitAndItStillReports) {
  int steps = 0;
  auto outerStep = CompanionWaitSteps().processMessagesFor;
  CompanionWaitSteps().processMessagesFor = [&](std::chrono::milliseconds step) {
    if (++steps == 30) Request(70);
    outerStep(step);
  };
  const auto start = now_;
  Request(5);
  EXPECT_LT(now_ - start, std::chrono::seconds(60));
  EXPECT_EQ(Notices(), Codes{20});
  EXPECT_NE(actor_.ChessBrd1, nullptr) << "the game stays open until the process ends";
}

}  // namespace
