#pragma once
// The companion form against the recording character service, on a clock
// that moves one second per wait step. Every wait step leaves a "~" in the
// call list, so that Script() can show the waits between the calls.

#include "Unit1.h"

#include "LinkWindow.h"
#include "RecordingAgent.h"
#include "TempRuntimeDir.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <vector>

// Closes every message box that opens and notes its text.
class TBoxCloser : public QObject {
 public:
  TBoxCloser() {
    timer_.setInterval(2);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts << box->text();
        if (onBox) onBox();
        box->accept();
      }
    });
    timer_.start();
  }
  QStringList texts;
  std::function<void()> onBox;  // runs while the box is open

 private:
  QTimer timer_;
};

class GameFixture : public testing::Test {
 protected:
  void SetUp() override {
    TRecordingAgent::Reset();
    Quitting = false;
    CompanionWaitSteps().now = [this] { return fakeNow_; };
    CompanionWaitSteps().processMessagesFor = [this](std::chrono::milliseconds) {
      TRecordingAgent::Calls().append(QStringLiteral("~"));
      QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
      fakeNow_ += std::chrono::seconds(1);
    };
    controller_ = std::make_unique<perch::TLinkWindow>(perch::ControllerClass);
    actor_ = std::make_unique<TActor>();
    actor_->ProgramFolder = program_.path();
    Actor = actor_.get();
    TSettingsFile(program_.filePath("config.ini")).WriteInteger("parameter", "firstRun", 1);
    actor_->FormCreate();
    Notices();
    TRecordingAgent::Calls().clear();
  }
  void TearDown() override {
    actor_.reset();
    Actor = nullptr;
    Quitting = false;
  }

  // The draws the routines will get, in turn.
  void Draws(std::deque<int> numbers) {
    actor_->RandomNumber = [this, numbers = std::move(numbers)](int low, int high) mutable {
      drawRanges_.emplace_back(low, high);
      if (numbers.empty()) return low;
      const int n = numbers.front();
      numbers.pop_front();
      return n;
    };
  }

  std::vector<std::uint64_t> Notices() {
    std::vector<std::uint64_t> codes;
    std::optional<perch::TLinkMessage> message;
    while (controller_->ReceiveOne(message)) {
      if (message) codes.push_back(message->wParam);
    }
    return codes;
  }

  // The calls made since the last Script(), each run of wait steps shown as
  // "wait N".
  QStringList Script() {
    QStringList script;
    int steps = 0;
    auto flush = [&] {
      if (steps > 0) script << QStringLiteral("wait %1").arg(steps);
      steps = 0;
    };
    for (const QString& call : TRecordingAgent::Calls()) {
      if (call == QLatin1String("~")) {
        ++steps;
        continue;
      }
      flush();
      script << call;
    }
    flush();
    TRecordingAgent::Calls().clear();
    return script;
  }

  void Request(std::uint64_t code) {
    perch::TLinkMessage message;
    message.message = perch::WM_COMPANION;
    message.wParam = code;
    actor_->HandleLinkMessage(message);
  }

  std::chrono::steady_clock::time_point fakeNow_{};
  std::vector<std::pair<int, int>> drawRanges_;
  TTempRuntimeDir runtime_;
  QTemporaryDir program_;
  std::unique_ptr<perch::TLinkWindow> controller_;
  std::unique_ptr<TActor> actor_;
};
