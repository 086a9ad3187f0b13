// What perch-tray keeps track of: the routines that run, the companion's
// restarts, its own settings file and the login start entry.

#include "apps/perch-tray/Autostart.h"
#include "apps/perch-tray/RequestCodes.h"
#include "apps/perch-tray/RestartBudget.h"
#include "apps/perch-tray/RoutineTracker.h"
#include "apps/perch-tray/TraySettings.h"

#include "tests/support/EnvironmentGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

using namespace perch;

using namespace std::chrono_literals;

TEST(RoutineTracker, NestedRoutinesEndInTurnAndTheGameStaysOpenUntilItsOwnEnd) {
  TRoutineTracker tracker;
  EXPECT_FALSE(tracker.Running());
  tracker.Requested(RequestChess);
  tracker.Requested(RequestGreet);  // asked for during the game: runs nested
  EXPECT_EQ(tracker.Current(), RequestGreet);
  EXPECT_FALSE(tracker.Ended());  // the greeting ended, the game goes on
  EXPECT_TRUE(tracker.GameOpen());
  EXPECT_EQ(tracker.Current(), RequestChess);
  EXPECT_TRUE(tracker.Ended());
  EXPECT_FALSE(tracker.GameOpen());
  // The board's "Exit" posts a second notice nobody asked for: ignored.
  EXPECT_FALSE(tracker.Ended());
  EXPECT_FALSE(tracker.Running());
}

TEST(RoutineTracker, OnlyRoutineRequestsCountAndLostNoticesCannotPileUp) {
  TRoutineTracker tracker;
  for (const int request : {int{RequestChinese}, int{RequestEnglish}, int{RequestQuit}, 6, -1})
    tracker.Requested(request);
  EXPECT_FALSE(tracker.Running());

  for (int i = 0; i < 1000; ++i) tracker.Requested(RequestChess);
  tracker.Requested(RequestEat);
  EXPECT_EQ(tracker.Current(), RequestEat);
  std::size_t open = 0;
  while (tracker.Running()) {
    tracker.Ended();
    ++open;
  }
  EXPECT_EQ(open, TRoutineTracker::MaxOpen);

  tracker.Requested(RequestSleep);
  tracker.Clear();  // the companion started afresh
  EXPECT_FALSE(tracker.Running());
}

TEST(RoutineTracker, AClickLeavesTheRoutinesButTheGameWhoseNoticesStillCome) {
  TRoutineTracker tracker;
  tracker.Requested(RequestSleep);
  tracker.Clicked();  // woken: the sleep's wait goes on, the bird rests
  EXPECT_EQ(tracker.Current(), std::nullopt);
  EXPECT_TRUE(tracker.Running());
  tracker.Requested(RequestGreet);  // a routine asked for after the click is seen
  EXPECT_EQ(tracker.Current(), RequestGreet);
  EXPECT_FALSE(tracker.Ended());
  EXPECT_EQ(tracker.Current(), std::nullopt);
  EXPECT_TRUE(tracker.Ended());  // the sleep's own notice

  tracker.Requested(RequestChess);
  tracker.Requested(RequestEat);
  tracker.Clicked();  // the board stays on screen
  EXPECT_EQ(tracker.Current(), RequestChess);
  EXPECT_TRUE(tracker.GameOpen());
}

TEST(RoutineTracker, AClosedGameGivesWayToExitsActivityUntilItsTwoNotices) {
  TRoutineTracker tracker;
  tracker.GameClosed();  // no game: nothing
  EXPECT_FALSE(tracker.Running());

  tracker.Requested(RequestChess);
  tracker.GameClosed();
  EXPECT_FALSE(tracker.GameOpen());
  EXPECT_EQ(tracker.Current(), RequestRandom);
  EXPECT_TRUE(tracker.Ended());   // the activity's notice
  EXPECT_FALSE(tracker.Ended());  // "Exit"'s own: ignored
  EXPECT_FALSE(tracker.Running());

  // Closed while a greeting ran inside the game: "Exit" runs inside the
  // greeting's wait, so its activity ends before the greeting.
  tracker.Requested(RequestSleep);
  tracker.Requested(RequestChess);
  tracker.Requested(RequestGreet);
  tracker.GameClosed();
  EXPECT_FALSE(tracker.GameOpen());
  EXPECT_EQ(tracker.Current(), RequestRandom);
  EXPECT_FALSE(tracker.Ended());
  EXPECT_EQ(tracker.Current(), RequestGreet);
  EXPECT_FALSE(tracker.Ended());
  EXPECT_EQ(tracker.Current(), RequestSleep);
}

TEST(RestartBudget, ThreeRestartsInAnyMinute) {
  TRestartBudget budget;
  const auto start = std::chrono::steady_clock::time_point{} + 1h;
  EXPECT_TRUE(budget.TryRestart(start));
  EXPECT_TRUE(budget.TryRestart(start + 10s));
  EXPECT_TRUE(budget.TryRestart(start + 20s));
  EXPECT_FALSE(budget.TryRestart(start + 59s));
  // A minute after the first, one place is free again; a refused try takes none.
  EXPECT_TRUE(budget.TryRestart(start + 60s));
  EXPECT_FALSE(budget.TryRestart(start + 69s));
  EXPECT_TRUE(budget.TryRestart(start + 70s));
}

