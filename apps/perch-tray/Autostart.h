#pragma once
// Start at login: the desktop entry $XDG_CONFIG_HOME/autostart/perch.desktop,
// which the desktop's session starts, runs perch-tray.

#include <QString>

namespace perch {

QString AutostartPath();
bool AutostartEnabled();
// Writes the entry for the program at `program` (an absolute path), or
// removes it. False, with a line on stderr, when the file cannot be changed.
bool SetAutostart(bool enabled, const QString& program);

// The program's path as a desktop entry's Exec field: quoted when it needs
// to be, with the characters that are special inside quotes escaped, and
// percent signs doubled.
QString DesktopExecField(const QString& program);

}  // namespace perch
