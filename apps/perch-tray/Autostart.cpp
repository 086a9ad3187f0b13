#include "apps/perch-tray/Autostart.h"

#include "PerchRelease.h"
#include "platform/FileReplace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>

namespace perch {

QString AutostartPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(QStringLiteral("autostart/perch.desktop"));
}

bool AutostartEnabled() { return QFileInfo::exists(AutostartPath()); }

QString DesktopExecField(const QString& program) {
  static const QString Reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
  bool needsQuotes = false;
  QString escaped;
  for (const QChar c : program) {
    if (Reserved.contains(c)) needsQuotes = true;
    if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') escaped += u'\\';
    escaped += c;
  }
  escaped.replace(QStringLiteral("%"), QStringLiteral("%%"));
  // Inside a desktop file's string value a backslash is itself escaped.
  escaped.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
  return needsQuotes ? u'"' + escaped + u'"' : escaped;
}

bool SetAutostart(bool enabled, const QString& program) {
  const QString path = AutostartPath();
  if (!enabled) {
    if (!QFileInfo::exists(path) || QFile::remove(path)) return true;
    std::fprintf(stderr, "perch-tray: cannot remove %s\n", qPrintable(path));
    return false;
  }
  QDir().mkpath(QFileInfo(path).path());
  const QByteArray entry = QStringLiteral(
                               "[Desktop Entry]\n"
                               "Type=Application\n"
                               "Name=Perch\n"
                               "Comment=A companion bird on the desktop\n"
                               "Exec=%1\n"
                               "Icon=%2\n"
                               "Terminal=false\n"
                               "X-GNOME-Autostart-enabled=true\n")
                               .arg(DesktopExecField(program), QLatin1String(PerchAppId))
                               .toUtf8();
  const std::string error = ReplaceFileContents(
      QFile::encodeName(path).toStdString(), std::string_view(entry.constData(), std::size_t(entry.size())));
  if (error.empty()) return true;
  std::fprintf(stderr, "perch-tray: cannot write %s: %s\n", qPrintable(path), error.c_str());
  return false;
}

}  // namespace perch
