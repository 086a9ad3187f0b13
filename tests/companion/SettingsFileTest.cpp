#include "companion/SettingsFile.h"

#include "tests/support/EnvironmentGuard.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

using namespace perch;

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
  TEnvironmentGuard configHome("XDG_CONFIG_HOME", QFile::encodeName(config.path()).toStdString());
  EXPECT_EQ(SettingsLocation(program.path()), program.path() + "/config.ini");
  EXPECT_EQ(SettingsLocation(program.path() + "/missing"), config.path() + "/perch/config.ini");
  // Installed under a prefix the user may write to (~/.local): the data
  // folder beside bin/ marks it, and the settings stay out of bin/.
  QDir().mkpath(program.path() + "/prefix/bin");
  QDir().mkpath(program.path() + "/prefix/share/perch/characters");
  EXPECT_EQ(SettingsLocation(program.path() + "/prefix/bin"), config.path() + "/perch/config.ini");
  configHome.Set("not/absolute");
  EXPECT_EQ(SettingsLocation(program.path() + "/missing"), QDir::homePath() + "/.config/perch/config.ini");
}

TEST(SettingsLocation, InTheUserConfigFolderWhenTheProgramFolderIsReadOnly) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write to any folder, so none is read-only here";
  QTemporaryDir program, config;
  TEnvironmentGuard configHome("XDG_CONFIG_HOME", QFile::encodeName(config.path()).toStdString());
  const QString installed = program.path() + "/installed";
  ASSERT_TRUE(QDir().mkdir(installed));
  ASSERT_EQ(chmod(QFile::encodeName(installed).constData(), 0555), 0);
  EXPECT_EQ(SettingsLocation(installed), config.path() + "/perch/config.ini");
}

