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

  const int wanted = linkedSearchDepth_ ? linkedSearchDepth_->load(std::memory_order_relaxed) : 1;
  const int depthLimit = std::clamp(wanted, MinSearchDepth, MaxSearchDepth);
  int lastScore = 0;
  for (int depth = 1; depth <= depthLimit; ++depth) {
    if (Interrupted()) continue;
    search_.setFollowBestLine(true);
    search_.ResetSelDepth();
    const std::uint64_t before = search_.Nodes();
    const int score = SearchNode(-RootWindow, RootWindow, depth);
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
    if (FirstLegalMove(legal)) search_.SetRootMove(legal);
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
    if (move == bestMove || !position_.DoMove(move)) continue;
    const int x = -SearchNode(-beta, -alpha, depth - 1);
    position_.UndoMove();
    if (Interrupted()) return;  // the best move stays
    if (x <= alpha) continue;
    ++close;
    if (std::uniform_int_distribution<int>(0, close - 1)(varyRandom_) == 0) chosen = move;
  }
  if (chosen != bestMove) search_.SetRootLine(chosen);
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
