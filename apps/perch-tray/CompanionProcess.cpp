#include "apps/perch-tray/CompanionProcess.h"

#include "companion/SettingsFile.h"
#include "platform/LinkWindow.h"
#include "platform/PlatformError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <chrono>
#include <cstdio>

namespace perch {

namespace {

// A companion that is not ours is looked for this often; while it is asked
// to quit, more often.
constexpr int WatchMs = 3000;
constexpr int QuitWatchMs = 200;
constexpr int QuitGraceMs = 20000;

bool CompanionAnswers() {
  try {
    return perch::FindWindow(perch::CompanionClass);
  } catch (const perch::TPlatformError&) {
    return false;
  }
}

}  // namespace

TCompanionProcess::TCompanionProcess(QObject* parent) : QObject(parent) {
  connect(&watch_, &QTimer::timeout, this, &TCompanionProcess::OnWatch);
  startUp_.setSingleShot(true);
  connect(&startUp_, &QTimer::timeout, this, &TCompanionProcess::OnStartUpOverdue);
  quitGrace_.setSingleShot(true);
  connect(&quitGrace_, &QTimer::timeout, this, [this] {
    std::fprintf(stderr, "perch-tray: the companion did not end on the quit request; ending it\n");
    if (child_ != nullptr && child_->state() != QProcess::NotRunning) {
      child_->kill();  // its finished signal reports Gone
    } else {
      emit Gone();
    }
  });
}

TCompanionProcess::~TCompanionProcess() {
  // A companion of ours that still runs ends with perch-tray (the quit
  // request normally ended it before); nothing is reported meanwhile.
  if (child_ != nullptr) child_->disconnect(this);
}

QString TCompanionProcess::ProgramPath() {
  QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("perch"));
  const QFileInfo info(beside);
  if (info.isFile() && info.isExecutable()) return beside;
  return QStandardPaths::findExecutable(QStringLiteral("perch"));
}

void TCompanionProcess::Ensure() {
  if (CompanionAnswers()) {
    watch_.start(WatchMs);
    emit Adopted();
    return;
  }
  StartChild();
}

void TCompanionProcess::StartChild() {
  watch_.stop();
  const QString program = ProgramPath();
  if (program.isEmpty()) {
    gaveUp_ = true;
    emit GaveUp();
    emit Trouble(tr("The companion program perch was found neither beside perch-tray nor on the PATH."));
    return;
  }
  if (child_ != nullptr) child_->deleteLater();
  child_ = new QProcess(this);
  child_->setProgram(program);
  child_->setProcessChannelMode(QProcess::ForwardedChannels);
  connect(child_, &QProcess::finished, this, &TCompanionProcess::OnChildFinished);
  connect(child_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error == QProcess::FailedToStart) OnChildFinished(-1, QProcess::CrashExit);
  });
  emit Starting();
  child_->start();
  startUp_.start(StartUpSeconds * 1000);
}

void TCompanionProcess::OnChildFinished(int exitCode, QProcess::ExitStatus status) {
  startUp_.stop();
  if (quitting_) {
    quitGrace_.stop();
    emit Gone();
    return;
  }
  if (status == QProcess::NormalExit && exitCode == 0) {
    // Ended by a quit request from elsewhere, or it met a companion that
    // had started meanwhile and left it the place.
    if (CompanionAnswers()) {
      watch_.start(WatchMs);
      emit Adopted();
    } else {
      std::fprintf(stderr, "perch-tray: the companion was asked to quit; ending too\n");
      emit Gone();
    }
    return;
  }
  std::fprintf(stderr, "perch-tray: the companion ended unexpectedly (%s %d)\n",
               status == QProcess::CrashExit ? "crash" : "exit status", exitCode);
  if (gaveUp_) return;
  if (!restarts_.TryRestart(std::chrono::steady_clock::now())) {
    gaveUp_ = true;
    emit GaveUp();
    emit Trouble(
        tr("The bird keeps failing: perch ended unexpectedly again and again, so it is not "
           "started any more. Start perch-tray again to try once more."));
    return;
  }
  // A moment's pause, so that a companion that dies at once does not spin.
  QTimer::singleShot(1000, this, [this] {
    if (!quitting_) StartChild();
  });
}

void TCompanionProcess::OnWatch() {
  if (CompanionAnswers()) return;
  watch_.stop();
  if (quitting_) {
    quitGrace_.stop();
    emit Gone();
  } else if (!gaveUp_ && restarts_.TryRestart(std::chrono::steady_clock::now())) {
    StartChild();
  } else if (!gaveUp_) {
    gaveUp_ = true;
    emit GaveUp();
  }
}

void TCompanionProcess::NoteStartedUp() { startUp_.stop(); }

bool TCompanionProcess::FirstRunPending() const {
  const QString program = ProgramPath();
  if (program.isEmpty()) return false;
  const TSettingsFile settings(SettingsLocation(QFileInfo(program).absolutePath()));
  return settings.ReadInteger(QString::fromLatin1(SettingsSection), QStringLiteral("firstRun"), 0) != 1;
}

void TCompanionProcess::OnStartUpOverdue() {
  if (child_ == nullptr || child_->state() == QProcess::NotRunning) return;
  // On a first run the bird waits in its introduction for the user to
  // answer; that is no failure.
  if (FirstRunPending()) {
    startUp_.start(StartUpSeconds * 1000);
    return;
  }
  emit Trouble(tr("The bird has not woken up: perch gave no sign of its start within %1 seconds.")
                   .arg(StartUpSeconds));
}

void TCompanionProcess::ExpectQuit(bool told) {
  quitting_ = true;
  startUp_.stop();
  quitGrace_.start(QuitGraceMs);
  if (child_ != nullptr && child_->state() != QProcess::NotRunning) {
    if (!told) child_->terminate();
    return;  // finished() reports
  }
  if (!CompanionAnswers()) {
    quitGrace_.stop();
    emit Gone();
    return;
  }
  watch_.start(QuitWatchMs);
}

}  // namespace perch
