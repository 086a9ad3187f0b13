// The routines and the click reaction against the recording character
// service: their requests, waits and notices, and how they nest.

#include "GameFixture.h"

#include <QGuiApplication>
#include <QScreen>

#include <set>

namespace {

using Routines = GameFixture;
using Codes = std::vector<std::uint64_t>;

int ScreenWidth() { return QGuiApplication::primaryScreen()->geometry().width(); }

TEST_F(Routines, EachRequestPlaysItsLinesWithItsWaitsAndReports) {
  struct TCase {
    std::uint64_t code;
    QStringList script;
  };
  const std::vector<TCase> cases{
      {1, {"LanguageID 2052", "Speak 肚子饿了，吃点东西吧。 [2052]", "wait 1",
           "Speak I love cookies. [2052]", "StopAll play", "Play Idle2_2", "Play Idle2_2", "wait 20"}},
      {2, {"LanguageID 2052", "Speak 睡觉了 [2052]", "wait 1", "Speak Sleep is important.  [2052]",
           "StopAll play", "Play Idle3_1", "Play Idle3_2", "wait 200", "StopAll play", "Play Idle3_1",
           "Play Blink", "wait 4"}},
      {3, {"StopAll play", "Play Wave", "LanguageID 2052",
           "Speak 忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？ [2052]", "wait 4"}},
      {4, {"LanguageID 2052", "Speak 我现在要工作了。 [2052]", "wait 1",
           "Speak I hate work,but I must work now. [2052]", "StopAll play", "Play Processing", "wait 20",
           "StopAll play"}},
  };
  // Each starts in English; a Chinese line leaves the later English ones
  // in Chinese.
  for (const TCase& c : cases) {
    Request(22);
    Script();
    Request(c.code);
    EXPECT_EQ(Script(), c.script) << "request " << c.code;
    EXPECT_EQ(Notices(), Codes{20}) << "request " << c.code;
  }
}

TEST_F(Routines, TheRandomActivityPlaysTheDrawnAnimationForItsTime) {
  const std::vector<std::pair<QString, int>> table{
      {"Reading", 120}, {"Reading", 120}, {"Writing", 60}, {"Writing", 60}, {"Searching", 20},
      {"thinking", 20}, {"Idle2_1", 20},  {"Idle3_3", 40}, {"Idle3_3", 40}};
  for (int number = 0; number < 9; ++number) {
    Draws({number});
    drawRanges_.clear();
    Request(0);
    EXPECT_EQ(Script(), (QStringList{"StopAll play", "Show 0", "Show 0", "Play " + table[number].first,
                                     QStringLiteral("wait %1").arg(table[number].second), "StopAll play"}))
        << "number " << number;
    EXPECT_EQ(drawRanges_, (std::vector<std::pair<int, int>>{{0, 9}}));
    EXPECT_EQ(Notices(), Codes{20});
  }
}

TEST_F(Routines, TheTourDrawsYBeforeXAndReportsWithoutWaiting) {
  Draws({9, 10, 20, 30, 40, 599, 799});
  Request(0);
  EXPECT_EQ(Script(), (QStringList{"StopAll play", "Show 0", "Show 0", "MoveTo 20 10 1", "MoveTo 40 30 1",
                                   "MoveTo 799 599 1", QStringLiteral("MoveTo %1 10 1").arg(ScreenWidth() - 150),
                                   "Play GetAttention", "Play GetAttention"}));
  EXPECT_EQ(drawRanges_, (std::vector<std::pair<int, int>>{{0, 9}, {0, 599}, {0, 799}, {0, 599}, {0, 799},
                                                           {0, 599}, {0, 799}}));
  EXPECT_EQ(Notices(), Codes{20});
}

TEST_F(Routines, AClickTellsTheControllerAndGivesOneOfFourAnswers) {
  const std::vector<QStringList> answers{
      {"Speak Yes [1033]", "Play hearing_1", "Play restpose", "Speak May I help you? [1033]"},
      {"Play hearing_2", "Play restpose", "Speak I am here! [1033]"},
      {"Play hearing_3", "Play restpose", "Speak Yes [1033]", "Speak What can I do for you? [1033]"},
      {"Speak Do not bother me! [1033]", "Play confused", "Play restpose"}};
  for (int number = 1; number <= 4; ++number) {
    Draws({number});
    drawRanges_.clear();
    actor_->Agent->OnClick(actor_->Agent, "test", 2, 0, 10, 10);
    EXPECT_EQ(Script(), QStringList{"StopAll play"} + answers[number - 1] + QStringList{"Play RestPose"});
    EXPECT_EQ(drawRanges_, (std::vector<std::pair<int, int>>{{1, 4}}));
    EXPECT_EQ(Notices(), Codes{41}) << "notice 41 and nothing at the end";
  }
}

TEST_F(Routines, DrawsFromTheClockStayInRangeAndReachEveryNumber) {
  std::set<int> seen;
  for (int i = 0; i < 400; ++i) {
    const int n = DrawFromClock(1, 4);
    ASSERT_GE(n, 1);
    ASSERT_LE(n, 4);
    seen.insert(n);
  }
  EXPECT_EQ(seen.size(), 4u);
}

TEST_F(Routines, AClickAndARequestDuringTheSleepRunNestedAndEveryoneReports) {
  Draws({4});
  int steps = 0;
  auto outerStep = CompanionWaitSteps().processMessagesFor;
  CompanionWaitSteps().processMessagesFor = [&](std::chrono::milliseconds step) {
    if (++steps == 50) {
      actor_->Agent->OnClick(actor_->Agent, "test", 1, 0, 0, 0);
      Request(3);
    }
    outerStep(step);
  };
  const auto start = fakeNow_;
  Request(2);
  const QStringList script = Script();
  const auto greeting = script.indexOf("Speak 忙吗？和我聊天吧？下棋也可以。有什么事情我可以帮忙的？ [2052]");
  const auto answer = script.indexOf("Speak Do not bother me! [2052]");
  const auto wakeUp = script.indexOf("Play Blink");
  ASSERT_GE(answer, 0) << script.join('\n').toStdString();
  EXPECT_LT(script.indexOf("Play Idle3_2"), answer);
  EXPECT_LT(answer, greeting);
  EXPECT_LT(greeting, wakeUp) << "the sleep resumes its own wait after the greeting";
  // The greeting's 4 s lie inside the sleep's 200 s: the deadline holds.
  EXPECT_EQ(fakeNow_ - start, std::chrono::seconds(1 + 200 + 4));
  EXPECT_EQ(Notices(), (Codes{41, 20, 20}));
}

TEST_F(Routines, QuitEndsTheInvitationsLongWaitAndItStillReports) {
  int steps = 0;
  auto outerStep = CompanionWaitSteps().processMessagesFor;
  CompanionWaitSteps().processMessagesFor = [&](std::chrono::milliseconds step) {
    if (++steps == 30) Request(70);
    outerStep(step);
  };
  const auto start = fakeNow_;
  Request(5);
  EXPECT_LT(fakeNow_ - start, std::chrono::seconds(60));
  EXPECT_EQ(Notices(), Codes{20});
  EXPECT_NE(actor_->ChessBrd1, nullptr) << "the game stays open until the process ends";
}

TEST_F(Routines, TheInvitationWavesAsksAndWaitsTenThousandSeconds) {
  Request(5);
  EXPECT_EQ(Script(), (QStringList{"StopAll play", "Play Wave", "wait 1", "Speak Hi,Play Chess with me? [1033]",
                                   "MoveTo 500 67 1", "LanguageID 2052", "Speak 你先~~ [2052]", "wait 10001"}));
  EXPECT_EQ(Notices(), Codes{20});
}

}  // namespace
