// The game window's options: chosen in the menus, kept in the settings file
// and read back by another process; applied to a board, where the options
// left alone change nothing.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "chess/board/TChessBrd.h"
#include "companion/GameMenus.h"
#include "companion/SettingsFile.h"

using namespace perch;

namespace {

// What a second process reads from the file.
QString ReadBackElsewhere(const QString& path) {
  QProcess reader;
  reader.start(QStringLiteral(PERCH_GAME_OPTIONS_READER), {path});
  if (!reader.waitForFinished(10000) || reader.exitCode() != 0) return QStringLiteral("reader failed");
  return QString::fromUtf8(reader.readAllStandardOutput()).trimmed();
}

const QString Today = QStringLiteral(
    "depth=1 playAsBlack=0 flipBoard=0 coordinates=0 showLastMove=0 slideMoves=0 varyMoves=0 clickMoves=0");

TEST(GameOptions, ChoicesInTheMenusAreKeptForTheNextRunAndNothingElseIsWritten) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("config.ini"));
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[parameter]\nfirstRun=1\nusername=Ann\n");
  }
  EXPECT_EQ(ReadBackElsewhere(path), Today) << "nothing chosen: the game as it was";

  TSettingsFile settings(path);
  TGameMenuBar menus(nullptr, {}, ReadGameOptions(settings));
  menus.OnOptionsChanged = [&](const TGameOptions& options, const TGameOptions& before) {
    WriteGameOptions(settings, options, before);
  };
  EXPECT_EQ(menus.Item(QStringLiteral("takeBack")), nullptr) << "a command not given has no item";
  menus.Item(QStringLiteral("depth4"))->trigger();
  menus.Item(QStringLiteral("playAsBlack"))->trigger();
  menus.Item(QStringLiteral("showLastMove"))->trigger();
  menus.Item(QStringLiteral("clickMoves"))->trigger();
  menus.Item(QStringLiteral("clickMoves"))->trigger();  // and off again
  EXPECT_EQ(ReadBackElsewhere(path),
            QStringLiteral("depth=4 playAsBlack=1 flipBoard=0 coordinates=0 showLastMove=1 slideMoves=0 "
                           "varyMoves=0 clickMoves=0"));
  EXPECT_EQ(settings.ReadString(QStringLiteral("parameter"), QStringLiteral("username")),
            QStringLiteral("Ann"));
  EXPECT_FALSE(settings.ReadValue(QStringLiteral("chess"), QStringLiteral("flipBoard")).has_value())
      << "an option never touched is not written";

  // A menu made from the file shows the choices.
  TGameMenuBar again(nullptr, {}, ReadGameOptions(settings));
  EXPECT_TRUE(again.Item(QStringLiteral("depth4"))->isChecked());
  EXPECT_FALSE(again.Item(QStringLiteral("depth1"))->isChecked());
  EXPECT_TRUE(again.Item(QStringLiteral("playAsBlack"))->isChecked());
  EXPECT_FALSE(again.Item(QStringLiteral("clickMoves"))->isChecked());
}

TEST(GameOptions, ValuesOutOfRangeKeepTheDefaults) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("config.ini"));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[chess]\ndepth=9\nplayAsBlack=2\nflipBoard=yes\ncoordinates=1\n");
  file.close();
  EXPECT_EQ(ReadBackElsewhere(path),
            QStringLiteral("depth=1 playAsBlack=0 flipBoard=0 coordinates=1 showLastMove=0 slideMoves=0 "
                           "varyMoves=0 clickMoves=0"));
  TGameOptions defaults;
  defaults.depth = 3;  // perch-board's
  EXPECT_EQ(ReadGameOptions(TSettingsFile(path), defaults).depth, 3);
}

TEST(GameOptions, TheDefaultsLeaveABoardAsItWasAndTheOthersShowOnIt) {
  TChessBrd plain;
  plain.Paint();
  TChessBrd board;
  board.Paint();
  ApplyBoardOptions(board, TGameOptions{});
  EXPECT_EQ(board.Canvas(), plain.Canvas());
  EXPECT_EQ(board.SearchDepth(), 1);
  EXPECT_TRUE(board.AnimateMoves());
  EXPECT_EQ(board.AnimationDelay(), 0);

  TGameOptions o;
  o.depth = 8;
  o.flipBoard = o.coordinates = o.showLastMove = o.slideMoves = o.clickMoves = o.varyMoves = true;
  ApplyBoardOptions(board, o);
  EXPECT_EQ(board.SearchDepth(), 8);
  EXPECT_TRUE(board.WhiteOnTop());
  EXPECT_EQ(board.DisplayCoords(), (CoordSet{DisplayCoords::West, DisplayCoords::South}));
  EXPECT_TRUE(board.ShowLastMove());
  EXPECT_GT(board.AnimationDelay(), 0);
  EXPECT_TRUE(board.ClickMoves());
  EXPECT_TRUE(board.VaryMoves());
  EXPECT_FALSE(board.ComputerPlaysWhite()) << "the side waits for the next game";
  ApplyBoardOptions(board, TGameOptions{});
  EXPECT_EQ(board.Canvas(), plain.Canvas()) << "all off again: as it was";
  EXPECT_EQ(board.AnimationDelay(), 0);
  EXPECT_FALSE(board.VaryMoves());

  o.playAsBlack = true;
  ApplyBoardSide(board, o);
  EXPECT_TRUE(board.ComputerPlaysWhite());
  EXPECT_FALSE(board.ComputerPlaysBlack());
}

}  // namespace
