#pragma once
// The program's icon: the bird's head, drawn by the character renderer, so
// the launcher, the menu and the windows show the same bird as the desktop
// (tools/generators/perch-icon writes it at build time).

#include "agent/CharacterDef.h"

#include <QImage>

#include <initializer_list>

namespace perch {

// The icon sizes a desktop theme asks for.
inline constexpr std::initializer_list<int> IconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// The head of the character at rest, on a transparent square of size pixels.
QImage CharacterHeadIcon(const TCharacterDef& character, int size);

}  // namespace perch
