#pragma once
// The part of the desktop the routines place the character in: the available
// area (without panels) of the monitor the character is on, the primary
// monitor before it is placed.

#include <QRect>

namespace perch {

class TAgentCharacter;

QRect PrimaryArea();
// The monitor under the character's centre; the primary one when none is.
QRect CharacterArea(const TAgentCharacter* character);
// The monitor under a window's centre; the primary one when none is.
QRect AreaAround(QRect window);

}  // namespace perch
