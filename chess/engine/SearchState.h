#pragma once
// What the search keeps besides the board: the move list shared by all
// plies, the history scores of quiet moves, the triangular table of best
// lines and the node counts. Fixed-size arrays only, so that nothing is
// allocated while searching.

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <utility>

#include "chess/engine/EngineMove.h"

namespace perch {

class TSearchState {
 public:
  static constexpr int MaxPly = 64;
  static constexpr int MoveListSize = 4096;
  // No position yields more pseudo-legal moves than this: at most 64 pieces
  // of at most 27 moves each (a queen), plus two castlings and two en
  // passant captures. A node that has less room left in the move list is
  // scored as a leaf.
  static constexpr int MaxMovesPerPosition = 64 * 27 + 4;

  // --- move list ------------------------------------------------------------------
  // The moves of ply p are the entries PlyFirst(p) .. PlyEnd(p) - 1.
  const TMoveEntry& MoveList(int i) const { return moveList_[i]; }
  int PlyFirst(int ply) const { return plyFirst_[ply]; }
  int PlyEnd(int ply) const { return plyEnd_[ply]; }
  void StartRootMoves() { plyFirst_[0] = 0; }
  void BeginMoves(int ply) { plyEnd_[ply] = plyFirst_[ply]; }
  void AddMove(int ply, TEngineMove move, std::int32_t score) {
    assert(plyEnd_[ply] < MoveListSize);
    TMoveEntry& entry = moveList_[plyEnd_[ply]++];
    entry.move = move;
    entry.score = score;
  }
  // The next ply's moves follow this ply's.
  void EndMoves(int ply) { plyFirst_[ply + 1] = plyEnd_[ply]; }
  // Room for one more position's moves at this ply, and a ply to go deeper.
  bool RoomForNode(int ply) const {
    return ply < MaxPly - 1 && plyFirst_[ply] <= MoveListSize - MaxMovesPerPosition;
  }
  // Brings the highest-scored entry of i .. PlyEnd(ply) - 1 to i (the first
  // of equal scores).
  void SelectNextMove(int ply, int i) {
    int best = i;
    std::int32_t bestScore = moveList_[i].score;
    const int end = plyEnd_[ply];
    for (int j = i + 1; j < end; ++j) {
      if (moveList_[j].score > bestScore) {
        bestScore = moveList_[j].score;
        best = j;
      }
    }
    std::swap(moveList_[i], moveList_[best]);
  }
  // While the search follows the last iteration's best line, the move of
  // that line at this ply is tried first; following ends where the line
  // has no generated move.
  void MarkPvMove(int ply) {
    followBestLine_ = false;
    const TEngineMove wanted = bestLine_[0][ply];
    const int end = plyEnd_[ply];
    for (int i = plyFirst_[ply]; i < end; ++i) {
      const TEngineMove move = moveList_[i].move;
      // The promotion piece is not compared: of four promotions on the same
      // squares the first, the knight, gets the bonus.
      if (move.from == wanted.from && move.to == wanted.to) {
        moveList_[i].score += 10000000;
        followBestLine_ = true;
        return;
      }
    }
  }
  bool FollowBestLine() const { return followBestLine_; }
  void setFollowBestLine(bool follow) { followBestLine_ = follow; }

  // --- history scores -------------------------------------------------------------
  std::int32_t HistoryScore(int from, int to) const { return historyScore_[from][to]; }
  // Unsigned addition: a history score that outgrows 32 bits wraps instead
  // of overflowing.
  void RaiseHistory(int from, int to, int depth) {
    std::int32_t& history = historyScore_[from][to];
    history =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(history) + static_cast<std::uint32_t>(depth));
  }
  void ClearHistory() { std::memset(historyScore_, 0, sizeof historyScore_); }

  // --- best lines ---------------------------------------------------------------
  // The best line found from ply p: entries p .. BestLineLength(p) - 1 of
  // BestLine(p).
  const TEngineMove* BestLine(int ply) const { return bestLine_[ply]; }
  int BestLineLength(int ply) const { return bestLineLength_[ply]; }
  void EmptyBestLine(int ply) { bestLineLength_[ply] = ply; }
  // The root line is empty and says so: no root move scored yet.
  void ForgetRootLine() { bestLineLength_[0] = 0; }
  // The move followed by the best line of the next ply.
  void SaveBestLine(int ply, TEngineMove move) {
    assert(ply >= 0 && ply < MaxPly - 1);
    TEngineMove* line = bestLine_[ply];
    const TEngineMove* child = bestLine_[ply + 1];
    line[ply] = move;
    const int end = bestLineLength_[ply + 1];
    for (int j = ply + 1; j < end; ++j) line[j] = child[j];
    bestLineLength_[ply] = end;
  }
  void SetRootMove(TEngineMove move) { bestLine_[0][0] = move; }
  // The root line becomes this one move.
  void SetRootLine(TEngineMove move) {
    bestLine_[0][0] = move;
    bestLineLength_[0] = 1;
  }
  // Best lines and history scores as in a new engine.
  void Clear() {
    for (auto& line : bestLine_) std::fill(std::begin(line), std::end(line), TEngineMove{});
    std::memset(bestLineLength_, 0, sizeof bestLineLength_);
    ClearHistory();
    followBestLine_ = false;
  }

  // --- counts -----------------------------------------------------------------------
  // Calls of SearchNode and CaptureSearch since the search began, and the
  // count past which it gives up.
  std::uint64_t Nodes() const { return nodes_; }
  std::uint64_t NodeLimit() const { return nodeLimit_; }
  bool PastNodeLimit() const { return nodes_ > nodeLimit_; }
  void StartCounting(std::uint64_t limit) {
    nodes_ = 0;
    nodeLimit_ = limit;
  }
  void CountNode() { ++nodes_; }
  // The deepest ply any node of the current iteration reached.
  std::int32_t SelDepth() const { return selDepth_; }
  void ResetSelDepth() { selDepth_ = 0; }
  void Reached(int ply) { selDepth_ = std::max(selDepth_, ply); }

 private:
  TMoveEntry moveList_[MoveListSize] = {};
  std::int32_t plyFirst_[MaxPly] = {};
  std::int32_t plyEnd_[MaxPly] = {};
  std::int32_t historyScore_[64][64] = {};
  TEngineMove bestLine_[MaxPly][MaxPly] = {};
  std::int32_t bestLineLength_[MaxPly] = {};
  bool followBestLine_ = false;
  std::uint64_t nodes_ = 0;
  std::uint64_t nodeLimit_ = ~std::uint64_t{0};
  std::int32_t selDepth_ = 0;
};

}  // namespace perch
