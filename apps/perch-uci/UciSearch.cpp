// The search thread, its clock and what they report.

#include "apps/perch-uci/UciSearch.h"

#include <algorithm>
#include <string>

#include "chess/engine/Fen.h"

namespace perch {

namespace {

std::string ScoreText(int score) {
  if (score > 9000) return "mate " + std::to_string((10000 - score + 1) / 2);
  if (score < -9000) return "mate " + std::to_string(-((10000 + score) / 2));
  return "cp " + std::to_string(score);
}

// A mate for the side to move in at most this many moves.
bool MatesWithin(int score, int moves) { return score > 9000 && (10000 - score + 1) / 2 <= moves; }

// The time `limit` after `from`; none when there is no limit, or when it lies
// beyond what the clock can hold (which is no limit either).
std::optional<UciSearch::Clock::time_point> Deadline(UciSearch::Clock::time_point from,
                                                     std::optional<MoveTime::ms> limit) {
  if (!limit || *limit > std::chrono::duration_cast<MoveTime::ms>(UciSearch::Clock::time_point::max() - from))
    return std::nullopt;
  return from + *limit;
}

}  // namespace

void UciSearch::Start(const SearchOrder& order) {
  order_ = order;
  perft_ = false;
  start_ = Clock::now();
  completedLine_.clear();
  completedRootLines_.clear();
  iterationEnd_ = start_;
  lastIteration_.reset();
  {
    std::lock_guard lock(mutex_);
    searchEnded_ = false;
    pondering_ = order.ponder;
    holdMove_ = order.infinite || order.ponder;
    bestMoveChanged_ = false;
    target_.reset(), hard_.reset(), stop_.reset();
    if (!order.ponder) SetDeadlines(start_);
  }
  engine_.StopSearch = false;
  search_ = std::thread([this] { Search(); });
  clock_ = std::thread([this] { WatchClock(); });
}

void UciSearch::StartPerft(int depth) {
  order_ = SearchOrder{};
  perft_ = true;
  start_ = Clock::now();
  {
    std::lock_guard lock(mutex_);
    searchEnded_ = false;
    pondering_ = false;
    holdMove_ = false;
    target_.reset(), hard_.reset(), stop_.reset();
  }
  // A search stopped before leaves the flag set.
  engine_.StopSearch = false;
  search_ = std::thread([this, depth] { Perft(depth); });
}

void UciSearch::Stop() {
  std::lock_guard lock(mutex_);
  holdMove_ = false;
  pondering_ = false;
  engine_.StopSearch = true;
  changed_.notify_all();
}

void UciSearch::PonderHit() {
  std::lock_guard lock(mutex_);
  if (!pondering_) return;
  pondering_ = false;
  holdMove_ = order_.infinite;
  SetDeadlines(Clock::now());
  // A search that already ended while pondering stops at its first iteration
  // past the target; one that searched all it could answers now.
  changed_.notify_all();
}

void UciSearch::Wait() {
  if (search_.joinable()) search_.join();
  if (clock_.joinable()) clock_.join();
}

bool UciSearch::WaitsForStop() const {
  std::lock_guard lock(mutex_);
  return holdMove_;
}

void UciSearch::SetDeadlines(Clock::time_point from) {
  clockStart_ = from;
  target_ = Deadline(from, order_.time.target);
  hard_ = Deadline(from, order_.time.hard);
  const auto steady = StopTime(order_.time, false), unsettled = StopTime(order_.time, true);
  stop_ = Deadline(from, bestMoveChanged_ ? unsettled : steady);
}

void UciSearch::WatchClock() {
  std::unique_lock lock(mutex_);
  while (!searchEnded_) {
    if (stop_ && Clock::now() >= *stop_) {
      engine_.StopSearch = true;
      return;
    }
    if (stop_) changed_.wait_until(lock, *stop_);
    else changed_.wait(lock);
  }
}

void UciSearch::Search() {
  try {
    engine_.setSearchDepth(order_.depth);
    engine_.setSearchNodeLimit(std::min(order_.nodes, order_.weakness.nodes));
    engine_.setRootMoves(order_.rootMoves.data(), static_cast<int>(order_.rootMoves.size()));
    engine_.setMultiPv(std::max(order_.multiPv, order_.weakness.rootLines));
    engine_.OnIteration = [this](int depth, int score, std::uint64_t) { ReportIteration(depth, score); };
    engine_.IsThinking = true;
    engine_.SearchBestMove();
    engine_.IsThinking = false;
    // A search cut short has searched more than its info lines counted.
    if (engine_.StopSearch || engine_.BudgetExhausted()) ReportTotals();
    engine_.OnIteration = nullptr;
    engine_.setSearchNodeLimit(~std::uint64_t{0});
    engine_.setRootMoves(nullptr, 0);
    engine_.setMultiPv(1);
    {
      std::unique_lock lock(mutex_);
      searchEnded_ = true;
      changed_.notify_all();
      changed_.wait(lock, [this] { return !holdMove_; });
    }
    WriteBestMove();
  } catch (const std::exception& e) {
    // Nothing here throws but allocation; should it, the chess program
    // still gets an answer.
    out_.Line(std::string("info string error: ") + e.what());
    out_.Line("bestmove 0000");
    std::lock_guard lock(mutex_);
    searchEnded_ = true;
    changed_.notify_all();
  }
}

void UciSearch::Perft(int depth) {
  try {
    engine_.LoadPosition();
    const std::uint64_t total = engine_.PerftDivide(depth, [this](TEngineMove move, std::uint64_t count) {
      out_.Line(EngineMoveName(move) + ": " + std::to_string(count));
    });
    if (engine_.PerftOverflow())
      out_.Line("info string error: the position has too many moves for a perft of this depth");
    if (engine_.PerftStopped()) out_.Line("info string perft stopped: the count is partial");
    out_.Line("");
    out_.Line("Nodes searched: " + std::to_string(total));
    out_.Line("");
  } catch (const std::exception& e) {
    out_.Line(std::string("info string error: ") + e.what());
  }
  std::lock_guard lock(mutex_);
  searchEnded_ = true;
  changed_.notify_all();
}

void UciSearch::ReportTotals() {
  const auto elapsed = Clock::now() - start_;
  const double seconds = std::chrono::duration<double>(elapsed).count();
  out_.Line("info nodes " + std::to_string(engine_.Nodes()) + " nps " +
            std::to_string(static_cast<std::uint64_t>(
                seconds > 0 ? static_cast<double>(engine_.Nodes()) / seconds : 0)) +
            " time " +
            std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()));
}

