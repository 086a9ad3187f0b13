#include "companion/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringConverter>

#include "platform/FileReplace.h"
#include "platform/FolderLock.h"
#include "platform/TextDecoding.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace perch {

namespace {

// Values are written on one line each: backslashes and control characters
// are escaped so that any name reads back as it was written.
QString Escape(const QString& value) {
  QString out;
  for (QChar c : value) {
    if (c == u'\\') out += QStringLiteral("\\\\");
    else if (c == u'\n') out += QStringLiteral("\\n");
    else if (c == u'\r') out += QStringLiteral("\\r");
    else if (c.unicode() < 0x20 || c.unicode() == 0x7F)
      out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar(u'0'));
    else out += c;
  }
  return out;
}

QString Unescape(const QString& value) {
  QString out;
  for (qsizetype i = 0; i < value.size(); ++i) {
    if (value[i] != u'\\' || i + 1 >= value.size()) {
      out += value[i];
      continue;
    }
    const QChar next = value[++i];
    if (next == u'n') out += u'\n';
    else if (next == u'r') out += u'\r';
    else if (next == u'x' && i + 2 < value.size()) {
      bool ok = false;
      const int code = value.mid(i + 1, 2).toInt(&ok, 16);
      if (ok) {
        out += QChar(code);
        i += 2;
      } else {
        out += next;
      }
    } else out += next;
  }
  return out;
}

QString UserConfigFolder() {
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && configHome[0] == '/') return QString::fromLocal8Bit(configHome);
  return QDir::homePath() + QStringLiteral("/.config");
}

// An installed program finds its data in ../share/perch; its own folder
// (/usr/bin, ~/.local/bin) is no place for one user's settings.
bool IsInstalledProgramFolder(const QString& executableFolder) {
  return QFileInfo(QDir(executableFolder).filePath(QStringLiteral("../share/perch"))).isDir();
}

}  // namespace

QString SettingsLocation(const QString& executableFolder) {
  if (!executableFolder.isEmpty() && !IsInstalledProgramFolder(executableFolder) &&
      access(QFile::encodeName(executableFolder).constData(), W_OK) == 0) {
    return QDir(executableFolder).filePath(QString::fromLatin1(SettingsFileName));
  }
  return UserConfigFolder() + QStringLiteral("/perch/") + QString::fromLatin1(SettingsFileName);
}

