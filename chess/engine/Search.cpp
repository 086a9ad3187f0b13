// The search: iterative deepening over a fixed-depth alpha-beta (negamax)
// search with a check extension, a capture search at the leaves that also
// answers checks, a triangular table of best lines, history scores for
// quiet moves and follow-the-best-line ordering between iterations.

#include <algorithm>
#include <bit>
#include <cstring>

#include "TChessThread.h"

using namespace engine;

bool TChessThread::IsOrdinaryPosition(const TChessThread& e) {
  constexpr std::uint64_t OuterRanks = 0xFF000000000000FFull;
  for (int side = White; side <= Black; ++side) {
    if (std::popcount(e.PieceBits[side][King]) != 1) return false;
    if (std::popcount(e.SideBits[side]) > 16) return false;
    if (std::popcount(e.PieceBits[side][Pawn]) > 8) return false;
    if (e.PieceBits[side][Pawn] & OuterRanks) return false;
    // Every piece beyond the starting set stands for a pawn promoted.
    auto extra = [&](int piece, int start) { return std::max(0, std::popcount(e.PieceBits[side][piece]) - start); };
    const int promoted = extra(Queen, 1) + extra(Rook, 2) + extra(Bishop, 2) + extra(Knight, 2);
    if (promoted > 8 - std::popcount(e.PieceBits[side][Pawn])) return false;
  }
  return true;
}

void TChessThread::SearchBestMove() {
  LoadPosition();
  BuildPieceSquareTables();
  std::memset(HistoryScore, 0, sizeof HistoryScore);
  FollowBestLine = true;
  Nodes = 0;
  NodeLimit = std::min(IsOrdinaryPosition(*this) ? ~std::uint64_t{0} : OddPositionNodeBudget, SearchNodeLimit);
  BudgetExhausted = false;
  // Until a root move is scored, the search has no line of its own.
  BestLineLength[0] = 0;

  const int wanted = LinkedSearchDepth ? LinkedSearchDepth->load(std::memory_order_relaxed) : 1;
  const int depthLimit = std::clamp(wanted, MinSearchDepth, MaxSearchDepth);
  for (int depth = 1; depth <= depthLimit; ++depth) {
    if (Interrupted()) continue;
    FollowBestLine = true;
    SelDepth = 0;
    const std::uint64_t before = Nodes;
    const int score = SearchNode(-RootWindow, RootWindow, depth);
    if (OnIteration && !Interrupted()) OnIteration(depth, score, Nodes - before);
  }
  BudgetExhausted = Nodes > NodeLimit;
  // A search cut short by its budget may not have scored a root move yet,
  // which would leave the line of an earlier search: the move handed over
  // is always one of this position's.
  if (BudgetExhausted && !IsLegalMove(BestLine[0][0])) {
    TEngineMove legal{};
    if (FirstLegalMove(legal)) BestLine[0][0] = legal;
  }
}

// Deep lines must stay inside the per-ply tables and the move list: such a
// node is scored as a leaf. No line of an ordinary game gets near either.
bool TChessThread::RoomForNode() const {
  return Ply < MaxPly - 1 && PlyFirst[Ply] <= MoveListSize - MaxMovesPerPosition;
}

void TChessThread::SaveBestLine(TEngineMove move) {
  TEngineMove* line = BestLine[Ply];
  const TEngineMove* child = BestLine[Ply + 1];
  line[Ply] = move;
  const int end = BestLineLength[Ply + 1];
  for (int j = Ply + 1; j < end; ++j) line[j] = child[j];
  BestLineLength[Ply] = end;
}

int TChessThread::SearchNode(int alpha, int beta, int depth) {
  ++Nodes;
  if (Interrupted()) return 0;
  SelDepth = std::max(SelDepth, Ply);
  if (depth == 0) return CaptureSearch(alpha, beta);
  BestLineLength[Ply] = Ply;
  if (!RoomForNode()) return Evaluate();

  const bool inCheck = KingAttacked(SideToMove);
  if (inCheck) ++depth;

  GenerateMoves();
  if (FollowBestLine) MarkPvMove();

  bool anyLegal = false;
  const int end = PlyEnd[Ply];
  for (int i = PlyFirst[Ply]; i < end; ++i) {
    if (Interrupted()) break;
    SelectNextMove(i);
    const TEngineMove move = MoveList[i].move;
    if (!DoMove(move)) continue;
    anyLegal = true;
    const int x = -SearchNode(-beta, -alpha, depth - 1);
    UndoMove();
    if (x > alpha) {
      // The score of a root move whose subtree was cut short means nothing:
      // the root keeps the line of the moves searched to the end.
      if (Ply == 0 && Interrupted()) break;
      // Unsigned addition: a history score that outgrows 32 bits wraps
      // instead of overflowing.
      std::int32_t& history = HistoryScore[move.from][move.to];
      history = static_cast<std::int32_t>(static_cast<std::uint32_t>(history) + static_cast<std::uint32_t>(depth));
      if (x >= beta) return beta;
      alpha = x;
      SaveBestLine(move);
    }
  }

  if (!anyLegal) return inCheck ? Ply - RootWindow : 0;
  return alpha;
}

int TChessThread::CaptureSearch(int alpha, int beta) {
  // Polled here too, so that a stop is never held up by a long sequence of
  // captures and checks.
  ++Nodes;
  if (Interrupted()) return 0;
  SelDepth = std::max(SelDepth, Ply);
  BestLineLength[Ply] = Ply;
  if (!RoomForNode()) return Evaluate();

  const bool inCheck = KingAttacked(SideToMove);
  if (inCheck) {
    // Every evasion is searched; a side in check may not stand pat.
    GenerateMoves();
  } else {
    const int x = Evaluate();
    if (x >= beta) return beta;
    if (x > alpha) alpha = x;
    GenerateCaptures();
  }
  if (FollowBestLine) MarkPvMove();

  bool anyLegal = false;
  const int end = PlyEnd[Ply];
  for (int i = PlyFirst[Ply]; i < end; ++i) {
    if (Interrupted()) break;
    SelectNextMove(i);
    const TEngineMove move = MoveList[i].move;
    if (!DoMove(move)) continue;
    anyLegal = true;
    const int x = -CaptureSearch(-beta, -alpha);
    UndoMove();
    if (x > alpha) {
      if (x >= beta) return beta;
      alpha = x;
      SaveBestLine(move);
    }
  }

  // Stalemate is not recognised here: a side without captures keeps its
  // evaluation.
  if (!anyLegal && inCheck) return Ply - RootWindow;
  return alpha;
}

void TChessThread::MarkPvMove() {
  FollowBestLine = false;
  const TEngineMove wanted = BestLine[0][Ply];
  const int end = PlyEnd[Ply];
  for (int i = PlyFirst[Ply]; i < end; ++i) {
    const TEngineMove move = MoveList[i].move;
    // The promotion piece is not compared: of four promotions on the same
    // squares the first, the knight, gets the bonus.
    if (move.from == wanted.from && move.to == wanted.to) {
      MoveList[i].score += 10000000;
      FollowBestLine = true;
      return;
    }
  }
}

void TChessThread::SelectNextMove(int i) {
  int best = i;
  int bestScore = MoveList[i].score;
  const int end = PlyEnd[Ply];
  for (int j = i + 1; j < end; ++j) {
    if (MoveList[j].score > bestScore) {
      bestScore = MoveList[j].score;
      best = j;
    }
  }
  std::swap(MoveList[i], MoveList[best]);
}