QByteArray ReadRaw(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Each file as it is found, what "firstRun" reads from it, and the file
// after firstRun := 1 is written.
TEST(SettingsFile, ReadAsAPrivateProfileAndWrittenBackLineForLine) {
  struct Case {
    QByteArray in;
    int read;
    QByteArray written;
  } const cases[] = {
      {"<missing>", 0, "[parameter]\nfirstRun=1\n"},
      {"[parameter]\nfirstRun=1\n", 1, "[parameter]\nfirstRun=1\n"},
      {"[Parameter]\nFIRSTRUN=2\n", 2, "[Parameter]\nFIRSTRUN=1\n"},
      {"; Perch\n[parameter]\nusername=Ann\n\n[other]\nx=1\n", 0,
       "; Perch\n[parameter]\nusername=Ann\nfirstRun=1\n\n[other]\nx=1\n"},
      // Junk is passed over and kept; the first of two equal keys counts.
      {"junk\n[parameter]\nstray line\nfirstRun=abc\nfirstRun=1\n", 0,
       "junk\n[parameter]\nstray line\nfirstRun=1\nfirstRun=1\n"},
      {"[parameter]\n firstRun = 12abc \r\n", 12, "[parameter]\n firstRun =1\r\n"},
      {"[parameter]\nfirstRun=-3\n", -3, "[parameter]\nfirstRun=1\n"},
      {"[parameter]\nfirstRun=\n", 0, "[parameter]\nfirstRun=1\n"},
      {"[parameter]\nfirstRun=99999999999999999999\n", 2147483647, "[parameter]\nfirstRun=1\n"},
      {"[parameter]\r\nusername=Ann\r\n", 0, "[parameter]\r\nusername=Ann\r\nfirstRun=1\r\n"},
      {"[parameter]\nusername=Ann", 0, "[parameter]\nusername=Ann\nfirstRun=1\n"},
      // The first of two equal sections counts; a key before any section is no key.
      {"[parameter]\nfirstRun=0\n[PARAMETER]\nfirstRun=1\n", 0,
       "[parameter]\nfirstRun=1\n[PARAMETER]\nfirstRun=1\n"},
      {"firstRun=1\n[parameter] ; ours\n", 0, "firstRun=1\n[parameter] ; ours\nfirstRun=1\n"},
      {"[parameter\nfirstRun=1\n", 0, "[parameter\nfirstRun=1\n\n[parameter]\nfirstRun=1\n"},
      {"[other]\nfirstRun=1\n", 0, "[other]\nfirstRun=1\n\n[parameter]\nfirstRun=1\n"},
      // A GB18030 file (a Chinese name) is read and written back in GB18030.
      {"[parameter]\nhalname=\xd0\xa1\xc4\xf1\nfirstRun=1\n", 1,
       "[parameter]\nhalname=\xd0\xa1\xc4\xf1\nfirstRun=1\n"},
      // Neither UTF-8 nor GB18030: a first run, and the old bytes go aside.
      {"[parameter]\nfirstRun=1\nusername=\xff\xfe\n", 0, "[parameter]\nfirstRun=1\n"},
      {QByteArray("\0\1\2[parameter]\nfirstRun=1\n", 26), 0, "[parameter]\nfirstRun=1\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in.toStdString());
    QTemporaryDir folder;
    const QString path = folder.filePath("config.ini");
    if (c.in != "<missing>") WriteRaw(path, c.in);
    TSettingsFile settings(path);
    EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), c.read);
    ASSERT_TRUE(settings.WriteInteger(Section, "firstRun", 1));
    EXPECT_EQ(ReadRaw(path), c.written);
    EXPECT_EQ(settings.ReadInteger(Section, "firstRun", 0), 1);
    const bool unreadable = c.in.contains('\0') || c.in.contains('\xff');
    EXPECT_EQ(ReadRaw(path + ".bad"), unreadable ? c.in : QByteArray("<missing>"));
  }
  // A Chinese name in a GB18030 file reads as itself.
  QTemporaryDir folder;
  WriteRaw(folder.filePath("config.ini"), "[parameter]\nhalname=\xd0\xa1\xc4\xf1\n");
  EXPECT_EQ(TSettingsFile(folder.filePath("config.ini")).ReadString(Section, "HALNAME"),
            QStringLiteral("小鸟"));
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

namespace {

TEST(SettingsFile, AFailedWriteIsToldOnceAndTheNextWritesStillTry) {
  QTemporaryDir folder;
  WriteRaw(folder.filePath("file"), "x");
  TSettingsFile settings(folder.filePath("file/config.ini"));
  QStringList told;
  settings.OnWriteFailed = [&](const QString& message) { told << message; };
  EXPECT_FALSE(settings.WriteString(Section, "username", "Ann"));
  EXPECT_FALSE(settings.WriteInteger(Section, "firstRun", 1));
  ASSERT_EQ(told.size(), 1);
  EXPECT_TRUE(
      told[0].startsWith("Perch could not save its settings to " + folder.filePath("file/config.ini") + ": "))
      << told[0].toStdString();
}

// A process killed between writing its temporary file and renaming it
// leaves "config.ini.XXXXXX" behind; the next start clears it away.
TEST(SettingsFile, TemporariesOfAWriteCutShortAreRemovedAtTheNextStart) {
  QTemporaryDir folder;
  const QString path = folder.filePath("config.ini");
  TSettingsFile(path).WriteString(Section, "username", "Ann");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    QSaveFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("[parameter]\nusername=Bob\n");
    file.flush();
    _exit(0);  // killed before the rename
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  // Where the file system has no unnamed temporary files, the cut write
  // leaves a named one, as this.
  WriteRaw(path + ".k3Xq9Z", "[parameter]\nusername=Bob\n");
  WriteRaw(path + ".bad", "kept");
  WriteRaw(folder.filePath("config.ini.notours"), "kept");
  const QStringList before = QDir(folder.path()).entryList(QDir::Files);
  ASSERT_GE(before.size(), 4) << before.join(' ').toStdString();
  TSettingsFile(path).RemoveStaleTemporaries();
  EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
            (QStringList{"config.ini", "config.ini.bad", "config.ini.notours"}));
  EXPECT_EQ(TSettingsFile(path).ReadString(Section, "username"), QString("Ann"));
}

}  // namespace
