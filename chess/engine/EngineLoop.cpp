// The engine thread's body and its hand-shake with the main thread.

#include <sys/resource.h>
#include <unistd.h>

#include "chess/engine/EngineThread.h"

namespace {

void SetNiceValue(int threadId, int nice) {
  if (threadId == 0) return;
  // Fails without privileges when the value would raise the priority.
  (void)setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), nice);
}

}  // namespace

TEngineThread::TEngineThread(TLinks links, TCallbacks callbacks)
    : links_(std::move(links)),
      callbacks_(std::move(callbacks)),
      engine_(std::make_unique<TChessThread>()) {
  engine_->LinkGame(links_.game);
  if (links_.searchDepth) engine_->LinkSearchDepth(links_.searchDepth);
  thread_ = std::thread([this] { EngineLoop(); });
}

TEngineThread::~TEngineThread() {
  Terminate();
  if (thread_.joinable()) thread_.join();
}

void TEngineThread::Release() {
  std::lock_guard lock(mutex_);
  engine_->StopSearch = false;
  parked_ = false;
  wakeRequested_ = true;
  wake_.notify_all();
}

void TEngineThread::Wake() {
  std::lock_guard lock(mutex_);
  if (parked_) return;  // the next release wakes it
  wakeRequested_ = true;
  wake_.notify_all();
}

void TEngineThread::MarkParked() {
  std::lock_guard lock(mutex_);
  parked_ = true;
}

bool TEngineThread::Parked() const {
  std::lock_guard lock(mutex_);
  return parked_;
}

void TEngineThread::Terminate() {
  std::lock_guard lock(mutex_);
  terminate_ = true;
  engine_->StopSearch = true;
  wake_.notify_all();
}

void TEngineThread::ApplyNiceValue(int nice) { SetNiceValue(threadId_.load(), nice); }

// Sleeps until a pass may begin: at a release or a wake-up while released.
// False when the thread is to end.
bool TEngineThread::WaitForPass() {
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return terminate_ || (!parked_ && wakeRequested_); });
  if (terminate_) return false;
  wakeRequested_ = false;
  return true;
}

bool TEngineThread::HandOverMove() {
  const TEngineMove best = engine_->BestLine[0][0];
  const Square from = SquareFromIndex(best.from + 1);
  const Square to = SquareFromIndex(best.to + 1);
  // The call owns a copy of the callback: it may still be on the main
  // thread's stack after this object is gone (a board destroyed from inside
  // a handler of the engine's own move).
  return callbacks_.RunOnMainThread(
      [moveCallback = callbacks_.MoveCallback, from, to] { moveCallback(from, to); });
}

bool TEngineThread::EndPass() {
  return callbacks_.RunOnMainThread([passEnd = callbacks_.PassEndCallback] { passEnd(); });
}

void TEngineThread::EngineLoop() {
  threadId_ = static_cast<int>(gettid());
  try {
    while (WaitForPass()) {
      bool mayStart = false;
      auto& turnTest = callbacks_.TurnTest;
      if (!callbacks_.RunOnMainThread([&turnTest, &mayStart] { mayStart = turnTest(); })) break;
      if (!mayStart) continue;
      if (links_.niceValue) SetNiceValue(threadId_.load(), links_.niceValue());
      engine_->IsThinking = true;
      engine_->LoadPosition();
      engine_->SearchBestMove();
      if (!engine_->StopSearch) {
        engine_->IsThinking = false;
        if (!HandOverMove()) break;
      }
      if (!EndPass()) break;
    }
  } catch (...) {
    // Nothing the engine does throws; should it, the board sees a finished
    // thread and no longer waits for it.
  }
  engine_->IsThinking = false;
  finished_ = true;
}