namespace {

// The file as lines, with what is needed to write it back as it came.
struct TIniText {
  bool exists = false;
  bool readable = true;    // false: the file is there but is not text we can read
  QString readError;       // why it could not be opened, when it could not
  bool truncated = false;  // longer than we read: only its first lines are here
  QStringList lines;       // without their line break; a '\r' before a '\n' stays on the line
  QString lineBreak = QStringLiteral("\n");  // "\r" in a file that breaks its lines with CR alone
  enum class TEncoding { Utf8, Gb18030, Utf16Le, Utf16Be } encoding = TEncoding::Utf8;
  bool crlf = false;
};

constexpr std::size_t MaxSettingsBytes = 1 << 20;  // a settings file of ours is tiny

// The text of the bytes, in the encoding they came in; false when they are
// no text we can read.
bool DecodeIni(const QByteArray& bytes, TIniText& ini, QString& text) {
  using TEncoding = TIniText::TEncoding;
  if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) {
    // Windows writes its private-profile files in UTF-16 with a byte order mark.
    const bool little = bytes.startsWith("\xff\xfe");
    QStringDecoder decode(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
    text = decode(bytes.mid(2));
    ini.encoding = little ? TEncoding::Utf16Le : TEncoding::Utf16Be;
    return !decode.hasError() && !text.contains(QChar(0));
  }
  if (bytes.contains('\0')) return false;
  if (perch::IsValidUtf8(std::string_view(bytes.constData(), std::size_t(bytes.size())))) {
    text = QString::fromUtf8(bytes);
    return true;
  }
  QStringDecoder decode("GB18030");
  text = decode(bytes);
  ini.encoding = TEncoding::Gb18030;
  return decode.isValid() && !decode.hasError();
}

QByteArray EncodeIni(const TIniText& ini, const QString& text) {
  using TEncoding = TIniText::TEncoding;
  switch (ini.encoding) {
    case TEncoding::Gb18030: {
      QStringEncoder encode("GB18030");
      return encode(text);
    }
    case TEncoding::Utf16Le: {
      QStringEncoder encode(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
      return encode(text);
    }
    case TEncoding::Utf16Be: {
      QStringEncoder encode(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
      return encode(text);
    }
    case TEncoding::Utf8: break;
  }
  return text.toUtf8();
}

TIniText ReadIniText(const QString& path) {
  TIniText ini;
  TFileRead file = ReadRegularFile(QFile::encodeName(path).toStdString(), MaxSettingsBytes);
  ini.exists = file.exists;
  if (!file.exists) return ini;
  if (!file.error.empty()) {
    ini.readable = false;
    ini.readError = QString::fromLocal8Bit(file.error.c_str());
    return ini;
  }
  QByteArray bytes = QByteArray::fromStdString(file.bytes);
  if (file.truncated) {
    // The lines that came whole; the rest is left unread.
    ini.truncated = true;
    const bool utf16 = bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff");
    if (!utf16) bytes.truncate(std::max<qsizetype>(bytes.lastIndexOf('\n'), 0));
    else bytes.truncate(bytes.size() & ~qsizetype(1));
  }
  QString text;
  ini.readable = DecodeIni(bytes, ini, text);
  if (!ini.readable) return ini;
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  if (!text.contains(u'\n') && text.contains(u'\r')) ini.lineBreak = QStringLiteral("\r");
  ini.lines = text.split(ini.lineBreak);
  if (ini.lines.last().isEmpty()) ini.lines.removeLast();  // the file's last line break
  ini.crlf = ini.lineBreak == u"\n" && !ini.lines.isEmpty() && ini.lines.first().endsWith(u'\r');
  return ini;
}

// Where a section's lines and a key's line are: the first of each, by name
// without regard to case.
struct TPlace {
  qsizetype header = -1;      // the section's "[name]" line
  qsizetype entry = -1;       // the key's line
  qsizetype lastFilled = -1;  // its last line that is not blank
};

// The section name of a "[name]" line, up to the first ']'; a line without
// one is no section line.
std::optional<QString> SectionName(const QString& trimmed) {
  const qsizetype close = trimmed.indexOf(u']');
  if (!trimmed.startsWith(u'[') || close < 0) return std::nullopt;
  return trimmed.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line, with the position of its '='.
std::optional<QString> KeyName(const QString& line, qsizetype* equals) {
  const qsizetype at = line.indexOf(u'=');
  if (at < 0) return std::nullopt;
  const QString key = line.left(at).trimmed();
  if (key.isEmpty() || key.startsWith(u';') || key.startsWith(u'#')) return std::nullopt;
  if (equals != nullptr) *equals = at;
  return key;
}

TPlace Locate(const QStringList& lines, const QString& section, const QString& key) {
  TPlace place;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString trimmed = lines[i].trimmed();
    if (const auto name = SectionName(trimmed)) {
      if (place.header >= 0) return place;  // the next section ends ours
      if (name->compare(section, Qt::CaseInsensitive) == 0) place.header = place.lastFilled = i;
      continue;
    }
    if (place.header < 0) continue;
    if (!trimmed.isEmpty()) place.lastFilled = i;
    const auto found = KeyName(lines[i], nullptr);
    if (place.entry < 0 && found && found->compare(key, Qt::CaseInsensitive) == 0) place.entry = i;
  }
  return place;
}

// A whole number from the leading digits after an optional sign, held to
// the range of int; none gives 0.
int LeadingNumber(const QString& text) {
  const QString s = text.trimmed();
  qsizetype i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) negative = s[i++] == u'-';
  long long value = 0;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i)
    value = std::min<long long>(value * 10 + (s[i].unicode() - u'0'), 1LL << 32);
  value = negative ? -value : value;
  return int(std::clamp<long long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// "<path>.bad", or "<path>.bad.N" where that is taken already: an earlier
// file kept aside is never written over. Empty when all are taken.
QString FreeAsideName(const QString& path) {
  QString aside = path + QStringLiteral(".bad");
  for (int n = 1; n <= 100 && QFileInfo::exists(aside); ++n) aside = path + QStringLiteral(".bad.%1").arg(n);
  return QFileInfo::exists(aside) ? QString() : aside;
}

// The program's name for its lines on stderr.
QString ProgramName() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("perch") : name;
}

void ReportReadProblem(const QString& path, const TIniText& ini, QString& reported) {
  QString problem;
  if (!ini.readError.isEmpty())
    problem = QStringLiteral("cannot be read (%1); the defaults are used").arg(ini.readError);
  else if (!ini.readable) problem = QStringLiteral("is not text Perch can read; the defaults are used");
  else if (ini.truncated)
    problem = QStringLiteral("is larger than %1 bytes; only its first lines were read").arg(MaxSettingsBytes);
  if (problem.isEmpty() || problem == reported) return;
  reported = problem;
  std::fprintf(stderr, "%s: the settings file %s %s\n", qPrintable(ProgramName()), qPrintable(path),
               qPrintable(problem));
}

}  // namespace

int TSettingsFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
  const auto value = ReadString(section, key);
  return value ? LeadingNumber(*value) : defaultValue;
}

