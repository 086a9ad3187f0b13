// Lively mode's scheduler with a hand-driven clock, local time and a seeded
// random source.

#include "apps/perch-tray/LivelyScheduler.h"
#include "apps/perch-tray/RequestCodes.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace perch;

using namespace std::chrono_literals;
using TTime = std::chrono::steady_clock::time_point;

namespace {

struct TFixture {
  TTime now{};
  int minuteOfDay = 12 * 60;
  std::mt19937 generator{42};
  std::optional<double> fixedRandom;  // when set, every draw gives it

  TLivelyScheduler Make(const TLivelySettings& settings) {
    return TLivelyScheduler(
        settings, [this] { return now; }, [this] { return minuteOfDay; },
        [this] {
          return fixedRandom ? *fixedRandom : std::uniform_real_distribution<double>(0, 1)(generator);
        });
  }
};

constexpr TLivelyBlockers Free{};

// Moves the clock to the scheduler's deadline and takes the request due there.
std::optional<int> RunToDue(TFixture& f, TLivelyScheduler& scheduler,
                            const TLivelyBlockers& blockers = Free) {
  f.now += *scheduler.TimeUntilDue();
  return scheduler.Due(blockers);
}

}  // namespace

TEST(LivelyScheduler, IdleTimesAreDrawnInsideTheirBoundsAndCoverThem) {
  TFixture f;
  TLivelySettings settings;
  settings.leastIdle = 180s;
  settings.mostIdle = 600s;
  auto scheduler = f.Make(settings);
  auto shortest = std::chrono::milliseconds::max();
  auto longest = std::chrono::milliseconds::zero();
  for (int i = 0; i < 2000; ++i) {
    scheduler.RestartIdle();
    const auto wait = *scheduler.TimeUntilDue();
    ASSERT_GE(wait, 180s);
    ASSERT_LE(wait, 600s);
    shortest = std::min(shortest, wait);
    longest = std::max(longest, wait);
  }
  EXPECT_LT(shortest, 190s);  // the draws reach both ends, not one value
  EXPECT_GT(longest, 590s);
}

TEST(LivelyScheduler, TheEdgesOfTheRandomSourceStayInsideTheBounds) {
  TFixture f;
  TLivelySettings settings;
  settings.leastIdle = 5s;
  settings.mostIdle = 9s;
  for (double edge : {0.0, 0.9999999999, 1.0, -0.5, 7.0}) {
    f.fixedRandom = edge;
    auto scheduler = f.Make(settings);
    const auto wait = *scheduler.TimeUntilDue();
    EXPECT_GE(wait, 5s) << edge;
    EXPECT_LE(wait, 9s) << edge;
  }
}

TEST(LivelyScheduler, NothingBeforeTheIdleTimeIsOverThenOneRequest) {
  TFixture f;
  auto scheduler = f.Make({});
  f.now += *scheduler.TimeUntilDue() - 1ms;
  EXPECT_EQ(scheduler.Due(Free), std::nullopt);
  f.now += 1ms;
  EXPECT_NE(scheduler.Due(Free), std::nullopt);
  // Taking it starts a new idle time: no second request at the same moment.
  EXPECT_EQ(scheduler.Due(Free), std::nullopt);
  EXPECT_GE(*scheduler.TimeUntilDue(), 180s);
}

TEST(LivelyScheduler, BlockersHoldTheTurnUntilTheyAreGone) {
  const TLivelyBlockers blocked[] = {
      {.routineRunning = true},
      {.gameOpen = true},
      {.fullScreen = true},
      {.routineRunning = true, .gameOpen = true, .fullScreen = true},
  };
  for (const auto& blockers : blocked) {
    TFixture f;
    auto scheduler = f.Make({});
    EXPECT_EQ(RunToDue(f, scheduler, blockers), std::nullopt);
    f.now += 3h;
    EXPECT_EQ(scheduler.Due(blockers), std::nullopt);
    EXPECT_EQ(*scheduler.TimeUntilDue(), 0ms);
    // The held turn is taken as soon as nothing blocks.
    EXPECT_NE(scheduler.Due(Free), std::nullopt);
  }
}

TEST(LivelyScheduler, OffMeansNeverAndChangedSettingsStartAfresh) {
  TFixture f;
  TLivelySettings off;
  off.enabled = false;
  auto scheduler = f.Make(off);
  EXPECT_EQ(scheduler.TimeUntilDue(), std::nullopt);
  f.now += 24h;
  EXPECT_EQ(scheduler.Due(Free), std::nullopt);

  TLivelySettings on;
  on.leastIdle = on.mostIdle = 7s;
  scheduler.SetSettings(on);
  EXPECT_EQ(*scheduler.TimeUntilDue(), 7s);  // counted from the change, not from the start
}

