#pragma once
// The hint engine: a search of its own, on a thread of its own, that
// suggests a move for a position without touching the board's engine or
// the game. The board's engine keeps its board and its tables; this one
// searches a copy of the position given as text.
//
// A request replaces the one before (whose answer is then never given); the
// answer is given on the hint thread, so a GUI passes it on to its own
// thread. Qt-free.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "chess/model/Square.h"

namespace perch {

class TChessThread;

struct THintResult {
  Square from = Square::None;
  Square to = Square::None;
  char promotion = 0;  // 0, or 'q', 'r', 'b', 'n' for a pawn's promotion
  int scoreCp = 0;     // in hundredths of a pawn, for the side to move
  bool found = false;  // false: no legal move, or a position text that is no FEN
};

class THintEngine {
 public:
  static constexpr int DefaultDepth = 4;
  static constexpr int MaxDepth = 8;
  using TDone = std::function<void(const THintResult&)>;

  THintEngine();
  // Cancels a running search and waits for the thread to end; so never from
  // inside a done.
  ~THintEngine();
  THintEngine(const THintEngine&) = delete;
  THintEngine& operator=(const THintEngine&) = delete;

  // Searches the position (a FEN, as FormatFen writes a game's state) to the
  // depth (clamped to 1..MaxDepth) and calls done with the move on the hint
  // thread. Cancels a request still running or waiting.
  void Request(std::string positionText, int depth, TDone done);
  // Cancels the request running or waiting: its done is not called. Once
  // Cancel returns, no done of an earlier request runs any more (done must
  // therefore not wait for the thread that cancels).
  void Cancel();

 private:
  struct Job {
    std::string position;
    int depth = DefaultDepth;
    TDone done;
    std::uint64_t number = 0;
  };
  void Loop();
  THintResult Search(const Job& job);
  // Called with mutex_ held: the running and waiting requests end.
  void CancelLocked();

  std::unique_ptr<TChessThread> engine_;  // used by the hint thread only
  std::mutex mutex_;
  std::condition_variable wake_;
  Job waiting_;               // guarded by mutex_
  bool hasWaiting_ = false;   // guarded by mutex_
  std::uint64_t latest_ = 0;  // number of the newest request or cancel; guarded by mutex_
  bool quit_ = false;         // guarded by mutex_
  // Held while a done runs, so that Cancel can wait for it.
  std::mutex delivering_;
  std::thread thread_;
};

}  // namespace perch
