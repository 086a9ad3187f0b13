#pragma once
// The program's icon: the bird's head, drawn by the character renderer, so
// the launcher, the menu and the windows show the same bird as the desktop.

#include "CharacterDef.h"

#include <QIcon>
#include <QImage>

#include <initializer_list>

// The icon sizes a desktop theme asks for.
inline constexpr std::initializer_list<int> IconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The head of the character at rest, on a transparent square of size pixels.
QImage CharacterHeadIcon(const TCharacterDef& character, int size);

// Every size of the icon for the character file the service finds by that
// name; a null icon when the file is missing or unreadable.
QIcon CharacterFileIcon(const QString& characterFile);
