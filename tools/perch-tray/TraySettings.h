#pragma once
// perch-tray's own settings, in $XDG_CONFIG_HOME/perch/perch-tray.conf (INI):
//   [lively]  enabled, leastIdleSeconds, mostIdleSeconds, nightSleep,
//             randomWeight, greetWeight, workWeight, eatWeight, sleepWeight
//   [say]     history (the last texts, newest first)
//   [general] language (english|chinese), trayNoticeShown

#include "tools/perch-tray/LivelyScheduler.h"

#include <QSettings>
#include <QString>
#include <QStringList>

namespace perch {

class TTraySettings {
 public:
  static constexpr int HistoryLength = 10;

  TTraySettings();

  QString Path() const { return settings_.fileName(); }

  TLivelySettings Lively() const;
  void SetLively(const TLivelySettings& lively);

  QStringList SayHistory() const;
  // Puts the text first, drops an earlier copy and keeps the newest ten.
  void RememberSaid(const QString& text);

  bool Chinese() const;
  void SetChinese(bool chinese);

  bool TrayNoticeShown() const;
  void SetTrayNoticeShown();

 private:
  void Save();

  mutable QSettings settings_;
};

}  // namespace perch
