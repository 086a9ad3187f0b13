#pragma once
// A list of texts in one INI value, in the form Qt's QSettings gives it:
// items joined by ", ", an item quoted when it holds a separator or has
// spaces at its ends, backslash escapes inside. perch-tray.conf has kept its
// say history so from the start, and still does, so that files written by
// either version read the same.

#include <QString>
#include <QStringList>

namespace perch {

QStringList ParseIniStringList(const QString& value);
QString FormatIniStringList(const QStringList& items);

}  // namespace perch
