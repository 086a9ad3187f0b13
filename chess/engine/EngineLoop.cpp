// The engine thread's body and its hand-shake with the main thread.

#include <unistd.h>

#include "chess/engine/EngineThread.h"

namespace perch {

TEngineThread::TEngineThread(TLinks links, TCallbacks callbacks)
    : links_(std::move(links)), callbacks_(std::move(callbacks)), engine_(std::make_unique<TChessThread>()) {
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

void TEngineThread::ApplyPriority(TSearchPriority level) {
  std::lock_guard lock(searchThreadMutex_);
  if (searchThreadId_ != 0) ApplySearchPriority(searchThreadId_, level);
}

// Each search runs on a fresh thread, made at this thread's (the process's)
// priority and then set to the one asked for: a thread once lowered could
// not be raised again by an ordinary user (see SearchPriority.h).
void TEngineThread::SearchAtPriority() {
  std::thread search([this] {
    {
      std::lock_guard lock(searchThreadMutex_);
      searchThreadId_ = gettid();
      ApplySearchPriority(searchThreadId_, links_.priority ? links_.priority() : TSearchPriority::Normal);
    }
    engine_->SearchBestMove();
    std::lock_guard lock(searchThreadMutex_);
    searchThreadId_ = 0;
  });
  search.join();
}

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
  const TEngineMove best = engine_->BestLine(0)[0];
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
  try {
    while (WaitForPass()) {
      bool mayStart = false;
      auto& turnTest = callbacks_.TurnTest;
      if (!callbacks_.RunOnMainThread([&turnTest, &mayStart] { mayStart = turnTest(); })) break;
      if (!mayStart) continue;
      engine_->IsThinking = true;
      engine_->LoadPosition();
      SearchAtPriority();
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

}  // namespace perch
