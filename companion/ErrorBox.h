#pragma once
// The application's error box: a failed step is shown to the user, and the
// program runs on.

#include <QString>

#include <exception>

void ShowErrorBox(const QString& message);

// Runs one entry of the event loop and reports whatever it throws, so that
// no exception reaches Qt.
template <typename TStep>
void RunReportingErrors(TStep&& step) {
  try {
    step();
  } catch (const std::exception& error) {
    ShowErrorBox(QString::fromUtf8(error.what()));
  } catch (...) {
    ShowErrorBox(QStringLiteral("An unknown error occurred."));
  }
}
