#pragma once
// perch-tray's own settings, in $XDG_CONFIG_HOME/perch/perch-tray.conf (INI):
//   [lively]  enabled, leastIdleSeconds, mostIdleSeconds, nightSleep,
//             randomWeight, greetWeight, workWeight, eatWeight, sleepWeight,
//             perchWeight, hopWeight, lookWeight, preenWeight, chatterWeight
//   [say]     history (the last texts, newest first)
//   [general] language (written|english|chinese), trayNoticeShown
//   [hide]    until ("shown", or the UTC time the bird comes back at)
// Read anew for every value, so that a second perch-tray (or the user's
// editor) is seen, and written whole or not at all (see TSettingsFile).
// Files written by perch-tray 0.2.0 read the same: it kept the [general]
// keys in a section named "[%General]".

#include "companion/LanguageMode.h"
#include "companion/SettingsFile.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include "apps/perch-tray/LivelyScheduler.h"

namespace perch {

class TTraySettings {
 public:
  static constexpr int HistoryLength = 10;

  TTraySettings();
  explicit TTraySettings(const QString& path);

  QString Path() const { return file_.Path(); }

  TLivelySettings Lively() const;
  void SetLively(const TLivelySettings& lively);

  QStringList SayHistory() const;
  // Puts the text first, drops an earlier copy and keeps the newest ten.
  void RememberSaid(const QString& text);

  // The companion's language mode as last chosen, nullopt when none was.
  // Files of earlier versions, which kept only the voice (english or
  // chinese), read as that one-language mode.
  std::optional<TLanguageMode> LanguageMode() const;
  void SetLanguageMode(TLanguageMode mode);
  // On the very first start (no settings file yet): English, or Chinese
  // where the locale is Chinese. False when a file was there already.
  bool ChooseLanguageOnFirstStart(const QString& localeName);
  // Whether the mode is Chinese; SetChinese chooses English or Chinese.
  bool Chinese() const;
  void SetChinese(bool chinese);

  bool TrayNoticeShown() const;
  void SetTrayNoticeShown();

  // While the bird is hidden: the time it comes back at, or a null time for
  // "until shown again"; nullopt while it is not hidden. Kept, so that a
  // perch-tray started again still hides it and brings it back on time.
  std::optional<QDateTime> HiddenUntil() const;
  void SetHiddenUntil(const std::optional<QDateTime>& until);

 private:
  std::optional<QString> Value(const QString& section, const QString& key) const;
  void Save(const QString& section, const QString& key, const QString& value);

  mutable TSettingsFile file_;
};

}  // namespace perch
