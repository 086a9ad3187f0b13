#pragma once
// Keeps the companion running: starts perch (beside perch-tray, else on the
// PATH) unless one answers already, watches it, starts it again when it dies
// (at most three times a minute, then gives up), and notices a companion
// that never reports its start-up.

#include "apps/perch-tray/RestartBudget.h"

#include <QObject>
#include <QProcess>
#include <QString>
#include <QTimer>

namespace perch {

class TCompanionProcess : public QObject {
  Q_OBJECT
 public:
  static constexpr int StartUpSeconds = 30;

  explicit TCompanionProcess(QObject* parent = nullptr);
  ~TCompanionProcess() override;

  // The companion program that perch-tray starts; empty when none is found.
  static QString ProgramPath();

  // Starts the companion unless one is running; watches it either way.
  void Ensure();
  // Notice 40 came: the companion is up.
  void NoteStartedUp();
  // Request 70 was posted: Gone() follows once the companion has ended, or
  // after a grace time in which it is ended. A companion of ours that could
  // not be told (the request was lost) is ended at once.
  void ExpectQuit(bool told);

 signals:
  // A companion process of ours was started (its routines start afresh).
  void Starting();
  // A companion that was running already is the one perch-tray serves.
  void Adopted();
  // The companion kept dying and is not started again.
  void GaveUp();
  // The companion has ended and is not started again.
  void Gone();
  // Something the user must hear of; perch-tray runs on.
  void Trouble(const QString& message);

 private:
  void StartChild();
  void OnChildFinished(int exitCode, QProcess::ExitStatus status);
  void OnWatch();
  void OnStartUpOverdue();
  bool FirstRunPending() const;

  QProcess* child_ = nullptr;
  QTimer watch_;      // a companion we did not start: is it still there?
  QTimer startUp_;    // notice 40 overdue
  QTimer quitGrace_;  // the quit request was not obeyed
  TRestartBudget restarts_;
  bool quitting_ = false;
  bool gaveUp_ = false;
};

}  // namespace perch
