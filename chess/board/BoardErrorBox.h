#pragma once
// The application's error box for failures that reach the board from the
// event loop (a throwing event handler). Every entry point the event loop
// calls catches and reports here, and the program runs on.

#include <QString>
#include <functional>

namespace perch {

// Shows the message; by default a modal box with the text as plain text.
void ShowBoardError(const QString& message);

// Replaces how errors are shown (the companion routes them to its own box,
// tests record them); an empty function restores the default.
void SetBoardErrorReporter(std::function<void(const QString&)> reporter);

// Runs the call and reports whatever it throws.
void RunReportingErrors(const std::function<void()>& call);

}  // namespace perch
