#include "companion/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringConverter>

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
  bool readable = true;  // false: the file is there but is not text we can read
  QString readError;     // why it could not be opened, when it could not
  QStringList lines;     // without their '\n'; a '\r' before it stays on the line
  bool gb18030 = false;  // written back in the encoding it came in
  bool crlf = false;
};

constexpr qint64 MaxSettingsBytes = 1 << 20;  // a settings file of ours is tiny

TIniText ReadIniText(const QString& path) {
  TIniText ini;
  QFile file(path);
  if (!file.exists()) return ini;
  ini.exists = true;
  if (!file.open(QIODevice::ReadOnly)) {
    ini.readable = false;
    ini.readError = file.errorString();
    return ini;
  }
  const QByteArray bytes = file.read(MaxSettingsBytes + 1);
  if (file.error() != QFileDevice::NoError) {
    ini.readable = false;
    ini.readError = file.errorString();
    return ini;
  }
  QString text;
  const std::string_view view(bytes.constData(), std::size_t(bytes.size()));
  if (bytes.size() > MaxSettingsBytes || bytes.contains('\0')) {
    ini.readable = false;
  } else if (perch::IsValidUtf8(view)) {
    text = QString::fromUtf8(bytes);
  } else {
    QStringDecoder decode("GB18030");
    text = decode(bytes);
    ini.gb18030 = true;
    ini.readable = decode.isValid() && !decode.hasError();
  }
  if (!ini.readable) return ini;
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  ini.lines = text.split(u'\n');
  if (ini.lines.last().isEmpty()) ini.lines.removeLast();  // the file's last newline
  ini.crlf = !ini.lines.isEmpty() && ini.lines.first().endsWith(u'\r');
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

// "config.ini.XXXXXX": the temporary name a write uses before its rename.
bool IsTemporaryOf(const QString& name, const QString& fileName) {
  static const QRegularExpression suffix(QStringLiteral("^\\.[A-Za-z0-9]{6}$"));
  return name.startsWith(fileName) && suffix.match(name.mid(fileName.size())).hasMatch();
}

}  // namespace

int TSettingsFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
  const auto value = ReadString(section, key);
  return value ? LeadingNumber(*value) : defaultValue;
}

std::optional<QString> TSettingsFile::ReadString(const QString& section, const QString& key) const {
  const TIniText ini = ReadIniText(path_);
  if (!ini.readable) return std::nullopt;
  const TPlace place = Locate(ini.lines, section, key);
  if (place.entry < 0) return std::nullopt;
  qsizetype equals = 0;
  KeyName(ini.lines[place.entry], &equals);
  return Unescape(ini.lines[place.entry].mid(equals + 1).trimmed());
}

bool TSettingsFile::WriteString(const QString& section, const QString& key, const QString& value) {
  TIniText ini = ReadIniText(path_);
  if (ini.exists && !ini.readError.isEmpty())
    return Fail(QStringLiteral("the file cannot be read: ") + ini.readError);

  const QString folder = QFileInfo(path_).absolutePath();
  if (!QDir().mkpath(folder)) return Fail(QStringLiteral("the folder %1 cannot be created").arg(folder));
  if (ini.exists && !ini.readable) {
    // Not text we can read: keep it aside rather than write over it.
    const QString aside = path_ + QStringLiteral(".bad");
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(aside).constData()) != 0)
      return Fail(QStringLiteral("the unreadable file cannot be moved to %1: %2")
                      .arg(aside, QString::fromLocal8Bit(std::strerror(errno))));
    std::fprintf(stderr, "perch: %s could not be read; it was moved to %s\n", qPrintable(path_),
                 qPrintable(aside));
    ini = TIniText{};
  }

  const QString eol = ini.crlf ? QStringLiteral("\r") : QString();
  const TPlace place = Locate(ini.lines, section, key);
  if (place.entry >= 0) {
    QString& line = ini.lines[place.entry];
    qsizetype equals = 0;
    KeyName(line, &equals);
    line = line.left(equals + 1) + Escape(value) + (line.endsWith(u'\r') ? QStringLiteral("\r") : QString());
  } else if (place.header >= 0) {
    ini.lines.insert(place.lastFilled + 1, key + u'=' + Escape(value) + eol);
  } else {
    if (!ini.lines.isEmpty() && !ini.lines.last().trimmed().isEmpty()) ini.lines << eol;
    ini.lines << u'[' + section + u']' + eol << key + u'=' + Escape(value) + eol;
  }

  const QString text = ini.lines.join(u'\n') + u'\n';
  QByteArray bytes;
  if (ini.gb18030) {
    QStringEncoder encode("GB18030");
    bytes = encode(text);
  } else {
    bytes = text.toUtf8();
  }
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
    return Fail(file.errorString());
  return true;
}

bool TSettingsFile::WriteInteger(const QString& section, const QString& key, int value) {
  return WriteString(section, key, QString::number(value));
}

bool TSettingsFile::Fail(const QString& reason) {
  const QString message = QStringLiteral("Perch could not save its settings to %1: %2").arg(path_, reason);
  std::fprintf(stderr, "perch: %s\n", qPrintable(message));
  if (!failureReported_ && OnWriteFailed) {
    failureReported_ = true;
    OnWriteFailed(message);
  }
  return false;
}

void TSettingsFile::RemoveStaleTemporaries() const {
  const QFileInfo info(path_);
  const QString fileName = info.fileName();
  QDir folder = info.absoluteDir();
  for (const QString& name : folder.entryList({fileName + QStringLiteral(".*")}, QDir::Files | QDir::Hidden))
    if (IsTemporaryOf(name, fileName)) folder.remove(name);
}

}  // namespace perch
