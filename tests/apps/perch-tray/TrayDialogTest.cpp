// The Say something box and the settings dialog, driven as a user would.

#include "apps/perch-tray/RenameDialog.h"
#include "apps/perch-tray/SayDialog.h"
#include "apps/perch-tray/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

using namespace perch;

using namespace std::chrono_literals;

namespace {

QPushButton* OkButton(QDialog& dialog) {
  return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

}  // namespace

TEST(SayDialog, OffersTheHistoryAndSaysOnlyATextWithSomethingInIt) {
  TSayDialog dialog(QStringLiteral("Polly"), {QStringLiteral("newest"), QStringLiteral("older")});
  auto* box = dialog.findChild<QComboBox*>();
  ASSERT_EQ(box->count(), 2);
  EXPECT_EQ(box->itemText(0), QStringLiteral("newest"));
  EXPECT_TRUE(box->currentText().isEmpty());  // nothing chosen for the user
  EXPECT_FALSE(OkButton(dialog)->isEnabled());

  box->lineEdit()->setText(QStringLiteral("   "));
  EXPECT_FALSE(OkButton(dialog)->isEnabled());
  box->lineEdit()->setText(QStringLiteral("  Hello there "));
  EXPECT_TRUE(OkButton(dialog)->isEnabled());
  EXPECT_EQ(dialog.Text(), QStringLiteral("Hello there"));

  box->setCurrentIndex(1);
  EXPECT_EQ(dialog.Text(), QStringLiteral("older"));

  box->lineEdit()->setText(QString(TSayDialog::MaxLength + 50, u'x'));
  EXPECT_EQ(dialog.Text().size(), TSayDialog::MaxLength);
}

TEST(SettingsDialog, UntouchedIdleTimesKeepTheirExactStoredValues) {
  TLivelySettings stored;
  stored.leastIdle = 5s;  // not whole minutes, as a tester's file may hold
  stored.mostIdle = 95s;
  stored.greetWeight = 7;
  TSettingsDialog dialog(stored, false);
  dialog.findChildren<QCheckBox*>().at(1)->setChecked(true);  // night sleep
  const TLivelySettings result = dialog.Lively();
  EXPECT_EQ(result.leastIdle, 5s);
  EXPECT_EQ(result.mostIdle, 95s);
  EXPECT_TRUE(result.nightSleep);
  EXPECT_EQ(result.greetWeight, 7);  // what the dialog does not show stays
  EXPECT_FALSE(dialog.StartAtLogin());
}

TEST(SettingsDialog, TheLeastNeverExceedsTheMost) {
  TLivelySettings stored;  // 3 and 10 minutes
  TSettingsDialog dialog(stored, true);
  const auto boxes = dialog.findChildren<QSpinBox*>();
  ASSERT_EQ(boxes.size(), 2);
  QSpinBox* least = boxes[0];
  QSpinBox* most = boxes[1];
  least->setValue(25);  // above the most: the most follows
  EXPECT_EQ(most->value(), 25);
  most->setValue(4);  // below the least: the least follows
  EXPECT_EQ(least->value(), 4);
  const TLivelySettings result = dialog.Lively();
  EXPECT_EQ(result.leastIdle, 4min);
  EXPECT_EQ(result.mostIdle, 4min);
  EXPECT_TRUE(dialog.StartAtLogin());

  dialog.findChildren<QCheckBox*>().at(0)->setChecked(false);  // lively off
  EXPECT_FALSE(dialog.Lively().enabled);
  EXPECT_FALSE(least->isEnabled());
}

TEST(RenameDialog, OffersTheNamesAsKeptAndTakesBothTrimmedAndBounded) {
  TRenameDialog dialog(QStringLiteral("Polly"), QString());
  auto* bird = dialog.findChild<QLineEdit*>(QStringLiteral("birdName"));
  auto* user = dialog.findChild<QLineEdit*>(QStringLiteral("userName"));
  ASSERT_TRUE(bird != nullptr && user != nullptr);
  EXPECT_EQ(bird->text(), QStringLiteral("Polly"));
  EXPECT_FALSE(OkButton(dialog)->isEnabled()) << "the user's name is still missing";
  user->setText(QStringLiteral("  Ann Lee "));
  EXPECT_TRUE(OkButton(dialog)->isEnabled());
  EXPECT_EQ(dialog.UserName(), QStringLiteral("Ann Lee"));
  bird->setText(QStringLiteral("   "));
  EXPECT_FALSE(OkButton(dialog)->isEnabled());
  bird->setText(QString(TRenameDialog::MaxLength + 20, u'k'));
  EXPECT_EQ(dialog.BirdName().size(), TRenameDialog::MaxLength);
}
