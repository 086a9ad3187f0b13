// Making and taking back moves. Legality is tested after the move: a move
// that leaves the mover's king attacked is taken back and refused.

#include <cassert>

#include "chess/engine/EnginePosition.h"

namespace perch {

using namespace engine;

bool TEnginePosition::DoMove(TEngineMove move) {
  const int from = move.from, to = move.to, flags = move.flags;
  const int side = sideToMove_, other = otherSide_;

  int rookFrom = -1, rookTo = -1;
  if (flags & FlagCastle) {
    if (KingAttacked(side)) return false;
    auto empty = [this](int s) { return squareSide_[s] == Empty; };
    auto safe = [this, other](int s) { return !SquareAttacked(s, other); };
    switch (to) {
      case 62:
        if (!(empty(61) && empty(62) && safe(61) && safe(62))) return false;
        rookFrom = 63, rookTo = 61;
        break;
      case 58:
        if (!(empty(57) && empty(58) && empty(59) && safe(58) && safe(59))) return false;
        rookFrom = 56, rookTo = 59;
        break;
      case 6:
        if (!(empty(5) && empty(6) && safe(5) && safe(6))) return false;
        rookFrom = 7, rookTo = 5;
        break;
      case 2:
        if (!(empty(1) && empty(2) && empty(3) && safe(2) && safe(3))) return false;
        rookFrom = 0, rookTo = 3;
        break;
      default: return false;
    }
  }

  assert(ply_ >= 0 && ply_ < MaxPly);
  TUndoEntry& undo = undoStack_[ply_];
  undo.move = move;
  undo.captured = static_cast<std::int8_t>(squarePiece_[to]);
  undo.castleRights = static_cast<std::int8_t>(castleRights_);
  undo.epSquare = static_cast<std::int8_t>(epSquare_);
  undo.psqScore[White] = psqScore_[White];
  undo.psqScore[Black] = psqScore_[Black];
  ++ply_;

  castleRights_ &= Tables.CastleMask(from) & Tables.CastleMask(to);
  epSquare_ = (flags & FlagDoubleStep) ? (side == White ? to + 8 : to - 8) : -1;

  if (rookFrom >= 0) {
    // The rights guarantee the rook on its corner.
    ClearSquare(rookFrom);
    PlacePiece(rookTo, side, Rook);
    psqScore_[side] += pieceSquare_[side][Rook][rookTo] - pieceSquare_[side][Rook][rookFrom];
  }

  const int moving = squarePiece_[from];
  const int landing = (flags & FlagPromotion) ? move.promote : moving;
  const int capturedSide = squareSide_[to];
  if (capturedSide != Empty) psqScore_[capturedSide] -= pieceSquare_[capturedSide][squarePiece_[to]][to];
  psqScore_[side] += pieceSquare_[side][landing][to] - pieceSquare_[side][moving][from];
  ClearSquare(to);
  PlacePiece(to, side, landing);
  ClearSquare(from);

  if (flags & FlagEnPassant) {
    const int taken = side == White ? to + 8 : to - 8;
    if (squareSide_[taken] != Empty)
      psqScore_[squareSide_[taken]] -= pieceSquare_[squareSide_[taken]][squarePiece_[taken]][taken];
    ClearSquare(taken);
  }

  sideToMove_ = other;
  otherSide_ = side;
  assert(KeptStateMatchesSquares());

  if (KingAttacked(side)) {
    UndoMove();
    return false;
  }
  return true;
}

void TEnginePosition::UndoMove() {
  assert(ply_ > 0);
  const int side = otherSide_;  // the side that made the move
  sideToMove_ = side;
  otherSide_ = side ^ 1;
  --ply_;
  const TUndoEntry& undo = undoStack_[ply_];
  // Kept as small signed numbers (-1: no en passant square); widened as they are.
  castleRights_ = undo.castleRights;  // NOLINT(bugprone-signed-char-misuse)
  epSquare_ = undo.epSquare;          // NOLINT(bugprone-signed-char-misuse)
  const int from = undo.move.from, to = undo.move.to, flags = undo.move.flags;

  const int moved = (flags & FlagPromotion) ? Pawn : squarePiece_[to];
  ClearSquare(from);
  PlacePiece(from, side, moved);
  ClearSquare(to);
  if (undo.captured != Empty) PlacePiece(to, otherSide_, undo.captured);

  if (flags & FlagCastle) {
    int rookFrom = -1, rookTo = -1;
    switch (to) {
      case 62: rookFrom = 63, rookTo = 61; break;
      case 58: rookFrom = 56, rookTo = 59; break;
      case 6: rookFrom = 7, rookTo = 5; break;
      case 2: rookFrom = 0, rookTo = 3; break;
      default: break;
    }
    if (rookFrom >= 0) {
      ClearSquare(rookTo);
      PlacePiece(rookFrom, side, Rook);
    }
  }

  if (flags & FlagEnPassant) {
    const int taken = side == White ? to + 8 : to - 8;
    ClearSquare(taken);
    PlacePiece(taken, otherSide_, Pawn);
  }

  psqScore_[White] = undo.psqScore[White];
  psqScore_[Black] = undo.psqScore[Black];
  assert(KeptStateMatchesSquares());
}

}  // namespace perch
