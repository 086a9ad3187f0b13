#include "companion/PerchIcon.h"

#include "PerchRelease.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace perch {

QIcon PerchIcon() {
  const QDir programFolder(QCoreApplication::applicationDirPath());
  const QString file = QStringLiteral("apps/%1.png").arg(QLatin1String(PerchAppId));
  for (const QString& theme : {programFolder.filePath(QStringLiteral("../share/icons/hicolor")),
                               programFolder.filePath(QStringLiteral("../icons/hicolor"))}) {
    QIcon icon;
    for (const QFileInfo& size : QDir(theme).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
      const QString png = QDir(size.filePath()).filePath(file);
      if (QFileInfo(png).isFile()) icon.addFile(png);
    }
    if (!icon.availableSizes().isEmpty()) return icon;
  }
  return QIcon::fromTheme(QLatin1String(PerchAppId));
}

}  // namespace perch
