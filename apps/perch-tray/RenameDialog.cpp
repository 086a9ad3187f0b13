#include "apps/perch-tray/RenameDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace perch {

TRenameDialog::TRenameDialog(const QString& birdName, const QString& userName, QWidget* parent)
    : QDialog(parent), birdName_(new QLineEdit(birdName, this)), userName_(new QLineEdit(userName, this)) {
  setObjectName(QStringLiteral("renameDialog"));
  setWindowTitle(tr("Rename"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  birdName_->setObjectName(QStringLiteral("birdName"));
  userName_->setObjectName(QStringLiteral("userName"));
  for (QLineEdit* edit : {birdName_, userName_}) {
    edit->setMaxLength(MaxLength);
    edit->setMinimumWidth(240);
  }
  form->addRow(tr("The bird's name:"), birdName_);
  form->addRow(tr("Your name:"), userName_);
  layout->addLayout(form);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setText(tr("Rename"));
  const auto check = [this] { ok_->setEnabled(!BirdName().isEmpty() && !UserName().isEmpty()); };
  connect(birdName_, &QLineEdit::textChanged, this, check);
  connect(userName_, &QLineEdit::textChanged, this, check);
  check();
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  birdName_->setFocus();
  birdName_->selectAll();
}

QString TRenameDialog::BirdName() const { return birdName_->text().trimmed(); }
QString TRenameDialog::UserName() const { return userName_->text().trimmed(); }

}  // namespace perch
