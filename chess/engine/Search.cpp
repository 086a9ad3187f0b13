// The search: iterative deepening over a fixed-depth alpha-beta (negamax)
// search with a check extension, a capture search at the leaves that also
// answers checks, a triangular table of best lines, history scores for
// quiet moves and follow-the-best-line ordering between iterations.

#include <algorithm>
#include <bit>
#include <random>

#include "chess/engine/TChessThread.h"

namespace perch {

using namespace engine;

bool TChessThread::IsOrdinaryPosition(const TChessThread& engine) {
  const TEnginePosition& e = engine.position_;
  constexpr std::uint64_t OuterRanks = 0xFF000000000000FFull;
  for (int side = White; side <= Black; ++side) {
    if (std::popcount(e.PieceBits(side, King)) != 1) return false;
    if (std::popcount(e.SideBits(side)) > 16) return false;
    if (std::popcount(e.PieceBits(side, Pawn)) > 8) return false;
    if (e.PieceBits(side, Pawn) & OuterRanks) return false;
    // Every piece beyond the starting set stands for a pawn promoted.
    auto extra = [&](int piece, int start) {
      return std::max(0, std::popcount(e.PieceBits(side, piece)) - start);
    };
    const int promoted = extra(Queen, 1) + extra(Rook, 2) + extra(Bishop, 2) + extra(Knight, 2);
    if (promoted > 8 - std::popcount(e.PieceBits(side, Pawn))) return false;
  }
  return true;
}

void TChessThread::SearchBestMove() {
  LoadPosition();
  position_.BuildPieceSquareTables();
  search_.ClearHistory();
  search_.setFollowBestLine(true);
  search_.StartCounting(
      std::min(IsOrdinaryPosition(*this) ? ~std::uint64_t{0} : oddPositionNodeBudget_, searchNodeLimit_));
  budgetExhausted_ = false;
  // Until a root move is scored, the search has no line of its own.
  search_.ForgetRootLine();
  rootLineCount_ = 0;

  const int wanted = linkedSearchDepth_ ? linkedSearchDepth_->load(std::memory_order_relaxed) : 1;
  const int depthLimit = std::clamp(wanted, MinSearchDepth, MaxSearchDepth);
  int lastScore = 0;
  for (int depth = 1; depth <= depthLimit; ++depth) {
    if (Interrupted()) continue;
    search_.setFollowBestLine(true);
    search_.ResetSelDepth();
    const std::uint64_t before = search_.Nodes();
    const int score =
        rootMoveCount_ > 0 || multiPv_ > 1 ? SearchRoot(depth) : SearchNode(-RootWindow, RootWindow, depth);
    lastScore = score;
    if (OnIteration && !Interrupted()) OnIteration(depth, score, search_.Nodes() - before);
  }
  if (varyMoves_.load(std::memory_order_relaxed) && !Interrupted() && search_.BestLineLength(0) > 0)
    ChooseVariedRootMove(depthLimit, lastScore);
  budgetExhausted_ = search_.PastNodeLimit();
  // A search cut short by its budget may not have scored a root move yet,
  // which would leave the line of an earlier search: the move handed over
  // is always one of this position's.
  if (budgetExhausted_ && !IsLegalMove(search_.BestLine(0)[0])) {
    TEngineMove legal{};
    if (rootMoveCount_ > 0) search_.SetRootMove(rootMoves_[0]);
    else if (FirstLegalMove(legal)) search_.SetRootMove(legal);
  }
}

void TChessThread::ChooseVariedRootMove(int depth, int best) {
  if (reseed_.exchange(false, std::memory_order_acquire)) varyRandom_.seed(varySeed_.load());
  const TEngineMove bestMove = search_.BestLine(0)[0];
  // A move is close enough when it scores at least best - VaryMargin; the
  // null window just below that bound tells it without its exact score.
  const int alpha = best - VaryMargin - 1;
  const int beta = best - VaryMargin;
  if (position_.KingAttacked(position_.SideToMove())) ++depth;  // as SearchNode extends
  search_.setFollowBestLine(false);
  search_.StartRootMoves();
  GenerateMoves();

  // One pass of reservoir sampling: the k-th close move replaces the choice
  // with probability 1/k, which leaves each of them equally likely.
  TEngineMove chosen = bestMove;
  int close = 1;
  const int end = search_.PlyEnd(0);
  for (int i = search_.PlyFirst(0); i < end; ++i) {
    const TEngineMove move = search_.MoveList(i).move;
    if (move == bestMove || !RootMoveAllowed(move) || !position_.DoMove(move)) continue;
    const int x = -SearchNode(-beta, -alpha, depth - 1);
    position_.UndoMove();
    if (Interrupted()) return;  // the best move stays
    if (x <= alpha) continue;
    ++close;
    if (std::uniform_int_distribution<int>(0, close - 1)(varyRandom_) == 0) chosen = move;
  }
  if (chosen != bestMove) search_.SetRootLine(chosen);
}

void TChessThread::setRootMoves(const TEngineMove* moves, int count) {
  rootMoveCount_ = std::clamp(count, 0, MaxRootMoves);
  std::copy(moves, moves + rootMoveCount_, rootMoves_);
}

bool TChessThread::RootMoveAllowed(TEngineMove move) const {
  if (rootMoveCount_ == 0) return true;
  return std::find(rootMoves_, rootMoves_ + rootMoveCount_, move) != rootMoves_ + rootMoveCount_;
}

int TChessThread::LegalMoves(TEngineMove* moves, int capacity) {
  GenerateMoves();
  const int ply = position_.Ply();
  const int end = search_.PlyEnd(ply);
  int count = 0;
  for (int i = search_.PlyFirst(ply); i < end && count < capacity; ++i) {
    const TEngineMove move = search_.MoveList(i).move;
    if (!position_.DoMove(move)) continue;
    position_.UndoMove();
    moves[count++] = move;
  }
  return count;
}

// Enters a root move scored in full into the lines, best first, keeping at
// most MultiPv() of them. Its line is the move and the best line below it.
void TChessThread::KeepRootLine(TEngineMove move, int score) {
  int k = std::min(rootLineCount_, multiPv_);
  while (k > 0 && rootLines_[k - 1].score < score) {
    if (k < multiPv_) rootLines_[k] = rootLines_[k - 1];
    --k;
  }
  if (k >= multiPv_) return;
  TRootLine& entry = rootLines_[k];
  entry.score = score;
  entry.line[0] = move;
  const TEngineMove* child = search_.BestLine(1);
  const int end = search_.BestLineLength(1);
  entry.length = 1;
  for (int j = 1; j < end; ++j) entry.line[entry.length++] = child[j];
  rootLineCount_ = std::min(rootLineCount_ + 1, multiPv_);
}

// As SearchNode at the root, but over the chosen root moves only, and with
// the window's floor at the MultiPv()-th best score so far rather than the
// best: each move that may rank among the best lines is scored exactly. With
// one line and every move chosen it searches as SearchNode does.
int TChessThread::SearchRoot(int depth) {
  search_.CountNode();
  rootLineCount_ = 0;
  if (Interrupted()) return 0;
  search_.Reached(0);
  search_.EmptyBestLine(0);
  const bool inCheck = position_.KingAttacked(position_.SideToMove());
  if (inCheck) ++depth;

  GenerateMoves();
  if (search_.FollowBestLine()) MarkPvMove();

  bool anyLegal = false;
  int best = -RootWindow;
  const int end = search_.PlyEnd(0);
  for (int i = search_.PlyFirst(0); i < end; ++i) {
    if (Interrupted()) break;
    SelectNextMove(i);
    const TEngineMove move = search_.MoveList(i).move;
    if (!RootMoveAllowed(move) || !position_.DoMove(move)) continue;
    anyLegal = true;
    const int floor = rootLineCount_ >= multiPv_ ? rootLines_[multiPv_ - 1].score : -RootWindow;
    const int x = -SearchNode(-RootWindow, -floor, depth - 1);
    position_.UndoMove();
    // A move whose subtree was cut short has no score.
    if (Interrupted()) break;
    if (x > floor) KeepRootLine(move, x);
    if (x > best) {
      search_.RaiseHistory(move.from, move.to, depth);
      best = x;
      search_.SaveBestLine(0, move);
    }
  }
  if (!anyLegal) return inCheck ? -RootWindow : 0;
  return best;
}

int TChessThread::SearchNode(int alpha, int beta, int depth) {
  search_.CountNode();
  if (Interrupted()) return 0;
  const int ply = position_.Ply();
  search_.Reached(ply);
  if (depth == 0) return CaptureSearch(alpha, beta);
  search_.EmptyBestLine(ply);
  if (!RoomForNode()) return position_.Evaluate();

  const bool inCheck = position_.KingAttacked(position_.SideToMove());
  if (inCheck) ++depth;

  GenerateMoves();
  if (search_.FollowBestLine()) MarkPvMove();

  bool anyLegal = false;
  const int end = search_.PlyEnd(ply);
  for (int i = search_.PlyFirst(ply); i < end; ++i) {
    if (Interrupted()) break;
    SelectNextMove(i);
    const TEngineMove move = search_.MoveList(i).move;
    if (!position_.DoMove(move)) continue;
    anyLegal = true;
    const int x = -SearchNode(-beta, -alpha, depth - 1);
    position_.UndoMove();
    if (x > alpha) {
      // The score of a root move whose subtree was cut short means nothing:
      // the root keeps the line of the moves searched to the end.
      if (ply == 0 && Interrupted()) break;
      search_.RaiseHistory(move.from, move.to, depth);
      if (x >= beta) return beta;
      alpha = x;
      search_.SaveBestLine(ply, move);
    }
  }

  if (!anyLegal) return inCheck ? ply - RootWindow : 0;
  return alpha;
}

int TChessThread::CaptureSearch(int alpha, int beta) {
  // Polled here too, so that a stop is never held up by a long sequence of
  // captures and checks.
  search_.CountNode();
  if (Interrupted()) return 0;
  const int ply = position_.Ply();
  search_.Reached(ply);
  search_.EmptyBestLine(ply);
  if (!RoomForNode()) return position_.Evaluate();

  const bool inCheck = position_.KingAttacked(position_.SideToMove());
  if (inCheck) {
    // Every evasion is searched; a side in check may not stand pat.
    GenerateMoves();
  } else {
    const int x = position_.Evaluate();
    if (x >= beta) return beta;
    if (x > alpha) alpha = x;
    GenerateCaptures();
  }
  if (search_.FollowBestLine()) MarkPvMove();

  bool anyLegal = false;
  const int end = search_.PlyEnd(ply);
  for (int i = search_.PlyFirst(ply); i < end; ++i) {
    if (Interrupted()) break;
    SelectNextMove(i);
    const TEngineMove move = search_.MoveList(i).move;
    if (!position_.DoMove(move)) continue;
    anyLegal = true;
    const int x = -CaptureSearch(-beta, -alpha);
    position_.UndoMove();
    if (x > alpha) {
      if (x >= beta) return beta;
      alpha = x;
      search_.SaveBestLine(ply, move);
    }
  }

  // Stalemate is not recognised here: a side without captures keeps its
  // evaluation.
  if (!anyLegal && inCheck) return ply - RootWindow;
  return alpha;
}

}  // namespace perch
