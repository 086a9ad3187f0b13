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

QByteArray ReadRaw(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TEnvironmentValue {
 public:
  TEnvironmentValue(const char* name, const QByteArray& value) : name_(name), old_(qgetenv(name)) {
    hadOld_ = qEnvironmentVariableIsSet(name);
    qputenv(name, value);
  }
  ~TEnvironmentValue() {
    if (hadOld_) qputenv(name_, old_);
    else qunsetenv(name_);
  }

 private:
  const char* name_;
  QByteArray old_;
  bool hadOld_;
};

}  // namespace

TEST(SettingsLocation, BesideTheProgramWhenWritableElseInTheUserConfigFolder) {
  QTemporaryDir program, config;
  TEnvironmentValue configHome("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  EXPECT_EQ(SettingsLocation(program.path()), program.path() + "/config.ini");

  const QString installed = program.path() + "/installed";
  QDir().mkdir(installed);
  chmod(installed.toLocal8Bit().constData(), 0555);
  if (geteuid() != 0) {  // root may write anywhere
    EXPECT_EQ(SettingsLocation(installed), config.path() + "/perch/config.ini");
  }
  EXPECT_EQ(SettingsLocation(program.path() + "/missing"), config.path() + "/perch/config.ini");

  TEnvironmentValue relative("XDG_CONFIG_HOME", "not/absolute");
  EXPECT_EQ(SettingsLocation(program.path() + "/missing"), QDir::homePath() + "/.config/perch/config.ini");
}

TEST(SettingsFile, OnlyAWellFormedOneCountsAsCompletedFirstRun) {
  QTemporaryDir folder;
  const QString path = folder.filePath("config.ini");
  TSettingsFile settings(path);
  auto firstRun = [&] { return settings.ReadInteger(Section, "firstRun", 0); };

  EXPECT_EQ(firstRun(), 0) << "missing file";
  WriteRaw(path, "[parameter]\nfirstRun=1\n");
  EXPECT_EQ(firstRun(), 1);
  WriteRaw(path, "; comment\n[parameter]\n firstRun = 1 \r\nusername=Ann\n");
  EXPECT_EQ(firstRun(), 1);
  WriteRaw(path, "[parameter]\nfirstRun=2\n");
  EXPECT_EQ(firstRun(), 2);
  WriteRaw(path, "[parameter]\nfirstRun=yes\n");
  EXPECT_EQ(firstRun(), 0);
  WriteRaw(path, "[parameter]\nfirstRun=1abc\n");
  EXPECT_EQ(firstRun(), 0);
  WriteRaw(path, "[other]\nfirstRun=1\n");
  EXPECT_EQ(firstRun(), 0);
  WriteRaw(path, "[parameter]\nfirstRun=1\ngarbage line\n");
  EXPECT_EQ(firstRun(), 0) << "malformed";
  WriteRaw(path, "[parameter\nfirstRun=1\n");
  EXPECT_EQ(firstRun(), 0) << "malformed section";
  WriteRaw(path, "[parameter]\nfirstRun=1\nusername=\xff\xfe\n");
  EXPECT_EQ(firstRun(), 0) << "not UTF-8";
  WriteRaw(path, QByteArray("\0\0\0", 3));
  EXPECT_EQ(firstRun(), 0) << "binary junk";
}

TEST(SettingsFile, WritesCreateTheFolderAndKeepEverythingElse) {
  QTemporaryDir folder;
  const QString path = folder.filePath("deep/perch/config.ini");
  TSettingsFile settings(path);
  ASSERT_TRUE(settings.WriteString(Section, "username", "Ann = \"the\" ;user; \\ 安"));
  ASSERT_TRUE(settings.WriteString(Section, "halname", "two\nlines"));
  ASSERT_TRUE(settings.WriteInteger(Section, "firstRun", 1));
  ASSERT_TRUE(settings.WriteString("other", "key", "value"));

  EXPECT_EQ(settings.ReadString(Section, "username"), QString("Ann = \"the\" ;user; \\ 安"));
  EXPECT_EQ(settings.ReadString(Section, "halname"), QString("two\nlines"));
  EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), 1);
  EXPECT_EQ(settings.ReadString("other", "key"), QString("value"));
  EXPECT_TRUE(ReadRaw(path).contains("[parameter]\n"));
  EXPECT_EQ(QDir(folder.filePath("deep/perch")).entryList(QDir::Files), QStringList{"config.ini"})
      << "no temporary file left behind";
}

TEST(SettingsFile, AWriteReplacesTheFileWholeAndMendsADamagedOne) {
  QTemporaryDir folder;
  const QString path = folder.filePath("config.ini");
  WriteRaw(path, "[parameter]\nusername=Ann\nthis is not ini\n");
  struct stat before {};
  stat(path.toLocal8Bit().constData(), &before);

  TSettingsFile settings(path);
  ASSERT_TRUE(settings.WriteInteger(Section, "firstRun", 1));
  struct stat after {};
  stat(path.toLocal8Bit().constData(), &after);
  // A new file renamed over the old: a crash meanwhile leaves the old intact.
  EXPECT_NE(before.st_ino, after.st_ino);
  EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), 1);
  EXPECT_EQ(settings.ReadString(Section, "username"), QString("Ann"));
  EXPECT_FALSE(ReadRaw(path).contains("not ini"));
}

TEST(SettingsFile, AnUnwritablePlaceIsReportedNotFatal) {
  QTemporaryDir folder;
  WriteRaw(folder.filePath("file"), "x");
  TSettingsFile settings(folder.filePath("file/config.ini"));
  EXPECT_FALSE(settings.WriteInteger(Section, "firstRun", 1));
  EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), 0);
}
