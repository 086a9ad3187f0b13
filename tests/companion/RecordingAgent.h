#pragma once
// A stand-in for the character service that records every call on the
// character, so that tests can check what the companion asks of it.

#include <QString>
#include <QStringList>

#include <functional>

namespace perch {

struct TRecordingAgent {
  static QStringList& Calls();
  static void Reset();
  // Makes Characters.Load fail, as a missing character file does.
  static inline bool failLoad = false;
  // Runs inside each Speak, after it was recorded; may throw.
  static inline std::function<void(const QString&)> onSpeak;
};

}  // namespace perch
