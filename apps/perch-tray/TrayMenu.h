#pragma once
// The menu of the tray icon (and of the fallback button). Every action has an
// object name, by which it can be found: greet, eat, work, sleep, random,
// chess, say, written, english, chinese (the language modes), sizeSmall,
// sizeNormal, sizeLarge, mute, volume25, volume50, volume75, volume100,
// hide15, hide60, hideUntilShown, show, rename, lively, startAtLogin,
// settings, about, quit.

#include <QMenu>

#include <vector>

class QAction;

namespace perch {

struct TTrayMenu {
  QMenu* menu = nullptr;
  QAction* greet = nullptr;
  QAction* eat = nullptr;
  QAction* work = nullptr;
  QAction* sleep = nullptr;
  QAction* random = nullptr;
  QAction* chess = nullptr;
  QAction* say = nullptr;
  QAction* written = nullptr;  // the texts as the bird says them: see NameWrittenMode
  QAction* english = nullptr;
  QAction* chinese = nullptr;
  QAction* sizeSmall = nullptr;
  QAction* sizeNormal = nullptr;
  QAction* sizeLarge = nullptr;
  QAction* mute = nullptr;
  // The volume steps, each with its percentage as data.
  std::vector<QAction*> volumes;
  QAction* hide15 = nullptr;
  QAction* hide60 = nullptr;
  QAction* hideUntilShown = nullptr;
  QAction* show = nullptr;
  QAction* rename = nullptr;
  QAction* lively = nullptr;
  QAction* startAtLogin = nullptr;
  QAction* settings = nullptr;
  QAction* about = nullptr;
  QAction* quit = nullptr;
};

// The menu with its actions, owned by `owner`; nothing is connected yet.
TTrayMenu BuildTrayMenu(QWidget* owner);

// Names the written language mode after the bird ("As Pip says it").
void NameWrittenMode(const TTrayMenu& menu, const QString& birdName);

// The action of that object name in the menu or its submenus, or nullptr.
QAction* FindMenuAction(const QMenu* menu, const QString& name);

}  // namespace perch