TEST(LivelyScheduler, NightSleepOnlyAtNightAndOnlyWhenChosen) {
  struct TCase {
    int minuteOfDay;
    bool nightSleep;
    bool sleepPossible;
  };
  const TCase cases[] = {
      {22 * 60, true, true},       {23 * 60 + 59, true, true}, {0, true, true},
      {6 * 60 + 59, true, true},   {7 * 60, true, false},      {12 * 60, true, false},
      {21 * 60 + 59, true, false}, {2 * 60, false, false},
  };
  for (const auto& c : cases) {
    TFixture f;
    f.minuteOfDay = c.minuteOfDay;
    TLivelySettings settings;
    settings.nightSleep = c.nightSleep;
    settings.leastIdle = settings.mostIdle = 1s;
    auto scheduler = f.Make(settings);
    int sleeps = 0;
    for (int i = 0; i < 300; ++i) sleeps += RunToDue(f, scheduler) == RequestSleep;
    EXPECT_EQ(sleeps > 0, c.sleepPossible) << c.minuteOfDay << " " << c.nightSleep;
  }
}

TEST(LivelyScheduler, WeightsAreRespectedOverManyDraws) {
  TFixture f;
  f.minuteOfDay = 23 * 60;
  TLivelySettings settings;
  settings.leastIdle = settings.mostIdle = 1s;
  settings.nightSleep = true;
  settings.randomWeight = 5;
  settings.greetWeight = 2;
  settings.workWeight = 0;
  settings.eatWeight = 1;
  settings.sleepWeight = 2;
  auto scheduler = f.Make(settings);
  constexpr int Draws = 20000;
  std::map<int, int> counts;
  for (int i = 0; i < Draws; ++i) ++counts[*RunToDue(f, scheduler)];
  const std::map<int, double> expected{
      {RequestRandom, 0.5}, {RequestGreet, 0.2}, {RequestEat, 0.1}, {RequestSleep, 0.2}};
  EXPECT_EQ(counts.count(RequestWork), 0u);  // weight 0: never
  for (const auto& [request, share] : expected) {
    EXPECT_NEAR(counts[request] / double(Draws), share, 0.02) << request;
  }
}

TEST(LivelyScheduler, NonsenseSettingsAreMadeSane) {
  TFixture f;
  TLivelySettings settings;
  settings.leastIdle = -5s;
  settings.mostIdle = -10s;
  settings.randomWeight = settings.greetWeight = settings.workWeight = settings.eatWeight = -3;
  settings.sleepWeight = 0;
  auto scheduler = f.Make(settings);
  EXPECT_EQ(scheduler.Settings().leastIdle, 1s);
  EXPECT_EQ(scheduler.Settings().mostIdle, 1s);
  EXPECT_EQ(*scheduler.TimeUntilDue(), 1s);
  // With every weight at nothing, the random routine still serves.
  EXPECT_EQ(RunToDue(f, scheduler), RequestRandom);

  settings.leastIdle = 600s;
  settings.mostIdle = 60s;  // the most below the least
  scheduler.SetSettings(settings);
  EXPECT_EQ(*scheduler.TimeUntilDue(), 600s);
}

TEST(LivelyScheduler, BehavioursBetweenRoutinesOnlyWithTheirWeights) {
  TFixture f;
  TLivelySettings settings;
  settings.leastIdle = settings.mostIdle = 1s;
  {
    // Left out by default: only the routines come.
    auto scheduler = f.Make(settings);
    for (int i = 0; i < 2000; ++i) EXPECT_LE(*RunToDue(f, scheduler), RequestChess);
  }
  settings.randomWeight = settings.greetWeight = settings.workWeight = settings.eatWeight = 0;
  settings.perchWeight = 4;
  settings.hopWeight = 3;
  settings.lookWeight = 0;
  settings.preenWeight = 2;
  settings.chatterWeight = 1;
  auto scheduler = f.Make(settings);
  constexpr int Draws = 20000;
  std::map<int, int> counts;
  for (int i = 0; i < Draws; ++i) ++counts[*RunToDue(f, scheduler)];
  EXPECT_EQ(counts.count(RequestLookAround), 0u);
  const std::map<int, double> expected{
      {RequestPerch, 0.4}, {RequestHop, 0.3}, {RequestPreen, 0.2}, {RequestChatter, 0.1}};
  for (const auto& [request, share] : expected)
    EXPECT_NEAR(counts[request] / double(Draws), share, 0.02) << request;
  // Negative weights from a hand-edited file count as none.
  settings.chatterWeight = -5;
  EXPECT_EQ(f.Make(settings).Settings().chatterWeight, 0);
}