TEST(Autostart, ExecFieldQuotesAndEscapesWhatTheDesktopEntryFormatNeeds) {
  struct TCase {
    const char* program;
    const char* field;
  };
  const TCase cases[] = {
      {"/usr/bin/perch-tray", "/usr/bin/perch-tray"},
      {"/home/ann/My Apps/perch-tray", "\"/home/ann/My Apps/perch-tray\""},
      {"/opt/100%/perch-tray", "/opt/100%%/perch-tray"},
      {"/opt/a\"b/perch-tray", "\"/opt/a\\\\\"b/perch-tray\""},
      {"/opt/$HOME/perch-tray", "\"/opt/\\\\$HOME/perch-tray\""},
      {"/opt/back\\slash/perch-tray", "\"/opt/back\\\\\\\\slash/perch-tray\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DesktopExecField(QString::fromUtf8(c.program)), QString::fromUtf8(c.field)) << c.program;
  }
}

// A private $XDG_CONFIG_HOME for the settings and the autostart entry.
class TrayFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(config_.isValid());
    configHome_.Set(QFile::encodeName(config_.path()).toStdString());
  }
  void WriteConfig(const char* text) {
    QDir().mkpath(config_.filePath("perch"));
    QFile file(config_.filePath("perch/perch-tray.conf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
  }

  QTemporaryDir config_;
  TEnvironmentGuard configHome_{"XDG_CONFIG_HOME"};
};

TEST_F(TrayFiles, SettingsFileValuesOutOfReasonFallBackOrAreBounded) {
  WriteConfig(
      "[lively]\nenabled=perhaps\nleastIdleSeconds=-40\nmostIdleSeconds=99999999999999999999\n"
      "nightSleep=yes\ngreetWeight=abc\nworkWeight=-2\neatWeight=5000\n");
  const TLivelySettings lively = TTraySettings().Lively();
  EXPECT_TRUE(lively.enabled);       // not a flag: the default
  EXPECT_EQ(lively.leastIdle, 1s);   // below a second: a second
  EXPECT_EQ(lively.mostIdle, 600s);  // not a number that fits: the default
  EXPECT_TRUE(lively.nightSleep);
  EXPECT_EQ(lively.greetWeight, TLivelySettings{}.greetWeight);
  EXPECT_EQ(lively.workWeight, 0);
  EXPECT_EQ(lively.eatWeight, 1000);
}

TEST_F(TrayFiles, SettingsReadBackWhatWasWritten) {
  TLivelySettings lively;
  lively.enabled = false;
  lively.leastIdle = 5s;
  lively.mostIdle = 8s;
  lively.nightSleep = true;
  lively.sleepWeight = 9;
  lively.perchWeight = 4;
  lively.chatterWeight = 2;
  {
    TTraySettings settings;
    settings.SetLively(lively);
    settings.SetChinese(true);
  }
  const TTraySettings settings;
  const TLivelySettings read = settings.Lively();
  EXPECT_EQ(read.enabled, false);
  EXPECT_EQ(read.leastIdle, 5s);
  EXPECT_EQ(read.mostIdle, 8s);
  EXPECT_EQ(read.nightSleep, true);
  EXPECT_EQ(read.sleepWeight, 9);
  EXPECT_EQ(read.perchWeight, 4);
  EXPECT_EQ(read.hopWeight, 0);
  EXPECT_EQ(read.chatterWeight, 2);
  EXPECT_TRUE(settings.Chinese());
  EXPECT_EQ(settings.Path(), config_.filePath("perch/perch-tray.conf"));
}

TEST_F(TrayFiles, SayHistoryKeepsTheTenNewestWithoutRepeats) {
  TTraySettings settings;
  for (int i = 1; i <= 12; ++i) settings.RememberSaid(QStringLiteral("text %1").arg(i));
  settings.RememberSaid(QStringLiteral("text 5"));
  settings.RememberSaid(QString());
  const QStringList history = TTraySettings().SayHistory();
  ASSERT_EQ(history.size(), TTraySettings::HistoryLength);
  EXPECT_EQ(history.front(), QStringLiteral("text 5"));
  EXPECT_EQ(history.at(1), QStringLiteral("text 12"));
  EXPECT_EQ(history.count(QStringLiteral("text 5")), 1);
  EXPECT_FALSE(history.contains(QStringLiteral("text 1")));
}

TEST_F(TrayFiles, AutostartEntryIsWrittenValidAndRemoved) {
  const QString program = QStringLiteral("/opt/my perch/perch-tray");
  ASSERT_TRUE(SetAutostart(true, program));
  EXPECT_TRUE(AutostartEnabled());
  EXPECT_EQ(AutostartPath(), config_.filePath("autostart/perch.desktop"));
  QFile entry(AutostartPath());
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(entry.readAll());
  EXPECT_TRUE(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
  EXPECT_TRUE(text.contains(QStringLiteral("\nExec=\"/opt/my perch/perch-tray\"\n")));
  if (std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0) {
    const QByteArray command = "desktop-file-validate '" + AutostartPath().toLocal8Bit() + "'";
    EXPECT_EQ(std::system(command.constData()), 0);
  }
  ASSERT_TRUE(SetAutostart(false, program));
  EXPECT_FALSE(AutostartEnabled());
  EXPECT_TRUE(SetAutostart(false, program));  // removing what is not there is no error
}
