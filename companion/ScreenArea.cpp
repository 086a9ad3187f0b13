#include "companion/ScreenArea.h"

#include "agent/AgentControl.h"

#include <QGuiApplication>
#include <QScreen>

namespace perch {

QRect PrimaryArea() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect();
}

QRect AreaAround(QRect window) {
  const QScreen* screen = QGuiApplication::screenAt(window.center());
  return screen != nullptr ? screen->availableGeometry() : PrimaryArea();
}

QRect CharacterArea(const TAgentCharacter* character) {
  if (character == nullptr) return PrimaryArea();
  return AreaAround(QRect(character->Left(), character->Top(), character->Width(), character->Height()));
}

}  // namespace perch
