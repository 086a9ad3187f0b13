#include "companion/Translations.h"

#include "companion/SettingsFile.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace perch {

namespace {

struct TInstalled {
  std::unique_ptr<QTranslator> own;
  std::unique_ptr<QTranslator> qt;
};

// The resources are linked into every program that uses this library.
// Only the main thread installs translators; the set lives until the
// program ends (or the next mode replaces it).
TInstalled& Installed() {
  static TInstalled installed;
  return installed;
}

std::unique_ptr<QTranslator> Load(const QString& name, const QString& folder) {
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(name, folder)) {
    std::fprintf(stderr, "perch: the translation %s is missing in %s\n", name.toUtf8().constData(),
                 folder.toUtf8().constData());
    return nullptr;
  }
  QCoreApplication::installTranslator(translator.get());
  return translator;
}

}  // namespace

TLanguageMode ReadLanguageMode(const TSettingsFile& settings) {
  const auto value =
      settings.ReadString(QString::fromLatin1(SettingsSection), QString::fromLatin1(LanguageKey));
  return value ? ParseLanguageMode(*value).value_or(TLanguageMode::Written) : TLanguageMode::Written;
}

void InstallTranslations(TLanguageMode mode) {
  TInstalled& installed = Installed();
  // Removed before they are destroyed, and the new ones installed after:
  // Qt sends a LanguageChange event for each.
  for (auto* translator : {installed.own.get(), installed.qt.get()})
    if (translator != nullptr) QCoreApplication::removeTranslator(translator);
  installed = {};
  if (mode == TLanguageMode::Written) return;
  if (mode == TLanguageMode::English) {
    installed.own = Load(QStringLiteral("perch_en"), QStringLiteral(":/i18n"));
  } else {
    installed.own = Load(QStringLiteral("perch_zh_CN"), QStringLiteral(":/i18n"));
    installed.qt = Load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  }
}

}  // namespace perch
