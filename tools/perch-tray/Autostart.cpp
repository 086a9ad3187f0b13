#include "tools/perch-tray/Autostart.h"

#include "PerchRelease.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly)) {
    const QString entry = QStringLiteral(
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Perch\n"
                              "Comment=A companion bird on the desktop\n"
                              "Exec=%1\n"
                              "Icon=%2\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n")
                              .arg(DesktopExecField(program), QLatin1String(PerchAppId));
    file.write(entry.toUtf8());
    if (file.commit()) return true;
  }
  std::fprintf(stderr, "perch-tray: cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
  return false;
}

}  // namespace perch
