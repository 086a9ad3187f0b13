#include "apps/perch-tray/TrayMenu.h"

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

  QMenu* size = m.menu->addMenu(QCoreApplication::translate("TrayMenu", "Size"));
  size->setObjectName(QStringLiteral("sizeMenu"));
  m.sizeSmall = AddAction(size, "sizeSmall", QCoreApplication::translate("TrayMenu", "Small"));
  m.sizeNormal = AddAction(size, "sizeNormal", QCoreApplication::translate("TrayMenu", "Normal"));
  m.sizeLarge = AddAction(size, "sizeLarge", QCoreApplication::translate("TrayMenu", "Large"));
  auto* sizes = new QActionGroup(size);
  for (QAction* action : {m.sizeSmall, m.sizeNormal, m.sizeLarge}) {
    action->setCheckable(true);
    sizes->addAction(action);
  }
  m.sizeNormal->setChecked(true);

  m.mute = AddAction(m.menu, "mute", QCoreApplication::translate("TrayMenu", "Mute"));
  m.mute->setCheckable(true);
  QMenu* volume = m.menu->addMenu(QCoreApplication::translate("TrayMenu", "Volume"));
  volume->setObjectName(QStringLiteral("volumeMenu"));
  auto* volumes = new QActionGroup(volume);
  for (const int percent : {25, 50, 75, 100}) {
    QAction* action = volume->addAction(QCoreApplication::translate("TrayMenu", "%1%").arg(percent));
    action->setObjectName(QStringLiteral("volume%1").arg(percent));
    action->setData(percent);
    action->setCheckable(true);
    volumes->addAction(action);
    m.volumes.push_back(action);
  }
  m.volumes.back()->setChecked(true);

  QMenu* hide = m.menu->addMenu(QCoreApplication::translate("TrayMenu", "Hide"));
  hide->setObjectName(QStringLiteral("hideMenu"));
  m.hide15 = AddAction(hide, "hide15", QCoreApplication::translate("TrayMenu", "For 15 minutes"));
  m.hide60 = AddAction(hide, "hide60", QCoreApplication::translate("TrayMenu", "For an hour"));
  m.hideUntilShown =
      AddAction(hide, "hideUntilShown", QCoreApplication::translate("TrayMenu", "Until shown again"));
  m.show = AddAction(m.menu, "show", QCoreApplication::translate("TrayMenu", "Show"));
  m.rename = AddAction(m.menu, "rename", QCoreApplication::translate("TrayMenu", "Rename…"));
  m.menu->addSeparator();

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
