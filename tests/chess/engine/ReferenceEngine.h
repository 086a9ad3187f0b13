#pragma once
// The attack test and the evaluation written out square by square, exactly
// as the rules read, without the engine's kept bit sets and sums. The tests
// hold the engine's faster versions to these.

#include "chess/engine/TChessThread.h"

using namespace perch;

namespace reference {

using namespace engine;

inline bool SquareAttacked(const TChessThread& e, int q, int by) {
  for (int i = 0; i < 64; ++i) {
    if (e.SquareSide(i) != by) continue;
    const int piece = e.SquarePiece(i), file = i % 8;
    if (piece == Pawn) {
      const int ahead = by == White ? i - 8 : i + 8;
      if ((file != 0 && ahead - 1 == q) || (file != 7 && ahead + 1 == q)) return true;
      continue;
    }
    for (int d = 0; d < e.DirectionCount(piece); ++d) {
      for (int t = i;;) {
        t = e.Mailbox(e.MailboxIndex(t) + e.Directions(piece, d));
        if (t < 0) break;
        if (t == q) return true;
        if (e.SquareSide(t) != Empty || !e.Slides(piece)) break;
      }
    }
  }
  return false;
}

inline bool KingAttacked(const TChessThread& e, int side) {
  for (int s = 0; s < 64; ++s)
    if (e.SquareSide(s) == side && e.SquarePiece(s) == King) return SquareAttacked(e, s, side ^ 1);
  return false;
}

inline int Evaluate(const TChessThread& e) {
  int score[2] = {0, 0};
  int files[2][10] = {};
  for (int s = 0; s < 64; ++s)
    if (e.SquareSide(s) != Empty && e.SquarePiece(s) == Pawn) ++files[e.SquareSide(s)][s % 8 + 1];
  for (int s = 0; s < 64; ++s) {
    const int c = e.SquareSide(s);
    if (c == Empty) continue;
    const int o = c ^ 1, f = s % 8;
    score[c] += e.PieceSquare(c, e.SquarePiece(s), s);
    if (e.SquarePiece(s) == Pawn) {
      if (files[c][f + 1] > 1) score[c] -= 5;
      if (files[c][f] == 0 && files[c][f + 2] == 0) score[c] -= files[o][f + 1] == 0 ? 30 : 20;
      if (files[o][f] == 0 && files[o][f + 1] == 0 && files[o][f + 2] == 0)
        score[c] += 2 * e.PieceSquare(c, Pawn, s);
    } else if (e.SquarePiece(s) == Rook && files[c][f + 1] == 0) {
      score[c] += files[o][f + 1] == 0 ? 15 : 10;
    }
  }
  return score[e.SideToMove()] - score[e.OtherSide()];
}

}  // namespace reference
