#include "companion/ErrorBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>

namespace perch {

void ShowErrorBox(const QString& message) {
  std::fprintf(stderr, "perch: %s\n", message.toUtf8().constData());
  QMessageBox box(QMessageBox::Critical, QCoreApplication::translate("perch::TActor", "Perch"), message,
                  QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.setObjectName(QStringLiteral("ErrorBox"));
  box.exec();
}

}  // namespace perch
