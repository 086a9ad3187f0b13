#include "tools/perch-tray/TrayMenu.h"

#include <QActionGroup>
#include <QCoreApplication>

namespace perch {

namespace {

QAction* AddAction(QMenu* menu, const char* name, const QString& text) {
  QAction* action = menu->addAction(text);
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

}  // namespace

TTrayMenu BuildTrayMenu(QWidget* owner) {
  TTrayMenu m;
  m.menu = new QMenu(owner);
  m.menu->setObjectName(QStringLiteral("trayMenu"));
  m.greet = AddAction(m.menu, "greet", QCoreApplication::translate("TrayMenu", "Greet"));
  m.eat = AddAction(m.menu, "eat", QCoreApplication::translate("TrayMenu", "Eat"));
  m.work = AddAction(m.menu, "work", QCoreApplication::translate("TrayMenu", "Work"));
  m.sleep = AddAction(m.menu, "sleep", QCoreApplication::translate("TrayMenu", "Sleep"));
  m.random = AddAction(m.menu, "random", QCoreApplication::translate("TrayMenu", "Surprise me"));
  m.menu->addSeparator();
  m.chess = AddAction(m.menu, "chess", QCoreApplication::translate("TrayMenu", "Play chess"));
  m.say = AddAction(m.menu, "say", QCoreApplication::translate("TrayMenu", "Say something…"));
  m.menu->addSeparator();

  QMenu* language = m.menu->addMenu(QCoreApplication::translate("TrayMenu", "Language"));
  language->setObjectName(QStringLiteral("languageMenu"));
  // The bird's own mix of English and Chinese, or one language; each
  // language is named in itself, whatever the menu's language.
  m.written = AddAction(language, "written", QString());
  NameWrittenMode(m, QStringLiteral("Pip"));
  m.english = AddAction(language, "english", QStringLiteral("English"));
  m.chinese = AddAction(language, "chinese", QStringLiteral("中文"));
  auto* languages = new QActionGroup(language);
  for (QAction* action : {m.written, m.english, m.chinese}) {
    action->setCheckable(true);
    languages->addAction(action);
  }
  m.english->setChecked(true);

  m.lively = AddAction(m.menu, "lively", QCoreApplication::translate("TrayMenu", "Lively bird"));
  m.lively->setCheckable(true);
  m.startAtLogin =
      AddAction(m.menu, "startAtLogin", QCoreApplication::translate("TrayMenu", "Start at login"));
  m.startAtLogin->setCheckable(true);
  m.settings = AddAction(m.menu, "settings", QCoreApplication::translate("TrayMenu", "Settings…"));
  m.about = AddAction(m.menu, "about", QCoreApplication::translate("TrayMenu", "About Perch"));
  m.menu->addSeparator();
  m.quit = AddAction(m.menu, "quit", QCoreApplication::translate("TrayMenu", "Quit Perch"));
  return m;
}

void NameWrittenMode(const TTrayMenu& menu, const QString& birdName) {
  menu.written->setText(QCoreApplication::translate("TrayMenu", "As %1 says it").arg(birdName));
}

QAction* FindMenuAction(const QMenu* menu, const QString& name) {
  for (QAction* action : menu->actions()) {
    if (action->objectName() == name) return action;
    if (const QMenu* sub = action->menu()) {
      if (QAction* found = FindMenuAction(sub, name)) return found;
    }
  }
  return nullptr;
}

}  // namespace perch
