// perch-tray.conf as other programs see it: read back by a second process,
// by Qt's own INI reader (which wrote the file of perch-tray 0.2.0), in the
// encodings users' files come in, and kept whole when the disk is full.

#include "apps/perch-tray/Autostart.h"
#include "apps/perch-tray/IniStringList.h"
#include "apps/perch-tray/TraySettings.h"

#include "tests/support/EnvironmentGuard.h"
#include "tests/support/FullFolder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace perch;

namespace {

const QStringList Awkward{
    QStringLiteral("你好"),  QStringLiteral("a, b"),        QStringLiteral("q\"x\\y"),
    QStringLiteral(" lead"), QStringLiteral("tab\tx"),      QStringLiteral("semi;=x"),
    QStringLiteral("@at"),   QStringLiteral("line\nbreak"), QStringLiteral("\\x41 not hex")};

QByteArray ReadRaw(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteRaw(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(path.section(u'/', 0, -2));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

class TraySettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(config_.isValid());
    configHome_.Set(QFile::encodeName(config_.path()).toStdString());
  }
  QString Path() const { return config_.filePath("perch/perch-tray.conf"); }

  QTemporaryDir config_;
  TEnvironmentGuard configHome_{"XDG_CONFIG_HOME"};
};

TEST(IniStringList, ReadsAndWritesListsAsQtsOwnIniReaderDoes) {
  QTemporaryDir folder;
  const QString path = folder.filePath("lists.conf");
  {
    QSettings qt(path, QSettings::IniFormat);
    qt.setValue("say/history", Awkward);
    qt.setValue("say/one", QStringList{"only"});
    qt.setValue("say/none", QStringList{});
  }
  TSettingsFile file(path);
  EXPECT_EQ(ParseIniStringList(file.ReadValue("say", "history").value_or("")), Awkward);
  EXPECT_EQ(ParseIniStringList(file.ReadValue("say", "one").value_or("")), QStringList{"only"});
  EXPECT_EQ(ParseIniStringList(file.ReadValue("say", "none").value_or("")), QStringList{});

  ASSERT_TRUE(file.WriteValue("ours", "history", FormatIniStringList(Awkward)));
  ASSERT_TRUE(file.WriteValue("ours", "none", FormatIniStringList({})));
  const QSettings qt(path, QSettings::IniFormat);
  EXPECT_EQ(qt.value("ours/history").toStringList(), Awkward);
  EXPECT_EQ(qt.value("ours/none").toStringList(), QStringList{});
}

// perch-tray 0.2.0 wrote its settings through QSettings, which keeps a
// group named "general" as "[%General]" and reads it back only as
// "General": the language and the notice were lost at every start.
TEST_F(TraySettingsFile, AFileOfTheLastVersionReadsAsItWasMeant) {
  {
    QSettings old(Path(), QSettings::IniFormat);
    old.setValue("general/language", "chinese");
    old.setValue("general/trayNoticeShown", true);
    old.setValue("say/history", Awkward);
    old.setValue("lively/leastIdleSeconds", 42);
  }
  ASSERT_TRUE(ReadRaw(Path()).contains("[%General]"));
  TTraySettings settings;
  EXPECT_TRUE(settings.Chinese());
  EXPECT_TRUE(settings.TrayNoticeShown());
  EXPECT_EQ(settings.SayHistory(), Awkward);
  EXPECT_EQ(settings.Lively().leastIdle, std::chrono::seconds(42));
  // A new choice wins over what the old section says.
  settings.SetChinese(false);
  EXPECT_FALSE(TTraySettings().Chinese());
}

TEST_F(TraySettingsFile, WhatOneProcessWritesTheNextReads) {
  TTraySettings settings;
  settings.SetChinese(true);
  settings.SetTrayNoticeShown();
  settings.RememberSaid(QStringLiteral("早上好, Ann"));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A process of its own: nothing is cached across this line.
    const TTraySettings fresh;
    const bool same = fresh.Chinese() && fresh.TrayNoticeShown() &&
                      fresh.SayHistory() == QStringList{QStringLiteral("早上好, Ann")};
    _exit(same ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadRaw(Path()).toStdString();
  // Qt's reader, as a second implementation, agrees on the list.
  const QSettings qt(Path(), QSettings::IniFormat);
  EXPECT_EQ(qt.value("say/history").toStringList(), QStringList{QStringLiteral("早上好, Ann")});
}

TEST_F(TraySettingsFile, AGb18030FileKeepsItsChineseAndAFifoIsNotWaitedOn) {
  // "你好" and "小鸟" in GB18030, as a Chinese editor may save the file.
  const QByteArray gb = "[say]\nhistory=\xc4\xe3\xba\xc3, \xd0\xa1\xc4\xf1\n";
  WriteRaw(Path(), gb);
  TTraySettings settings;
  EXPECT_EQ(settings.SayHistory(), (QStringList{QStringLiteral("你好"), QStringLiteral("小鸟")}));
  settings.SetChinese(true);
  EXPECT_EQ(ReadRaw(Path()), gb + "\n[general]\nlanguage=chinese\n") << "written back in GB18030";
  EXPECT_EQ(TTraySettings().SayHistory(), (QStringList{QStringLiteral("你好"), QStringLiteral("小鸟")}));

  QFile::remove(Path());
  ASSERT_EQ(mkfifo(QFile::encodeName(Path()).constData(), 0600), 0);
  EXPECT_FALSE(TTraySettings().Chinese());
  EXPECT_TRUE(TTraySettings().Lively().enabled == TLivelySettings{}.enabled);
}

TEST(TrayFilesOnAFullDisk, TheSettingsAndTheLoginEntryStayAsTheyWere) {
  TFullFolder disk;
  if (!disk.Ready()) GTEST_SKIP() << disk.Why();
  TEnvironmentGuard configHome{"XDG_CONFIG_HOME"};
  configHome.Set(disk.Path());
  const QString conf = QString::fromStdString(disk.Path()) + "/perch/perch-tray.conf";
  const QByteArray old = "[general]\nlanguage=english\n\n[say]\nhistory=hello\n";
  WriteRaw(conf, old);
  ASSERT_TRUE(SetAutostart(true, QStringLiteral("/usr/bin/perch-tray")));
  const QByteArray entry = ReadRaw(AutostartPath());
  ASSERT_TRUE(disk.Fill());

  TTraySettings settings;
  settings.SetChinese(true);
  settings.RememberSaid(QString(2000, u'x'));
  EXPECT_EQ(ReadRaw(conf), old);
  EXPECT_FALSE(settings.Chinese());
  EXPECT_FALSE(SetAutostart(true, QStringLiteral("/opt/other place/perch-tray")));
  EXPECT_EQ(ReadRaw(AutostartPath()), entry);
}

}  // namespace

namespace {

// The language mode: the voice choices of earlier versions read as the
// one-language modes; a first start chooses from the locale, a later one
// keeps what the file says (or its absence, the texts as written).
TEST_F(TraySettingsFile, TheLanguageModeReadsEarlierFilesAndIsChosenOnlyOnTheFirstStart) {
  EXPECT_TRUE(TTraySettings().ChooseLanguageOnFirstStart("zh_TW"));
  EXPECT_EQ(TTraySettings().LanguageMode(), TLanguageMode::Chinese);
  EXPECT_FALSE(TTraySettings().ChooseLanguageOnFirstStart("de_DE")) << "the file is there now";
  EXPECT_EQ(TTraySettings().LanguageMode(), TLanguageMode::Chinese);

  QFile::remove(Path());
  EXPECT_TRUE(TTraySettings().ChooseLanguageOnFirstStart("C"));
  EXPECT_EQ(TTraySettings().LanguageMode(), TLanguageMode::English);

  WriteRaw(Path(), "[lively]\nenabled=true\n");
  EXPECT_FALSE(TTraySettings().ChooseLanguageOnFirstStart("zh_CN"));
  EXPECT_EQ(TTraySettings().LanguageMode(), std::nullopt) << "none chosen: the companion's own";

  const std::pair<QByteArray, std::optional<TLanguageMode>> files[] = {
      {"[general]\nlanguage=english\n", TLanguageMode::English},
      {"[%General]\nlanguage=chinese\n", TLanguageMode::Chinese},
      {"[general]\nlanguage=Written\n", TLanguageMode::Written},
      {"[general]\nlanguage=martian\n", std::nullopt}};
  for (const auto& [bytes, mode] : files) {
    WriteRaw(Path(), bytes);
    EXPECT_EQ(TTraySettings().LanguageMode(), mode) << bytes.toStdString();
  }
  TTraySettings settings;
  settings.SetLanguageMode(TLanguageMode::Written);
  EXPECT_FALSE(settings.Chinese());
  EXPECT_EQ(ReadRaw(Path()), "[general]\nlanguage=written\n");
  settings.SetChinese(true);
  EXPECT_EQ(settings.LanguageMode(), TLanguageMode::Chinese);
}

}  // namespace

TEST(TraySettings, TheTimeAwayIsKeptInUtcUntilShownOrNotAtAll) {
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const QString path = folder.filePath("perch-tray.conf");
  TTraySettings settings(path);
  EXPECT_EQ(settings.HiddenUntil(), std::nullopt);
  // A local time is kept as the same moment in UTC, to the second.
  const QDateTime back = QDateTime(QDate(2026, 12, 10), QTime(9, 15, 30), QTimeZone(3600));
  settings.SetHiddenUntil(back);
  EXPECT_TRUE(ReadRaw(path).contains("[hide]\nuntil=2026-12-10T08:15:30Z\n")) << ReadRaw(path).toStdString();
  EXPECT_EQ(TTraySettings(path).HiddenUntil(), back);
  settings.SetHiddenUntil(QDateTime());
  ASSERT_TRUE(TTraySettings(path).HiddenUntil().has_value());
  EXPECT_TRUE(TTraySettings(path).HiddenUntil()->isNull()) << "until shown again";
  settings.SetHiddenUntil(std::nullopt);
  EXPECT_EQ(TTraySettings(path).HiddenUntil(), std::nullopt);
  // What a hand could write and nobody can read hides nothing.
  WriteRaw(path, "[hide]\nuntil=next tuesday\n");
  EXPECT_EQ(TTraySettings(path).HiddenUntil(), std::nullopt);
}
