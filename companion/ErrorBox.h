#pragma once
// The application's error box: a failed step is shown to the user, and the
// program runs on.

#include <QString>

#include "chess/board/BoardErrorBox.h"

namespace perch {

void ShowErrorBox(const QString& message);

// Every entry of the event loop, the board's and the companion's, reports
// through one mechanism; the companion routes it to ShowErrorBox.
using perch::RunReportingErrors;

}  // namespace perch
