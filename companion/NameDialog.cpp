#include "companion/NameDialog.h"

#include <QEventLoop>
#include <QInputDialog>
#include <QLineEdit>
#include <QTimer>

namespace perch {

namespace {

bool IsStripped(QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; }

}  // namespace

QString StripName(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && IsStripped(text[first])) ++first;
  while (last > first && IsStripped(text[last - 1])) --last;
  return text.mid(first, last - first);
}

std::optional<QString> AskName(const QString& prompt) {
  QInputDialog dialog;
  dialog.setWindowTitle(QString());
  dialog.setWindowRole(QStringLiteral("perch-name"));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setLabelText(prompt);
  dialog.setTextValue(QString());
  if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMaxLength(NameMaxLength);
  // Ask for the keyboard focus, which a desktop without a window manager
  // does not give by itself.
  QTimer::singleShot(0, &dialog, [&dialog] {
    dialog.raise();
    dialog.activateWindow();
  });
  // Not modal: a modal dialog would shut out the character's clicks (and a
  // board opened meanwhile), while requests kept being answered. Clicks are
  // answered like requests, in this loop, nested.
  dialog.setWindowModality(Qt::NonModal);
  QEventLoop loop;
  QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
  dialog.show();
  loop.exec();  // also ended by the quit request, which leaves the dialog unanswered
  if (dialog.result() != QDialog::Accepted) return std::nullopt;
  return StripName(dialog.textValue());
}

}  // namespace perch
