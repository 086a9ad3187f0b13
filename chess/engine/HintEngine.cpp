// The hint engine's thread: it takes the newest request, searches it on its
// own game copy and engine, and answers unless the request was cancelled.

#include "chess/engine/HintEngine.h"

#include <algorithm>
#include <utility>

#include "chess/engine/Fen.h"
#include "chess/engine/TChessThread.h"
#include "chess/model/ChessGame.h"

namespace perch {

namespace {

char PromotionLetter(const TEngineMove& move) {
  if (!(move.flags & engine::FlagPromotion)) return 0;
  switch (move.promote) {
    case engine::Knight: return 'n';
    case engine::Bishop: return 'b';
    case engine::Rook: return 'r';
    default: return 'q';
  }
}

}  // namespace

THintEngine::THintEngine() : engine_(std::make_unique<TChessThread>()) {
  thread_ = std::thread([this] { Loop(); });
}

THintEngine::~THintEngine() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    CancelLocked();
    wake_.notify_all();
  }
  thread_.join();
}

void THintEngine::CancelLocked() {
  ++latest_;
  hasWaiting_ = false;
  waiting_ = Job();
  // Only a search of an older number runs now: it stops within a node.
  engine_->StopSearch = true;
}

void THintEngine::Request(std::string positionText, int depth, TDone done) {
  std::lock_guard lock(mutex_);
  CancelLocked();
  waiting_.position = std::move(positionText);
  waiting_.depth = std::clamp(depth, 1, MaxDepth);
  waiting_.done = std::move(done);
  waiting_.number = latest_;
  hasWaiting_ = true;
  wake_.notify_all();
}

void THintEngine::Cancel() {
  {
    std::lock_guard lock(mutex_);
    CancelLocked();
  }
  // A done of the hint thread itself may cancel; only another thread waits
  // for a done to end.
  if (std::this_thread::get_id() == thread_.get_id()) return;
  std::lock_guard wait(delivering_);
}

void THintEngine::Loop() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || hasWaiting_; });
      if (quit_) return;
      job = std::move(waiting_);
      waiting_ = Job();
      hasWaiting_ = false;
      // Under the lock: a later request or cancel sets the stop after this.
      engine_->StopSearch = false;
    }
    const THintResult result = Search(job);
    std::unique_lock deliver(delivering_);
    {
      std::lock_guard lock(mutex_);
      if (quit_ || job.number != latest_) continue;
    }
    if (job.done) job.done(result);
  }
}

THintResult THintEngine::Search(const Job& job) {
  THintResult result;
  std::string error;
  const auto fen = ParseFen(job.position, error);
  if (!fen) return result;
  // A new game each time: a game's en passant square cannot be cleared.
  TChessGame game;
  ApplyFen(*fen, game);

  TChessThread& engine = *engine_;
  engine.LinkGame(&game);
  engine.setSearchDepth(job.depth);
  engine.ClearSearchMemory();
  int score = 0;
  engine.OnIteration = [&score](int, int iterationScore, std::uint64_t) { score = iterationScore; };
  engine.SearchBestMove();
  engine.OnIteration = nullptr;
  engine.LinkGame(nullptr);
  if (engine.StopSearch.load() || engine.BestLineLength(0) == 0) return result;

  const TEngineMove best = engine.BestLine(0)[0];
  result.from = SquareFromIndex(best.from + 1);
  result.to = SquareFromIndex(best.to + 1);
  result.promotion = PromotionLetter(best);
  result.scoreCp = score;
  result.found = true;
  return result;
}

}  // namespace perch
