#include "chess/board/BoardErrorBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <exception>

namespace perch {
namespace {

std::function<void(const QString&)>& Reporter() {
  static std::function<void(const QString&)> reporter;
  return reporter;
}

}  // namespace

void ShowBoardError(const QString& message) {
  if (Reporter()) {
    Reporter()(message);
    return;
  }
  QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), message, QMessageBox::Ok);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void SetBoardErrorReporter(std::function<void(const QString&)> reporter) { Reporter() = std::move(reporter); }

void RunReportingErrors(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::exception& e) {
    ShowBoardError(QString::fromUtf8(e.what()));
  } catch (...) {
    ShowBoardError(QCoreApplication::translate("perch::BoardErrorBox", "An unknown error occurred."));
  }
}

}  // namespace perch
