#pragma once
// The program's icon for its windows: the bird's head, drawn from the bird at
// build time and installed into the hicolor icon theme.

#include <QIcon>

namespace perch {

// Every size found for the program's desktop id, installed (share/icons
// beside the program's bin folder) or in the build tree (icons/ beside
// bin/), else what the icon theme offers under that name.
QIcon PerchIcon();

}  // namespace perch
