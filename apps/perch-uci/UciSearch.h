#pragma once
// One `go`: the engine searches on a thread of its own while the session
// goes on reading commands, and a clock thread stops the search when its
// time is up. Stop, ponderhit and the end of the search all lead to one
// `bestmove` line; an infinite search, or one still pondering, keeps its
// move until stop or ponderhit even when it has searched all it can.
//
// A `go perft` runs on the same thread, so that isready is answered while
// it counts and stop or quit cut it short.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "apps/perch-uci/Strength.h"
#include "apps/perch-uci/TimeManagement.h"
#include "apps/perch-uci/UciOutput.h"
#include "chess/engine/TChessThread.h"

namespace perch {

struct SearchOrder {
  int depth = 4;                            // iterations, 1..64
  std::uint64_t nodes = ~std::uint64_t{0};  // node limit
  std::optional<int> mate;                  // stop at a mate in this many moves or fewer
  MoveTime time;                            // counted from the start, or from ponderhit
  bool infinite = false;                    // the move waits for stop
  bool ponder = false;                      // no clock until ponderhit
  std::vector<TEngineMove> rootMoves;       // legal root moves to search; empty for all
  int multiPv = 1;                          // lines reported, best first (`info multipv k`)
  Weakness weakness;                        // UCI_LimitStrength: nodes, margin, lines drawn from
};

class UciSearch {
 public:
  using Clock = std::chrono::steady_clock;

  UciSearch(TChessThread& engine, UciOutput& out) : engine_(engine), out_(out) {}
  ~UciSearch() { Stop(), Wait(); }
  UciSearch(const UciSearch&) = delete;
  UciSearch& operator=(const UciSearch&) = delete;

  // Starts searching the position the engine is linked to. No search may
  // be running (Wait for the last one first).
  void Start(const SearchOrder& order);
  // Starts a perft of the linked position: a `<move>: <count>` line per root
  // move, then `Nodes searched: <total>`. Stopped, it has written the lines
  // of the root moves it finished, and its total is theirs, said to be partial.
  void StartPerft(int depth);
  // Ends the search at once; its best move follows.
  void Stop();
  // The ponder search goes on as the real one, under its clock from now.
  void PonderHit();
  // Until the best move has been written; then the engine is free again.
  void Wait();
  bool Running() const { return search_.joinable(); }
  // Whether a perft runs (or has ended, its thread not yet joined by Wait).
  bool CountingPerft() const { return Running() && perft_; }
  // Whether the search ends only on stop (infinite, or pondering).
  bool WaitsForStop() const;

 private:
  void Search();
  void Perft(int depth);
  void WatchClock();
  void ReportIteration(int depth, int score);
  std::string ReportLine(int depth, int score, int multiPv, const TEngineMove* line, int length) const;
  void ReportTotals();
  void WriteBestMove();

  TChessThread& engine_;
  UciOutput& out_;
  SearchOrder order_;
  Clock::time_point start_;
  std::vector<TEngineMove> completedLine_;  // of the last completed iteration; search thread only
  // Its root lines, best first, when root lines are scored; search thread only.
  std::vector<TChessThread::TRootLine> completedRootLines_;
  std::mt19937_64 random_{std::random_device{}()};  // the weak move's draw; search thread only
  // When the last iteration ended, and how long the one before it took;
  // search thread only.
  Clock::time_point iterationEnd_;
  std::optional<std::chrono::microseconds> lastIteration_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool searchEnded_ = false;                  // guarded by mutex_
  bool holdMove_ = false;                     // guarded by mutex_: infinite or pondering
  bool pondering_ = false;                    // guarded by mutex_
  std::optional<Clock::time_point> target_;   // guarded by mutex_
  std::optional<Clock::time_point> hard_;     // guarded by mutex_
  std::optional<Clock::time_point> stop_;     // guarded by mutex_: hard_ while the best move just changed
  bool bestMoveChanged_ = false;              // guarded by mutex_
  Clock::time_point clockStart_;              // guarded by mutex_: where the deadlines count from
  void SetDeadlines(Clock::time_point from);  // mutex_ held

  bool perft_ = false;  // the thread counts a perft; set and read by the caller's thread

  std::thread search_;
  std::thread clock_;
};

}  // namespace perch