std::optional<QString> TSettingsFile::ReadString(const QString& section, const QString& key) const {
  const auto value = ReadValue(section, key);
  if (!value) return std::nullopt;
  return Unescape(*value);
}

bool TSettingsFile::WriteString(const QString& section, const QString& key, const QString& value) {
  return WriteValue(section, key, Escape(value));
}

bool TSettingsFile::WriteValue(const QString& section, const QString& key, const QString& text) {
  const QString folder = QFileInfo(path_).absolutePath();
  if (!QDir().mkpath(folder))
    return Fail(
        QCoreApplication::translate("perch::TSettingsFile", "the folder %1 cannot be created").arg(folder));
  // From the read to the rename, another program's write waits: each write
  // then starts from the other's result and neither change is lost.
  const TFolderLock oneWriterAtATime(QFile::encodeName(folder).toStdString());

  TIniText ini = ReadIniText(path_);
  if (ini.exists && !ini.readError.isEmpty())
    return Fail(QCoreApplication::translate("perch::TSettingsFile", "the file cannot be read: %1")
                    .arg(ini.readError));
  if (ini.exists && (!ini.readable || ini.truncated)) {
    // Not text we can read, or more than we read: keep it aside rather than
    // write over it. What was read of a long file is written anew.
    const QString aside = FreeAsideName(path_);
    if (aside.isEmpty())
      return Fail(QCoreApplication::translate(
          "perch::TSettingsFile", "the file cannot be read whole, and 100 copies are kept aside already"));
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(aside).constData()) != 0)
      return Fail(QCoreApplication::translate("perch::TSettingsFile", "the file cannot be moved to %1: %2")
                      .arg(aside, QString::fromLocal8Bit(std::strerror(errno))));
    std::fprintf(stderr, "%s: %s could not be read whole; it was moved to %s\n", qPrintable(ProgramName()),
                 qPrintable(path_), qPrintable(aside));
    if (!ini.readable) ini = TIniText{};
  }

  const QString eol = ini.crlf ? QStringLiteral("\r") : QString();
  const TPlace place = Locate(ini.lines, section, key);
  if (place.entry >= 0) {
    QString& line = ini.lines[place.entry];
    qsizetype equals = 0;
    KeyName(line, &equals);
    line = line.left(equals + 1) + text + (line.endsWith(u'\r') ? QStringLiteral("\r") : QString());
  } else if (place.header >= 0) {
    ini.lines.insert(place.lastFilled + 1, key + u'=' + text + eol);
  } else {
    if (!ini.lines.isEmpty() && !ini.lines.last().trimmed().isEmpty()) ini.lines << eol;
    ini.lines << u'[' + section + u']' + eol << key + u'=' + text + eol;
  }

  QByteArray bytes = EncodeIni(ini, ini.lines.join(ini.lineBreak) + ini.lineBreak);
  // What was read of a long file is written back within bounds (the whole
  // of it is aside): the lines at its end give way.
  while (ini.truncated && std::size_t(bytes.size()) > MaxSettingsBytes && ini.lines.size() > 1) {
    ini.lines.removeLast();
    bytes = EncodeIni(ini, ini.lines.join(ini.lineBreak) + ini.lineBreak);
  }
  const std::string error = ReplaceFileContents(
      QFile::encodeName(path_).toStdString(), std::string_view(bytes.constData(), std::size_t(bytes.size())));
  if (!error.empty()) return Fail(QString::fromLocal8Bit(error.c_str()));
  return true;
}

std::optional<QString> TSettingsFile::ReadValue(const QString& section, const QString& key) const {
  const TIniText ini = ReadIniText(path_);
  ReportReadProblem(path_, ini, readProblemReported_);
  if (!ini.readable) return std::nullopt;
  const TPlace place = Locate(ini.lines, section, key);
  if (place.entry < 0) return std::nullopt;
  qsizetype equals = 0;
  KeyName(ini.lines[place.entry], &equals);
  return ini.lines[place.entry].mid(equals + 1).trimmed();
}

bool TSettingsFile::WriteInteger(const QString& section, const QString& key, int value) {
  return WriteString(section, key, QString::number(value));
}

bool TSettingsFile::Fail(const QString& reason) {
  const QString message =
      QCoreApplication::translate("perch::TSettingsFile", "Perch could not save its settings to %1: %2")
          .arg(path_, reason);
  std::fprintf(stderr, "%s: %s\n", qPrintable(ProgramName()), qPrintable(message));
  if (!failureReported_ && OnWriteFailed) {
    failureReported_ = true;
    OnWriteFailed(message);
  }
  return false;
}

void TSettingsFile::RemoveStaleTemporaries() const {
  RemoveAbandonedTemporaries(QFile::encodeName(path_).toStdString());
}

}  // namespace perch
