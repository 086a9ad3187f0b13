#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Section = QStringLiteral("parameter");

void WriteRaw(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

ino_t Inode(const QString& path) {
  struct stat status {};
  stat(QFile::encodeName(path).constData(), &status);
  return status.st_ino;
}

TEST(SettingsLocation, BesideTheProgramWhenWritableElseInTheUserConfigFolder) {
  QTemporaryDir program, config;
  const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  EXPECT_EQ(SettingsLocation(program.path()), program.path() + "/config.ini");
  const QString installed = program.path() + "/installed";
  QDir().mkdir(installed);
  chmod(QFile::encodeName(installed).constData(), 0555);
  if (geteuid() != 0) {  // root may write anywhere
    EXPECT_EQ(SettingsLocation(installed), config.path() + "/perch/config.ini");
  }
  EXPECT_EQ(SettingsLocation(program.path() + "/missing"), config.path() + "/perch/config.ini");
  // Installed under a prefix the user may write to (~/.local): the data
  // folder beside bin/ marks it, and the settings stay out of bin/.
  QDir().mkpath(program.path() + "/prefix/bin");
  QDir().mkpath(program.path() + "/prefix/share/perch/characters");
  EXPECT_EQ(SettingsLocation(program.path() + "/prefix/bin"), config.path() + "/perch/config.ini");
  qputenv("XDG_CONFIG_HOME", "not/absolute");
  EXPECT_EQ(SettingsLocation(program.path() + "/missing"), QDir::homePath() + "/.config/perch/config.ini");
  saved.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", saved);
}

TEST(SettingsFile, OnlyAWellFormedOneCountsAsCompletedFirstRun) {
  QTemporaryDir folder;
  const QString path = folder.filePath("config.ini");
  TSettingsFile settings(path);
  EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), 0) << "missing file";
  const std::pair<QByteArray, int> cases[] = {
      {"[parameter]\nfirstRun=1\n", 1},
      {"; comment\n[parameter]\n firstRun = 1 \r\nusername=Ann\n", 1},
      {"[parameter]\nfirstRun=2\n", 2},
      {"[parameter]\nfirstRun=yes\n", 0},
      {"[parameter]\nfirstRun=1abc\n", 0},
      {"[other]\nfirstRun=1\n", 0},
      {"[parameter]\nfirstRun=1\ngarbage line\n", 0},
      {"[parameter\nfirstRun=1\n", 0},
      {"[parameter]\nfirstRun=1\nusername=\xff\xfe\n", 0},  // not UTF-8
      {QByteArray("\0\0\0", 3), 0}};
  for (const auto& [bytes, expected] : cases) {
    WriteRaw(path, bytes);
    EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), expected) << bytes.toStdString();
  }
}

TEST(SettingsFile, WritesCreateTheFolderAndKeepEverythingElse) {
  QTemporaryDir folder;
  const QString path = folder.filePath("deep/perch/config.ini");
  TSettingsFile settings(path);
  const QString odd = QStringLiteral("Ann = \"the\" ;user; \\ 安\x01");
  ASSERT_TRUE(settings.WriteString(Section, "username", odd));
  ASSERT_TRUE(settings.WriteString(Section, "halname", "two\nlines"));
  ASSERT_TRUE(settings.WriteInteger(Section, "firstRun", 1));
  ASSERT_TRUE(settings.WriteString("other", "key", "value"));
  EXPECT_EQ(settings.ReadString(Section, "username"), odd);
  EXPECT_EQ(settings.ReadString(Section, "halname"), QString("two\nlines"));
  EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), 1);
  EXPECT_EQ(settings.ReadString("other", "key"), QString("value"));
  EXPECT_EQ(QDir(folder.filePath("deep/perch")).entryList(QDir::Files), QStringList{"config.ini"})
      << "no temporary file left behind";

  // An unwritable place is reported, not fatal.
  WriteRaw(folder.filePath("file"), "x");
  TSettingsFile blocked(folder.filePath("file/config.ini"));
  EXPECT_FALSE(blocked.WriteInteger(Section, "firstRun", 1));
  EXPECT_EQ(blocked.ReadInteger(Section, "firstRun", 0), 0);
}

TEST(SettingsFile, AWriteReplacesTheFileWholeAndMendsADamagedOne) {
  QTemporaryDir folder;
  const QString path = folder.filePath("config.ini");
  WriteRaw(path, "[parameter]\nusername=Ann\nthis is not ini\n");
  const ino_t before = Inode(path);
  TSettingsFile settings(path);
  ASSERT_TRUE(settings.WriteInteger(Section, "firstRun", 1));
  // A new file renamed over the old: a crash meanwhile leaves the old intact.
  EXPECT_NE(Inode(path), before);
  EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), 1) << "well formed again";
  EXPECT_EQ(settings.ReadString(Section, "username"), QString("Ann"));
}

}  // namespace
