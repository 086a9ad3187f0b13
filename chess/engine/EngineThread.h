#pragma once
// The engine thread: the thread on which the computer player runs, and its
// hand-shake with the board that owns it.
//
// The thread is created parked. Each pass asks the main thread whether it
// may search (the turn test), searches, hands its move over and ends with
// the board's end-of-pass step; the hand-over and the end of the pass run
// on the main thread through a blocking call the board supplies, while this
// thread waits. Between searches the thread sleeps on a condition variable
// and costs nothing: a release wakes it, and while released so does every
// change of the game that may give the computer the turn (a move made by
// program code, the custom engine switched off). A parked thread does
// nothing until it is released.
//
// Qt-free: the main-thread call is injected.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "chess/engine/SearchPriority.h"
#include "chess/engine/TChessThread.h"
#include "chess/model/Square.h"

namespace perch {

class TChessGame;

class TEngineThread {
 public:
  struct TLinks {
    const TChessGame* game = nullptr;               // read in place by LoadPosition
    const std::atomic<int>* searchDepth = nullptr;  // read once per search
    std::function<TSearchPriority()> priority;      // read at the start of every search
  };
  struct TCallbacks {
    // Runs the call on the main thread and returns once it has run; false
    // when the board takes no more calls, which ends the thread.
    std::function<bool(std::function<void()>)> RunOnMainThread;
    // Main thread: may this pass search now? True only when the computer is
    // to move and the engine is released; the board then counts the pass as
    // running until its end-of-pass step.
    std::function<bool()> TurnTest;
    // Main thread: the chosen move, as board squares.
    std::function<void(Square from, Square to)> MoveCallback;
    // Main thread: the board's end-of-pass step.
    std::function<void()> PassEndCallback;
  };

  TEngineThread(TLinks links, TCallbacks callbacks);
  // Asks the thread to end and waits for it.
  ~TEngineThread();
  TEngineThread(const TEngineThread&) = delete;
  TEngineThread& operator=(const TEngineThread&) = delete;

  // Main thread: clears the stop request, unparks and wakes the thread.
  void Release();
  // Main thread: the game changed; a released thread runs its turn test
  // again (a parked one waits for its release).
  void Wake();
  // Main thread: parks the thread; it starts no pass until the next Release.
  void MarkParked();
  bool Parked() const;
  void RequestStop() { engine_->StopSearch = true; }
  bool StopRequested() const { return engine_->StopSearch.load(); }
  bool IsThinking() const { return engine_->IsThinking.load(); }
  void ClearThinking() { engine_->IsThinking = false; }
  // The thread has left its loop (asked to, or after a failure of its own).
  bool Finished() const { return finished_.load(); }
  // Asks the thread to end; a running search stops and hands nothing over.
  void Terminate();
  // Sets the priority of a running search at once; one that the system
  // refuses for a running search (a raise) takes effect at the next.
  void ApplyPriority(TSearchPriority level);

  TChessThread& Engine() { return *engine_; }

 private:
  void EngineLoop();
  bool WaitForPass();
  bool HandOverMove();
  bool EndPass();
  void SearchAtPriority();

  TLinks links_;
  TCallbacks callbacks_;
  std::unique_ptr<TChessThread> engine_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool parked_ = true;          // guarded by mutex_
  bool wakeRequested_ = false;  // guarded by mutex_
  bool terminate_ = false;      // guarded by mutex_
  std::atomic<bool> finished_{false};
  std::mutex searchThreadMutex_;
  pid_t searchThreadId_ = 0;  // guarded by searchThreadMutex_; 0 between searches
  std::thread thread_;
};

}  // namespace perch
