#include "SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringConverter>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

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

TSettingsFile::TLoaded TSettingsFile::Load() const {
  TLoaded loaded;
  QFile file(path_);
  if (!file.open(QIODevice::ReadOnly)) return loaded;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return loaded;
  auto decode = QStringDecoder(QStringDecoder::Utf8);
  const QString text = decode(bytes);
  if (decode.hasError()) return loaded;

  bool wellFormed = true;
  TSection* section = nullptr;
  for (QString line : text.split(u'\n')) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) continue;
    if (line.startsWith(u'[')) {
      if (!line.endsWith(u']') || line.size() < 3) {
        wellFormed = false;
        section = nullptr;
        continue;
      }
      section = &loaded.contents[line.mid(1, line.size() - 2).trimmed()];
      continue;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (section == nullptr || equals <= 0) {
      wellFormed = false;
      continue;
    }
    (*section)[line.left(equals).trimmed()] = Unescape(line.mid(equals + 1).trimmed());
  }
  loaded.usable = wellFormed;
  return loaded;
}

int TSettingsFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
  const auto value = ReadString(section, key);
  if (!value) return defaultValue;
  bool ok = false;
  const int number = value->toInt(&ok);
  return ok ? number : defaultValue;
}

std::optional<QString> TSettingsFile::ReadString(const QString& section, const QString& key) const {
  const TLoaded loaded = Load();
  if (!loaded.usable) return std::nullopt;
  const auto found = loaded.contents.find(section);
  if (found == loaded.contents.end()) return std::nullopt;
  const auto entry = found->second.find(key);
  if (entry == found->second.end()) return std::nullopt;
  return entry->second;
}

bool TSettingsFile::WriteString(const QString& section, const QString& key, const QString& value) {
  // What could be read of a damaged file is kept; the rest is replaced.
  TContents contents = Load().contents;
  contents[section][key] = value;

  QString text;
  for (const auto& [name, entries] : contents) {
    if (!text.isEmpty()) text += u'\n';
    text += u'[' + name + QStringLiteral("]\n");
    for (const auto& [entryKey, entryValue] : entries) {
      text += entryKey + u'=' + Escape(entryValue) + u'\n';
    }
  }

  const QString folder = QFileInfo(path_).absolutePath();
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "perch: cannot create the folder %s\n", qPrintable(folder));
    return false;
  }
  QSaveFile file(path_);
  if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit()) {
    std::fprintf(stderr, "perch: cannot write %s: %s\n", qPrintable(path_),
                 qPrintable(file.errorString()));
    return false;
  }
  return true;
}

bool TSettingsFile::WriteInteger(const QString& section, const QString& key, int value) {
  return WriteString(section, key, QString::number(value));
}
