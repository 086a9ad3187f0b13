#include "companion/SettingsFile.h"

#include "platform/FileReplace.h"
#include "tests/support/EnvironmentGuard.h"
#include "tests/support/FullFolder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

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
// leaves that file behind; the next start clears it away, and nothing else:
// copies the user made beside the file, whatever their names, stay.
TEST(SettingsFile, OnlyTemporariesThatAWriteCutShortLeftAreRemovedAtTheNextStart) {
  QTemporaryDir folder;
  const QString path = folder.filePath("config.ini");
  TSettingsFile(path).WriteString(Section, "username", "Ann");
  const std::string prefix = TemporaryPrefixOf(QFile::encodeName(path).toStdString());
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // What a write holds while it runs, killed before its rename.
    const int fd = open((prefix + "cut1").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    if (fd < 0 || flock(fd, LOCK_EX) != 0 || write(fd, "[parameter]\nusername=Bob\n", 25) != 25) _exit(1);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  // A write under way in another running Perch holds its lock: not touched.
  const int busy = open((prefix + "busy").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
  ASSERT_GE(busy, 0);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t writer = fork();
  ASSERT_GE(writer, 0);
  if (writer == 0) {
    flock(busy, LOCK_EX);
    (void)!write(ready[1], "x", 1);
    pause();
    _exit(0);
  }
  close(busy);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  for (const char* name : {"config.ini.k3Xq9Z", "config.ini.backup", "config.ini.orig00", "config.ini.2026v1",
                           "config.ini.bad", ".config.ini.swp"})
    WriteRaw(folder.filePath(name), "kept");

  TSettingsFile(path).RemoveStaleTemporaries();
  kill(writer, SIGKILL);
  waitpid(writer, nullptr, 0);
  close(ready[0]), close(ready[1]);
  const QString busyName = QFile::decodeName(QByteArray::fromStdString(prefix + "busy")).section(u'/', -1);
  QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
  QStringList expected{busyName,         ".config.ini.swp",   "config.ini",        "config.ini.2026v1",
                       "config.ini.bad", "config.ini.backup", "config.ini.k3Xq9Z", "config.ini.orig00"};
  left.sort(), expected.sort();
  EXPECT_EQ(left.join(u' ').toStdString(), expected.join(u' ').toStdString());
  EXPECT_EQ(TSettingsFile(path).ReadString(Section, "username"), QString("Ann"));
}

// A write that fails for want of space leaves the old file byte for byte
// and says so, once, in the words a user reads.
TEST(SettingsFile, AFullDiskLeavesTheOldFileAsItWasAndSaysSo) {
  TFullFolder disk;
  if (!disk.Ready()) GTEST_SKIP() << disk.Why();
  const QString path = QString::fromStdString(disk.Path()) + "/config.ini";
  const QByteArray old = "[parameter]\nusername=Old\nhalname=OldPip\n";
  WriteRaw(path, old);
  ASSERT_TRUE(disk.Fill());
  TSettingsFile settings(path);
  QStringList told;
  settings.OnWriteFailed = [&](const QString& message) { told << message; };
  EXPECT_FALSE(settings.WriteString(Section, "username", QString(300, u'N')));
  EXPECT_FALSE(settings.WriteInteger(Section, "firstRun", 1));
  EXPECT_EQ(ReadRaw(path), old);
  ASSERT_EQ(told.size(), 1);
  EXPECT_TRUE(told[0].startsWith("Perch could not save its settings to " + path + ": "))
      << told[0].toStdString();
  EXPECT_TRUE(told[0].contains("No space left on device")) << told[0].toStdString();
  EXPECT_EQ(QDir(QString::fromStdString(disk.Path())).entryList(QDir::Files | QDir::Hidden),
            (QStringList{".filler", "config.ini"}))
      << "no temporary file left behind";
  EXPECT_EQ(settings.ReadString(Section, "halname"), QString("OldPip"));
}

// What stands in the file's place, or cannot be read whole, is never
// waited on, never lost, and what can be read of it is read.
TEST(SettingsFile, FilesThatAreNotPlainAreReadAsFarAsTheyCanBeAndNeverWaitedOn) {
  QTemporaryDir folder;
  const QString path = folder.filePath("config.ini");

  // A FIFO: no reader would ever see an end of it.
  ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
  TSettingsFile fifo(path);
  EXPECT_EQ(fifo.ReadInteger(Section, "firstRun", 7), 7);
  EXPECT_FALSE(fifo.WriteInteger(Section, "firstRun", 1));
  QFile::remove(path);

  // Longer than a settings file can be: its first lines still count, and a
  // write keeps the whole file aside.
  QByteArray big = "[parameter]\nfirstRun=1\nusername=Ann\n[notes]\n";
  const QByteArray filler = "; " + QByteArray(100, 'x') + "\n";
  while (big.size() < 1200000) big += filler;
  WriteRaw(path, big);
  TSettingsFile large(path);
  EXPECT_EQ(large.ReadInteger(Section, "firstRun", 0), 1);
  EXPECT_EQ(large.ReadString(Section, "username"), QString("Ann"));
  ASSERT_TRUE(large.WriteString(Section, "halname", "Pip"));
  EXPECT_EQ(ReadRaw(path + ".bad"), big);
  EXPECT_EQ(large.ReadString(Section, "username"), QString("Ann"));
  EXPECT_EQ(large.ReadString(Section, "halname"), QString("Pip"));
  // Written back within bounds, so the next write keeps the first copy aside.
  EXPECT_LE(QFileInfo(path).size(), 1 << 20);
  ASSERT_TRUE(large.WriteInteger(Section, "firstRun", 1));
  EXPECT_EQ(ReadRaw(path + ".bad"), big);
  QFile::remove(path), QFile::remove(path + ".bad");

  // UTF-16 with its mark, as Windows writes these files, and lines broken
  // by CR alone: read, and written back as they came.
  QByteArray utf16 = "\xff\xfe";
  for (const char c : QByteArray("[parameter]\r\nfirstRun=1\r\n")) utf16 += QByteArray(1, c) + '\0';
  WriteRaw(path, utf16);
  TSettingsFile wide(path);
  EXPECT_EQ(wide.ReadInteger(Section, "firstRun", 0), 1);
  ASSERT_TRUE(wide.WriteString(Section, "username", "An"));
  QByteArray expected = "\xff\xfe";
  for (const char c : QByteArray("[parameter]\r\nfirstRun=1\r\nusername=An\r\n"))
    expected += QByteArray(1, c) + '\0';
  EXPECT_EQ(ReadRaw(path), expected);

  WriteRaw(path, "[parameter]\rfirstRun=1\rusername=Ann\r");
  TSettingsFile mac(path);
  EXPECT_EQ(mac.ReadInteger(Section, "firstRun", 0), 1);
  EXPECT_EQ(mac.ReadString(Section, "username"), QString("Ann"));
  ASSERT_TRUE(mac.WriteString(Section, "halname", "Pip"));
  EXPECT_EQ(ReadRaw(path), QByteArray("[parameter]\rfirstRun=1\rusername=Ann\rhalname=Pip\r"));
}

}  // namespace

namespace {

// Two programs writing the same settings at once (perch-tray renaming the
// bird while the companion keeps a drag): every key either of them wrote is
// there at the end.
TEST(SettingsFile, TwoProgramsWritingAtOnceLoseNoChange) {
  QTemporaryDir folder;
  const QString path = folder.filePath("config.ini");
  constexpr int Keys = 150;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  const QString who = child == 0 ? QStringLiteral("tray") : QStringLiteral("companion");
  TSettingsFile settings(path);
  for (int n = 0; n < Keys; ++n) settings.WriteInteger(Section, who + QString::number(n), n);
  if (child == 0) _exit(0);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  int missing = 0;
  for (const char* name : {"tray", "companion"})
    for (int n = 0; n < Keys; ++n)
      if (settings.ReadInteger(Section, QString::fromLatin1(name) + QString::number(n), -1) != n) ++missing;
  EXPECT_EQ(missing, 0) << "changes lost between the two writers";
}

}  // namespace