// An iteration's `info` line; multiPv 0 leaves out the `multipv` word.
std::string UciSearch::ReportLine(int depth, int score, int multiPv, const TEngineMove* line,
                                  int length) const {
  const TChessThread& e = engine_;
  const auto elapsed = Clock::now() - start_;
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  const double seconds = std::chrono::duration<double>(elapsed).count();
  std::string text = "info depth " + std::to_string(depth) + " seldepth " + std::to_string(e.SelDepth());
  if (multiPv > 0) text += " multipv " + std::to_string(multiPv);
  text +=
      " score " + ScoreText(score) + " nodes " + std::to_string(e.Nodes()) + " nps " +
      std::to_string(static_cast<std::uint64_t>(seconds > 0 ? static_cast<double>(e.Nodes()) / seconds : 0)) +
      " time " + std::to_string(ms) + " pv";
  for (int i = 0; i < length; ++i) text += " " + EngineMoveName(line[i]);
  return text;
}

// On the search thread, after every completed iteration.
void UciSearch::ReportIteration(int depth, int score) {
  const TChessThread& e = engine_;
  const bool moveChanged =
      !completedLine_.empty() && e.BestLineLength(0) > 0 && e.BestLine(0)[0] != completedLine_[0];
  completedLine_.assign(e.BestLine(0), e.BestLine(0) + e.BestLineLength(0));
  completedRootLines_.assign(&e.RootLine(0), &e.RootLine(0) + e.RootLineCount());
  if (order_.multiPv > 1) {
    const int lines = std::min(order_.multiPv, static_cast<int>(completedRootLines_.size()));
    for (int k = 0; k < lines; ++k) {
      const auto& root = completedRootLines_[static_cast<std::size_t>(k)];
      out_.Line(ReportLine(depth, root.score, k + 1, root.line, root.length));
    }
  } else {
    out_.Line(ReportLine(depth, score, 0, completedLine_.data(), static_cast<int>(completedLine_.size())));
  }

  const auto now = Clock::now();
  const auto took = std::chrono::duration_cast<std::chrono::microseconds>(now - iterationEnd_);
  const auto next = PredictNextIteration(took, lastIteration_);
  iterationEnd_ = now, lastIteration_ = took;

  std::lock_guard lock(mutex_);
  // An iteration that cannot end by the target is not begun, unless less
  // than half the target has gone: the clock then cuts it at the target,
  // and its part searched (the best move first) is kept.
  const bool noRoom =
      !pondering_ && target_ && now + next > *target_ && now - clockStart_ > (*target_ - clockStart_) / 2;
  const bool mateFound = order_.mate && MatesWithin(score, *order_.mate);
  if (noRoom || mateFound) engine_.StopSearch = true;
  if (!pondering_ && moveChanged != bestMoveChanged_) {
    bestMoveChanged_ = moveChanged;
    // The clock's deadline for the next iteration: later while the move is unsettled.
    if (target_) stop_ = bestMoveChanged_ ? hard_ : (hard_ ? std::min(*target_, *hard_) : target_);
    changed_.notify_all();
  }
}

// The line of the root moves searched to the end: of the iteration under
// way when it has scored one, else of the last completed one. Where there
// is none, or its move is not one of this position's, any legal move.
void UciSearch::WriteBestMove() {
  TChessThread& e = engine_;
  std::vector<TEngineMove> line = completedLine_;
  if (e.BestLineLength(0) > 0) line.assign(e.BestLine(0), e.BestLine(0) + e.BestLineLength(0));
  // Below full strength: a move drawn from those of the last completed
  // iteration that score within the margin of its best.
  if (order_.weakness.marginCp > 0 && !completedRootLines_.empty()) {
    std::vector<int> scores;
    for (const auto& root : completedRootLines_) scores.push_back(root.score);
    const auto& drawn = completedRootLines_[static_cast<std::size_t>(
        PickWeakLine(scores, order_.weakness.marginCp, random_))];
    line.assign(drawn.line, drawn.line + drawn.length);
  }
  e.LoadPosition();
  if (line.empty() || !e.IsLegalMove(line[0])) {
    TEngineMove legal{};
    line.clear();
    if (!order_.rootMoves.empty()) line.push_back(order_.rootMoves.front());
    else if (e.FirstLegalMove(legal)) line.push_back(legal);
  }
  if (line.empty()) {
    out_.Line("bestmove 0000");
    return;
  }
  std::string answer = "bestmove " + EngineMoveName(line[0]);
  if (line.size() >= 2) answer += " ponder " + EngineMoveName(line[1]);
  out_.Line(answer);
}

}  // namespace perch
