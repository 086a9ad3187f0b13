// Counting move sequences (perft) and the small legal-move queries the
// tools need; both work on the engine board as it stands.

#include "TChessThread.h"

std::uint64_t TChessThread::Perft(int depth) {
  PerftOverflow = false;
  Ply = 0;
  PlyFirst[0] = 0;
  return PerftNode(depth);
}

std::uint64_t TChessThread::PerftDivide(int depth, const std::function<void(TEngineMove, std::uint64_t)>& report) {
  PerftOverflow = false;
  Ply = 0;
  PlyFirst[0] = 0;
  if (depth <= 0) return 1;
  GenerateMoves();
  std::uint64_t total = 0;
  const int end = PlyEnd[0];
  for (int i = PlyFirst[0]; i < end; ++i) {
    const TEngineMove move = MoveList[i].move;
    if (!DoMove(move)) continue;
    const std::uint64_t count = PerftNode(depth - 1);
    UndoMove();
    total += count;
    report(move, count);
  }
  return total;
}

std::uint64_t TChessThread::PerftNode(int depth) {
  if (depth <= 0) return 1;
  if (!RoomForNode()) {
    PerftOverflow = true;
    return 0;
  }
  GenerateMoves();
  std::uint64_t count = 0;
  const int end = PlyEnd[Ply];
  for (int i = PlyFirst[Ply]; i < end; ++i) {
    if (!DoMove(MoveList[i].move)) continue;
    count += PerftNode(depth - 1);
    UndoMove();
  }
  return count;
}

bool TChessThread::FirstLegalMove(TEngineMove& move) {
  GenerateMoves();
  const int end = PlyEnd[Ply];
  for (int i = PlyFirst[Ply]; i < end; ++i) {
    if (DoMove(MoveList[i].move)) {
      UndoMove();
      move = MoveList[i].move;
      return true;
    }
  }
  return false;
}

bool TChessThread::IsLegalMove(TEngineMove move) {
  GenerateMoves();
  const int end = PlyEnd[Ply];
  for (int i = PlyFirst[Ply]; i < end; ++i) {
    if (MoveList[i].move == move && DoMove(move)) {
      UndoMove();
      return true;
    }
  }
  return false;
}
