#pragma once
// The bird's icon for the tray, the fallback button and the dialogs.

#include <QIcon>

namespace perch {

// The installed "perch" icon of the icon theme when there is one, else the
// bird drawn from its character file, else a plain drawn stand-in.
QIcon AppIcon();

}  // namespace perch
