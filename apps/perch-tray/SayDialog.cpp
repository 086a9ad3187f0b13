#include "apps/perch-tray/SayDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace perch {

TSayDialog::TSayDialog(const QString& birdName, const QStringList& history, QWidget* parent)
    : QDialog(parent), text_(new QComboBox(this)) {
  setObjectName(QStringLiteral("sayDialog"));
  setWindowTitle(tr("Say something"));
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(tr("What should %1 say?").arg(birdName), this);
  prompt->setTextFormat(Qt::PlainText);
  layout->addWidget(prompt);

  text_->setEditable(true);
  text_->setInsertPolicy(QComboBox::NoInsert);
  text_->addItems(history);
  text_->setCurrentIndex(-1);
  text_->lineEdit()->setMaxLength(MaxLength);
  text_->lineEdit()->setPlaceholderText(tr("Type a text, or pick one said before"));
  text_->setMinimumContentsLength(30);
  layout->addWidget(text_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  ok_->setText(tr("Say"));
  ok_->setEnabled(false);
  connect(text_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { ok_->setEnabled(!text.trimmed().isEmpty()); });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  text_->setFocus();
}

QString TSayDialog::Text() const { return text_->currentText().trimmed(); }

}  // namespace perch
