#pragma once
// Settings…: lively mode, its two idle times, night sleep and start at login.

#include "apps/perch-tray/LivelyScheduler.h"

#include <QDialog>

class QCheckBox;
class QSpinBox;

namespace perch {

class TSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  TSettingsDialog(const TLivelySettings& lively, bool startAtLogin, QWidget* parent = nullptr);

  // The settings as the dialog shows them; idle times the user left alone
  // keep their exact stored values (which may not be whole minutes).
  TLivelySettings Lively() const;
  bool StartAtLogin() const;

 private:
  void KeepOrder(QSpinBox* changed);

  TLivelySettings initial_;
  QCheckBox* lively_;
  QSpinBox* least_;
  QSpinBox* most_;
  QCheckBox* nightSleep_;
  QCheckBox* startAtLogin_;
};

}  // namespace perch
