#include "apps/perch-tray/SettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace perch {

namespace {

constexpr int MaxMinutes = 24 * 60;

int Minutes(std::chrono::seconds seconds) {
  // Clamped while still a long, so that no count of seconds wraps as an int.
  return static_cast<int>(
      std::clamp(std::lround(static_cast<double>(seconds.count()) / 60.0), 1L, long{MaxMinutes}));
}

QSpinBox* MinutesBox(std::chrono::seconds value, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(1, MaxMinutes);
  box->setSuffix(QCoreApplication::translate("perch::TSettingsDialog", " min"));
  box->setValue(Minutes(value));
  return box;
}

}  // namespace

TSettingsDialog::TSettingsDialog(const TLivelySettings& lively, bool startAtLogin, QWidget* parent)
    : QDialog(parent), initial_(lively) {
  setObjectName(QStringLiteral("settingsDialog"));
  setWindowTitle(tr("Perch settings"));
  auto* layout = new QVBoxLayout(this);

  lively_ = new QCheckBox(tr("Lively bird: it does things by itself when left alone"), this);
  lively_->setChecked(lively.enabled);
  layout->addWidget(lively_);

  auto* form = new QFormLayout;
  least_ = MinutesBox(lively.leastIdle, this);
  most_ = MinutesBox(lively.mostIdle, this);
  form->addRow(tr("Idle at least"), least_);
  form->addRow(tr("Idle at most"), most_);
  layout->addLayout(form);
  connect(least_, &QSpinBox::valueChanged, this, [this] { KeepOrder(least_); });
  connect(most_, &QSpinBox::valueChanged, this, [this] { KeepOrder(most_); });
  connect(lively_, &QCheckBox::toggled, least_, &QWidget::setEnabled);
  connect(lively_, &QCheckBox::toggled, most_, &QWidget::setEnabled);
  least_->setEnabled(lively.enabled);
  most_->setEnabled(lively.enabled);

  nightSleep_ = new QCheckBox(tr("Sleeps now and then at night (22:00 to 07:00)"), this);
  nightSleep_->setChecked(lively.nightSleep);
  connect(lively_, &QCheckBox::toggled, nightSleep_, &QWidget::setEnabled);
  nightSleep_->setEnabled(lively.enabled);
  layout->addWidget(nightSleep_);

  startAtLogin_ = new QCheckBox(tr("Start at login"), this);
  startAtLogin_->setChecked(startAtLogin);
  layout->addWidget(startAtLogin_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TSettingsDialog::KeepOrder(QSpinBox* changed) {
  if (least_->value() <= most_->value()) return;
  if (changed == least_) most_->setValue(least_->value());
  else least_->setValue(most_->value());
}

TLivelySettings TSettingsDialog::Lively() const {
  TLivelySettings lively = initial_;
  lively.enabled = lively_->isChecked();
  lively.nightSleep = nightSleep_->isChecked();
  if (least_->value() != Minutes(initial_.leastIdle))
    lively.leastIdle = std::chrono::minutes{least_->value()};
  if (most_->value() != Minutes(initial_.mostIdle)) lively.mostIdle = std::chrono::minutes{most_->value()};
  return lively.Sane();
}

bool TSettingsDialog::StartAtLogin() const { return startAtLogin_->isChecked(); }

}  // namespace perch
