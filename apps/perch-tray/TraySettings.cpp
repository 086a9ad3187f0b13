#include "apps/perch-tray/TraySettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

#include "apps/perch-tray/IniStringList.h"

namespace perch {

namespace {

QString ConfigPath() {
  return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
      .filePath(QStringLiteral("perch/perch-tray.conf"));
}

// The section perch-tray 0.2.0 wrote "general" as (Qt's own name for keys
// outside any group).
const QString GeneralSection = QStringLiteral("general");
const QString OldGeneralSection = QStringLiteral("%General");

std::optional<long long> ToNumber(const std::optional<QString>& text) {
  if (!text) return std::nullopt;
  bool ok = false;
  const long long value = text->toLongLong(&ok);
  return ok ? std::optional(value) : std::nullopt;
}

std::optional<bool> ToFlag(const std::optional<QString>& value) {
  if (!value) return std::nullopt;
  const QString text = value->trimmed().toLower();
  if (text == u"true" || text == u"1" || text == u"yes" || text == u"on") return true;
  if (text == u"false" || text == u"0" || text == u"no" || text == u"off") return false;
  return std::nullopt;
}

QString FlagText(bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); }

}  // namespace

TTraySettings::TTraySettings() : TTraySettings(ConfigPath()) {}

TTraySettings::TTraySettings(const QString& path) : file_(path) {}

std::optional<QString> TTraySettings::Value(const QString& section, const QString& key) const {
  auto value = file_.ReadValue(section, key);
  if (!value && section == GeneralSection) value = file_.ReadValue(OldGeneralSection, key);
  return value;
}

void TTraySettings::Save(const QString& section, const QString& key, const QString& value) {
  // Failures are told on stderr by the file itself; the tray runs on.
  file_.WriteValue(section, key, value);
}

TLivelySettings TTraySettings::Lively() const {
  const TLivelySettings defaults;
  const QString section = QStringLiteral("lively");
  TLivelySettings lively;
  auto flag = [&](const char* key, bool fallback) {
    return ToFlag(Value(section, QString::fromLatin1(key))).value_or(fallback);
  };
  lively.enabled = flag("enabled", defaults.enabled);
  // Clamped before they become seconds, so that no value overflows.
  constexpr long long Day = 24LL * 3600;
  auto seconds = [&](const char* key, std::chrono::seconds fallback) {
    const long long value = ToNumber(Value(section, QString::fromLatin1(key))).value_or(fallback.count());
    return std::chrono::seconds{std::clamp(value, 0LL, Day)};
  };
  lively.leastIdle = seconds("leastIdleSeconds", defaults.leastIdle);
  lively.mostIdle = seconds("mostIdleSeconds", defaults.mostIdle);
  lively.nightSleep = flag("nightSleep", defaults.nightSleep);
  auto weight = [&](const char* key, int fallback) {
    const long long value = ToNumber(Value(section, QString::fromLatin1(key))).value_or(fallback);
    return static_cast<int>(std::clamp(value, 0LL, 1000LL));
  };
  lively.randomWeight = weight("randomWeight", defaults.randomWeight);
  lively.greetWeight = weight("greetWeight", defaults.greetWeight);
  lively.workWeight = weight("workWeight", defaults.workWeight);
  lively.eatWeight = weight("eatWeight", defaults.eatWeight);
  lively.sleepWeight = weight("sleepWeight", defaults.sleepWeight);
  lively.perchWeight = weight("perchWeight", defaults.perchWeight);
  lively.hopWeight = weight("hopWeight", defaults.hopWeight);
  lively.lookWeight = weight("lookWeight", defaults.lookWeight);
  lively.preenWeight = weight("preenWeight", defaults.preenWeight);
  lively.chatterWeight = weight("chatterWeight", defaults.chatterWeight);
  return lively.Sane();
}

void TTraySettings::SetLively(const TLivelySettings& lively) {
  const QString section = QStringLiteral("lively");
  auto save = [&](const char* key, const QString& value) { Save(section, QString::fromLatin1(key), value); };
  save("enabled", FlagText(lively.enabled));
  save("leastIdleSeconds", QString::number(lively.leastIdle.count()));
  save("mostIdleSeconds", QString::number(lively.mostIdle.count()));
  save("nightSleep", FlagText(lively.nightSleep));
  save("randomWeight", QString::number(lively.randomWeight));
  save("greetWeight", QString::number(lively.greetWeight));
  save("workWeight", QString::number(lively.workWeight));
  save("eatWeight", QString::number(lively.eatWeight));
  save("sleepWeight", QString::number(lively.sleepWeight));
  save("perchWeight", QString::number(lively.perchWeight));
  save("hopWeight", QString::number(lively.hopWeight));
  save("lookWeight", QString::number(lively.lookWeight));
  save("preenWeight", QString::number(lively.preenWeight));
  save("chatterWeight", QString::number(lively.chatterWeight));
}

QStringList TTraySettings::SayHistory() const {
  const auto value = Value(QStringLiteral("say"), QStringLiteral("history"));
  QStringList history = value ? ParseIniStringList(*value) : QStringList{};
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
  Save(QStringLiteral("say"), QStringLiteral("history"), FormatIniStringList(history));
}

std::optional<TLanguageMode> TTraySettings::LanguageMode() const {
  const auto value = Value(GeneralSection, QString::fromLatin1(LanguageKey));
  return value ? ParseLanguageMode(*value) : std::nullopt;
}

void TTraySettings::SetLanguageMode(TLanguageMode mode) {
  Save(GeneralSection, QString::fromLatin1(LanguageKey), LanguageModeName(mode));
}

bool TTraySettings::ChooseLanguageOnFirstStart(const QString& localeName) {
  if (QFileInfo::exists(Path())) return false;
  SetLanguageMode(localeName.startsWith(QStringLiteral("zh")) ? TLanguageMode::Chinese
                                                              : TLanguageMode::English);
  return true;
}

bool TTraySettings::Chinese() const {
  return Value(GeneralSection, QStringLiteral("language")) == QStringLiteral("chinese");
}

void TTraySettings::SetChinese(bool chinese) {
  SetLanguageMode(chinese ? TLanguageMode::Chinese : TLanguageMode::English);
}

bool TTraySettings::TrayNoticeShown() const {
  return ToFlag(Value(GeneralSection, QStringLiteral("trayNoticeShown"))).value_or(false);
}

void TTraySettings::SetTrayNoticeShown() {
  Save(GeneralSection, QStringLiteral("trayNoticeShown"), FlagText(true));
}

std::optional<QDateTime> TTraySettings::HiddenUntil() const {
  const auto value = Value(QStringLiteral("hide"), QStringLiteral("until"));
  if (!value || value->isEmpty()) return std::nullopt;
  if (*value == u"shown") return QDateTime();
  const QDateTime until = QDateTime::fromString(*value, Qt::ISODate);
  // A time that cannot be read hides nothing.
  return until.isValid() ? std::optional(until.toUTC()) : std::nullopt;
}

void TTraySettings::SetHiddenUntil(const std::optional<QDateTime>& until) {
  QString value;
  if (until) value = until->isValid() ? until->toUTC().toString(Qt::ISODate) : QStringLiteral("shown");
  Save(QStringLiteral("hide"), QStringLiteral("until"), value);
}

}  // namespace perch
