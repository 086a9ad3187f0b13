#include "tools/perch-tray/TraySettings.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>

namespace perch {

namespace {

QString ConfigPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(QStringLiteral("perch/perch-tray.conf"));
}

// A whole number from the file, or the default when it is missing or not one.
long long ReadNumber(const QSettings& settings, const QString& key, long long defaultValue) {
  bool ok = false;
  const long long value = settings.value(key).toLongLong(&ok);
  return ok ? value : defaultValue;
}

bool ReadFlag(const QSettings& settings, const QString& key, bool defaultValue) {
  const QString text = settings.value(key).toString().trimmed().toLower();
  if (text == u"true" || text == u"1" || text == u"yes" || text == u"on") return true;
  if (text == u"false" || text == u"0" || text == u"no" || text == u"off") return false;
  return defaultValue;
}

}  // namespace

TTraySettings::TTraySettings() : settings_(ConfigPath(), QSettings::IniFormat) {}

TLivelySettings TTraySettings::Lively() const {
  const TLivelySettings defaults;
  TLivelySettings lively;
  lively.enabled = ReadFlag(settings_, QStringLiteral("lively/enabled"), defaults.enabled);
  // Clamped before they become seconds, so that no value overflows.
  constexpr long long Day = 24LL * 3600;
  auto seconds = [&](const char* key, std::chrono::seconds fallback) {
    return std::chrono::seconds{
        std::clamp(ReadNumber(settings_, QString::fromLatin1(key), fallback.count()), 0LL, Day)};
  };
  lively.leastIdle = seconds("lively/leastIdleSeconds", defaults.leastIdle);
  lively.mostIdle = seconds("lively/mostIdleSeconds", defaults.mostIdle);
  lively.nightSleep = ReadFlag(settings_, QStringLiteral("lively/nightSleep"), defaults.nightSleep);
  auto weight = [&](const char* key, int fallback) {
    return static_cast<int>(
        std::clamp(ReadNumber(settings_, QString::fromLatin1(key), fallback), 0LL, 1000LL));
  };
  lively.randomWeight = weight("lively/randomWeight", defaults.randomWeight);
  lively.greetWeight = weight("lively/greetWeight", defaults.greetWeight);
  lively.workWeight = weight("lively/workWeight", defaults.workWeight);
  lively.eatWeight = weight("lively/eatWeight", defaults.eatWeight);
  lively.sleepWeight = weight("lively/sleepWeight", defaults.sleepWeight);
  return lively.Sane();
}

void TTraySettings::SetLively(const TLivelySettings& lively) {
  settings_.setValue(QStringLiteral("lively/enabled"), lively.enabled);
  settings_.setValue(QStringLiteral("lively/leastIdleSeconds"),
                     static_cast<qlonglong>(lively.leastIdle.count()));
  settings_.setValue(QStringLiteral("lively/mostIdleSeconds"),
                     static_cast<qlonglong>(lively.mostIdle.count()));
  settings_.setValue(QStringLiteral("lively/nightSleep"), lively.nightSleep);
  settings_.setValue(QStringLiteral("lively/randomWeight"), lively.randomWeight);
  settings_.setValue(QStringLiteral("lively/greetWeight"), lively.greetWeight);
  settings_.setValue(QStringLiteral("lively/workWeight"), lively.workWeight);
  settings_.setValue(QStringLiteral("lively/eatWeight"), lively.eatWeight);
  settings_.setValue(QStringLiteral("lively/sleepWeight"), lively.sleepWeight);
  Save();
}

QStringList TTraySettings::SayHistory() const {
  QStringList history = settings_.value(QStringLiteral("say/history")).toStringList();
  history.removeAll(QString());
  if (history.size() > HistoryLength) history.resize(HistoryLength);
  return history;
}

void TTraySettings::RememberSaid(const QString& text) {
  if (text.isEmpty()) return;
  QStringList history = SayHistory();
  history.removeAll(text);
  history.prepend(text);
  if (history.size() > HistoryLength) history.resize(HistoryLength);
  settings_.setValue(QStringLiteral("say/history"), history);
  Save();
}

bool TTraySettings::Chinese() const {
  return settings_.value(QStringLiteral("general/language")).toString() == u"chinese";
}

void TTraySettings::SetChinese(bool chinese) {
  settings_.setValue(QStringLiteral("general/language"),
                     chinese ? QStringLiteral("chinese") : QStringLiteral("english"));
  Save();
}

bool TTraySettings::TrayNoticeShown() const {
  return ReadFlag(settings_, QStringLiteral("general/trayNoticeShown"), false);
}

void TTraySettings::SetTrayNoticeShown() {
  settings_.setValue(QStringLiteral("general/trayNoticeShown"), true);
  Save();
}

void TTraySettings::Save() {
  settings_.sync();
  if (settings_.status() != QSettings::NoError) {
    std::fprintf(stderr, "perch-tray: cannot write the settings to %s\n", qPrintable(settings_.fileName()));
  }
}

}  // namespace perch
