#pragma once
// TActor against the recording character service, on a clock that moves one
// second per wait step. Each wait step leaves a "~" among the recorded calls
// and each random draw a "draw LOW-HIGH: N", so that Script() shows the waits
// and draws between the calls. Modal dialogs are answered as they open.

#include "companion/Unit1.h"

#include "platform/LinkWindow.h"
#include "tests/companion/RecordingAgent.h"
#include "tests/support/TempRuntimeDir.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <optional>
#include <utility>
#include <vector>

using namespace perch;

using Codes = std::vector<std::uint64_t>;

// What a user sees and hears of a routine or the introduction: the lines in order with their
// voices, the animations, where the bird flew, and how long it all took.
inline QString Observed(const QStringList& script) {
  QStringList said, played, flown;
  int waited = 0;
  for (const QString& call : script) {
    if (call.startsWith("Speak ")) said << call.mid(6);
    else if (call.startsWith("Play ")) played << call.mid(5);
    else if (call.startsWith("MoveTo ")) flown << call.section(u' ', 1, 2).replace(u' ', u',');
    else if (call.startsWith("wait ")) waited += call.mid(5).toInt();
  }
  return QStringLiteral("said: %1; played: %2; flew: %3; waited %4 s")
      .arg(said.join(" | "), played.join(' '), flown.join(' '))
      .arg(waited);
}

class ActorFixture : public testing::Test {
 protected:
  void SetUp() override {
    TRecordingAgent::Reset();
    Quitting = false;
    CompanionWaitSteps().now = [this] { return now_; };
    CompanionWaitSteps().processMessagesFor = [this](std::chrono::milliseconds) {
      TRecordingAgent::Calls().append(QStringLiteral("~"));
      QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
      now_ += std::chrono::seconds(1);
    };
    actor_.ProgramFolder = program_.path();
    actor_.RandomNumber = [this](int low, int high) {
      const int n = draws_.empty() ? low : draws_.front();
      if (!draws_.empty()) draws_.pop_front();
      TRecordingAgent::Calls().append(QStringLiteral("draw %1-%2: %3").arg(low).arg(high).arg(n));
      return n;
    };
    Actor = &actor_;
    QObject::connect(&modalTimer_, &QTimer::timeout, &modalTimer_, [this] { AnswerModal(); });
    modalTimer_.start(2);
  }
  void TearDown() override {
    Actor = nullptr;
    if (Quitting) {
      // The quit request told every event loop to end at once; the
      // application's own loop clears that when it returns.
      QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
      QApplication::exec();
    }
    Quitting = false;
  }

  // Set-up of the form after a completed first run; its notices and calls
  // are cleared.
  void CreateWithCompletedFirstRun() {
    TSettingsFile(program_.filePath("config.ini")).WriteInteger("parameter", "firstRun", 1);
    actor_.FormCreate();
    Notices();
    TRecordingAgent::Calls().clear();
  }
  QString Setting(const QString& key) {
    return TSettingsFile(program_.filePath("config.ini")).ReadString("parameter", key).value_or("<none>");
  }
  Codes Notices() {
    Codes codes;
    for (std::optional<perch::TLinkMessage> m; controller_.ReceiveOne(m);)
      if (m) codes.push_back(m->wParam);
    return codes;
  }
  // The calls since the last Script(), each run of wait steps as "wait N".
  QStringList Script() {
    QStringList script;
    for (const QString& call : std::exchange(TRecordingAgent::Calls(), {})) {
      const bool waiting = !script.isEmpty() && script.last().startsWith("wait ");
      if (call != u'~') script << call;
      else if (waiting) script.last() = QStringLiteral("wait %1").arg(script.last().mid(5).toInt() + 1);
      else script << QStringLiteral("wait 1");
    }
    return script;
  }
  void Request(std::uint64_t code) { Send(perch::WM_COMPANION, code, {}); }
  void Text(const std::string& text) { Send(perch::WM_COPYDATA, 0, text); }
  void Send(std::uint32_t kind, std::uint64_t code, const std::string& text) {
    perch::TLinkMessage message;
    message.message = kind;
    message.wParam = code;
    message.text = text;
    actor_.HandleLinkMessage(message);
  }

  std::deque<int> draws_;                       // what the routines' draws give, in turn; then the low end
  std::deque<std::optional<QString>> answers_;  // name dialogs: typed and OK, or Cancel
  QStringList dialogs_;  // "title|prompt|initial text|length limit" of each name dialog
  QStringList boxes_;    // the texts of the message boxes, each closed with OK
  std::chrono::steady_clock::time_point now_{};
  TTempRuntimeDir runtime_;
  QTemporaryDir program_;
  perch::TLinkWindow controller_{perch::ControllerClass};
  QTimer modalTimer_;
  TActor actor_{std::make_unique<TRecordingAgent>()};

 private:
  // Name dialogs are not modal: the one on screen.
  static QInputDialog* OpenNameDialog() {
    for (QWidget* window : QApplication::topLevelWidgets())
      if (auto* dialog = qobject_cast<QInputDialog*>(window); dialog != nullptr && dialog->isVisible())
        return dialog;
    return nullptr;
  }
  void AnswerModal() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      boxes_ << box->text();
      box->accept();
    } else if (auto* dialog = OpenNameDialog()) {
      auto* edit = dialog->findChild<QLineEdit*>();
      dialogs_ << QStringLiteral("%1|%2|%3|%4")
                      .arg(dialog->windowTitle(), dialog->labelText(), dialog->textValue(),
                           QString::number(edit != nullptr ? edit->maxLength() : -1));
      const std::optional<QString> answer = answers_.empty() ? std::nullopt : answers_.front();
      if (!answers_.empty()) answers_.pop_front();
      if (answer) dialog->setTextValue(*answer);
      answer ? dialog->accept() : dialog->reject();
    }
  }
};
