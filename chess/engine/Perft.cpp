// Counting move sequences (perft) and the small legal-move queries the
// tools need; both work on the engine board as it stands.

#include "chess/engine/TChessThread.h"

namespace perch {

std::uint64_t TChessThread::Perft(int depth) {
  perftOverflow_ = false;
  perftStopped_ = false;
  StartAtRoot();
  return PerftNode(depth);
}

std::uint64_t TChessThread::PerftDivide(int depth,
                                        const std::function<void(TEngineMove, std::uint64_t)>& report) {
  perftOverflow_ = false;
  perftStopped_ = false;
  StartAtRoot();
  if (depth <= 0) return 1;
  GenerateMoves();
  std::uint64_t total = 0;
  const int end = search_.PlyEnd(0);
  for (int i = search_.PlyFirst(0); i < end; ++i) {
    const TEngineMove move = search_.MoveList(i).move;
    if (!position_.DoMove(move)) continue;
    const std::uint64_t count = PerftNode(depth - 1);
    position_.UndoMove();
    // A move whose count was cut short is left out, total and report alike.
    if (perftStopped_) break;
    total += count;
    report(move, count);
  }
  return total;
}

std::uint64_t TChessThread::PerftNode(int depth) {
  if (depth <= 0) return 1;
  // Interior nodes only: leaves are counted by their parent's loop.
  if (StopSearch.load(std::memory_order_relaxed)) {
    perftStopped_ = true;
    return 0;
  }
  if (!RoomForNode()) {
    perftOverflow_ = true;
    return 0;
  }
  GenerateMoves();
  std::uint64_t count = 0;
  const int ply = position_.Ply();
  const int end = search_.PlyEnd(ply);
  for (int i = search_.PlyFirst(ply); i < end; ++i) {
    if (!position_.DoMove(search_.MoveList(i).move)) continue;
    // A leaf is counted here rather than by a call that only returns 1.
    count += depth > 1 ? PerftNode(depth - 1) : 1;
    position_.UndoMove();
  }
  return count;
}

bool TChessThread::FirstLegalMove(TEngineMove& move) {
  GenerateMoves();
  const int ply = position_.Ply();
  const int end = search_.PlyEnd(ply);
  for (int i = search_.PlyFirst(ply); i < end; ++i) {
    if (position_.DoMove(search_.MoveList(i).move)) {
      position_.UndoMove();
      move = search_.MoveList(i).move;
      return true;
    }
  }
  return false;
}

bool TChessThread::IsLegalMove(TEngineMove move) {
  GenerateMoves();
  const int ply = position_.Ply();
  const int end = search_.PlyEnd(ply);
  for (int i = search_.PlyFirst(ply); i < end; ++i) {
    if (search_.MoveList(i).move == move && position_.DoMove(move)) {
      position_.UndoMove();
      return true;
    }
  }
  return false;
}

}  // namespace perch
