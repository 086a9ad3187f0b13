// Attack tests. They look outward from the attacked square, which finds the
// same attackers as walking every piece of the attacking side towards it.

#include <bit>

#include "TChessThread.h"

using namespace engine;

bool TChessThread::SquareAttacked(int square, int bySide) const {
  const int m = MailboxIndex[square];
  auto holds = [&](int t, int piece) {
    return t >= 0 && SquareSide[t] == bySide && SquarePiece[t] == piece;
  };

  // A White pawn attacks up-left and up-right, so it stands down-right or
  // down-left of its target; a Black pawn the other way round.
  if (bySide == White) {
    if (holds(Mailbox[m + 9], Pawn) || holds(Mailbox[m + 11], Pawn)) return true;
  } else {
    if (holds(Mailbox[m - 9], Pawn) || holds(Mailbox[m - 11], Pawn)) return true;
  }

  if (PieceBits[bySide][Knight]) {
    for (int d = 0; d < 8; ++d)
      if (holds(Mailbox[m + Directions[Knight][d]], Knight)) return true;
  }
  if (PieceBits[bySide][King]) {
    for (int d = 0; d < 8; ++d)
      if (holds(Mailbox[m + Directions[King][d]], King)) return true;
  }

  // Sliders: the first piece on each ray, if it moves along that ray.
  auto rays = [&](int piece, int alsoPiece) {
    for (int d = 0; d < 4; ++d) {
      const int step = Directions[piece][d];
      int t = square;
      for (;;) {
        t = Mailbox[MailboxIndex[t] + step];
        if (t < 0) break;
        if (SquareSide[t] == Empty) continue;
        if (SquareSide[t] == bySide && (SquarePiece[t] == piece || SquarePiece[t] == alsoPiece)) return true;
        break;
      }
    }
    return false;
  };
  const std::uint64_t queens = PieceBits[bySide][Queen];
  if ((PieceBits[bySide][Bishop] | queens) && rays(Bishop, Queen)) return true;
  if ((PieceBits[bySide][Rook] | queens) && rays(Rook, Queen)) return true;
  return false;
}

bool TChessThread::KingAttacked(int side) const {
  // The lowest-numbered king of the side counts.
  const std::uint64_t kings = PieceBits[side][King];
  if (!kings) return false;
  return SquareAttacked(std::countr_zero(kings), side ^ 1);
}
