// The bird's home as the companion keeps it: place, size and voice read at
// start-up and changed by the controller's requests, the time away, the
// names read again.

#include "tests/companion/ActorFixture.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

using HomeTest = ActorFixture;

QRect Primary() { return QGuiApplication::primaryScreen()->geometry(); }

class HomeStart : public ActorFixture {
 protected:
  // Starts with these [parameter] lines kept; the calls of the set-up.
  QStringList StartWith(const QStringList& lines) {
    TSettingsFile settings(program_.filePath("config.ini"));
    settings.WriteInteger("parameter", "firstRun", 1);
    for (const QString& line : lines)
      settings.WriteValue("parameter", line.section('=', 0, 0), line.section('=', 1));
    actor_.FormCreate();
    Notices();
    return Script();
  }
  QStringList Placed(int left, int top) {
    return {QStringLiteral("Top %1").arg(top), QStringLiteral("Left %1").arg(left)};
  }
};

TEST_F(HomeStart, AKeptHomeIsRestoredSizeAndVoiceBeforeThePlace) {
  const QString monitor = QGuiApplication::primaryScreen()->name();
  const QStringList kept = StartWith(
      {"size=large", "volume=40", "mute=1", "monitor=" + monitor, "left=100", "top=50", "perching=1"});
  EXPECT_EQ(kept.mid(4),
            (QStringList{"Scale 1.5", "Volume 40", "Muted 1"} + Placed(100, 50) + QStringList{"Show 0"}));
  EXPECT_TRUE(actor_.Perching);
}

TEST_F(HomeStart, APlaceOffItsMonitorIsPulledBackWholeForTheBirdAsLargeAsItIs) {
  const QString monitor = QGuiApplication::primaryScreen()->name();
  const QStringList kept = StartWith({"size=large", "monitor=" + monitor, "left=99999", "top=-40"});
  EXPECT_TRUE(kept.contains(QStringLiteral("Left %1").arg(Primary().right() + 1 - 300)))
      << kept.join('|').toStdString();
  EXPECT_TRUE(kept.contains(QStringLiteral("Top %1").arg(Primary().top())));
}

TEST_F(HomeStart, AMonitorNoLongerThereGivesThePrimaryOnesAvailableArea) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const QStringList kept = StartWith({"monitor=gone-HDMI-9", "left=30", "top=20", "size=odd", "mute=0"});
  EXPECT_EQ(kept.mid(4), Placed(area.x() + 30, area.y() + 20) + QStringList{"Show 0"})
      << "an unknown size and mute=0 leave the bird as designed";
  EXPECT_FALSE(actor_.Perching);
}

TEST_F(HomeTest, SizeMuteAndVolumeRequestsChangeTheBirdAndAreKept) {
  CreateWithCompletedFirstRun();
  Request(60);
  EXPECT_EQ(Setting("size"), "small");
  Request(62);
  EXPECT_EQ(Setting("size"), "large");
  Request(61);
  EXPECT_EQ(Setting("size"), "normal");
  Request(63);
  EXPECT_EQ(Setting("mute"), "1");
  Request(64);
  EXPECT_EQ(Setting("mute"), "0");
  actor_.HandleRequest(65, 40);
  EXPECT_EQ(Setting("volume"), "40");
  actor_.HandleRequest(65, 250);
  actor_.HandleRequest(65, -3);
  EXPECT_EQ(Setting("volume"), "0");
  EXPECT_EQ(Script(), (QStringList{"Scale 0.75", "Scale 1.5", "Scale 1", "Muted 1", "Muted 0", "Volume 40",
                                   "Volume 100", "Volume 0"}));
  EXPECT_EQ(Notices(), Codes{}) << "none of them is a routine";
}

TEST_F(HomeTest, AwayRoutinesEndAtOnceAndTextsAreNotSpokenUntilItComesBack) {
  CreateWithCompletedFirstRun();
  Request(66);
  Request(66);  // asked twice, it flies once
  EXPECT_EQ(Script(), QStringList{"FlyOff"});
  for (const std::uint64_t routine : {0, 1, 2, 3, 4, 5}) Request(routine);
  EXPECT_EQ(Notices(), (Codes{20, 20, 20, 20, 20, 20}));
  Text("Are you there?");
  EXPECT_EQ(actor_.Edit1->text(), "Are you there?");
  EXPECT_EQ(Script(), QStringList{}) << "no routine ran, no line was said";
  Request(67);
  Request(67);
  EXPECT_EQ(Script(), QStringList{"FlyBack"});
  Request(3);  // the greeting runs again
  EXPECT_TRUE(Script().contains("Play Wave"));
  EXPECT_EQ(Notices(), Codes{20});
}

TEST_F(HomeTest, WhereTheUserLetsGoOfTheBirdIsKeptFromItsMonitorsCorner) {
  CreateWithCompletedFirstRun();
  actor_.Character->setLeft(static_cast<std::int16_t>(Primary().x() + 120));
  actor_.Character->setTop(static_cast<std::int16_t>(Primary().y() + 80));
  ASSERT_TRUE(actor_.Agent->OnDragComplete);
  actor_.Agent->OnDragComplete(actor_.Agent, "test", 1, 0, 0, 0);
  EXPECT_EQ(Setting("monitor"), QGuiApplication::primaryScreen()->name());
  EXPECT_EQ(Setting("left"), "120");
  EXPECT_EQ(Setting("top"), "80");
  EXPECT_EQ(Setting("perching"), "0");
}

TEST_F(HomeTest, NamesReadAgainAreSaidOnlyWhenTheyChanged) {
  TSettingsFile settings(program_.filePath("config.ini"));
  settings.WriteString("parameter", "halname", "Polly");
  settings.WriteString("parameter", "username", "Ann");
  CreateWithCompletedFirstRun();
  EXPECT_EQ(actor_.HalName, "Polly");
  EXPECT_EQ(actor_.UserName, "Ann");
  Request(68);
  EXPECT_EQ(Script(), QStringList{}) << "nothing new to say";
  settings.WriteString("parameter", "halname", "Kiwi");
  Request(68);
  EXPECT_EQ(Script(), QStringList{"Speak Cool, my name is Kiwi [1033]"});
  settings.WriteString("parameter", "username", "Bo");
  Request(68);
  EXPECT_EQ(Script(), QStringList{"Speak Great,Your name is Bo. [1033]"});
  EXPECT_EQ(actor_.UserName, "Bo");
}

}  // namespace
